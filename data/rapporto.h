#pragma once

#include <QString>

#include <functional>

// A failed routine's report: its zone, the engine's error number, what it
// means for the shop in Italian (naming the file where the file is the
// matter) and the engine's own words.
struct RapportoZona
{
    int zona = 0;
    int numero = 0;
    QString descrizione;
    QString dettaglio; // the engine's text, for whoever looks into it
    QString codice = {}; // the server's SQLSTATE, shown in place of the number

    // The report of the engine's error number and text for the file.
    static RapportoZona daMotore(int zona, int numero, const QString &motore, const QString &file);
    // The report of a server's SQLSTATE and text; server as the shopkeeper
    // knows it ("negozio su 10.0.0.5:5432").
    // A failure the program found itself has a number and no SQLSTATE.
    static RapportoZona daServer(int zona, int numero, const QString &stato, const QString &motore,
                                 const QString &server);

    // "Si è verificato in zona N:", a line break, "Errore n." and the number
    // with its leading blank, one blank, the description.
    QString testo() const;
};

// The data layer never shows a dialog: the shell installs a reporter that
// does, tests install one that records.
using Segnalatore = std::function<void(const RapportoZona &)>;

// Returns the reporter it replaces.
Segnalatore installaSegnalatore(Segnalatore segnalatore);
void segnala(const RapportoZona &rapporto);

// While it lives, the reports of routines run on this thread go to its own
// reporter instead: a list read on a thread of its own hands them to the
// window's thread, where the installed reporter may show a dialog.
class SegnalatoreDelThread final
{
public:
    explicit SegnalatoreDelThread(Segnalatore segnalatore);
    ~SegnalatoreDelThread();
    SegnalatoreDelThread(const SegnalatoreDelThread &) = delete;
    SegnalatoreDelThread &operator=(const SegnalatoreDelThread &) = delete;

private:
    Segnalatore precedente_;
};
