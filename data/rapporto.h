#pragma once

#include <QString>

#include <functional>

// A failed routine's report: its zone, the engine's error number and text.
struct RapportoZona
{
    int zona = 0;
    int numero = 0;
    QString descrizione;

    // "Si è verificato in zona N:", a line break, "Errore n." and the number
    // with its leading blank, one blank, the description.
    QString testo() const;
};

// The data layer never shows a dialog: the shell installs a reporter that
// does, tests install one that records.
using Segnalatore = std::function<void(const RapportoZona &)>;

// Returns the reporter it replaces.
Segnalatore installaSegnalatore(Segnalatore segnalatore);
bool segnalatoreInstallato();
void segnala(const RapportoZona &rapporto);
