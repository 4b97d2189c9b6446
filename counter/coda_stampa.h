#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// What the print system answered when a document was handed to the default queue.
struct EsitoInvio
{
    enum class Stato {
        Accettata,        // the print system took the job
        Rifiutata,        // there is a default queue, but it did not take the job
        NessunaStampante, // there is no default queue at all
    };
    Stato stato = Stato::NessunaStampante;
    int lavoro = 0;  // the job number, when accepted
    QString motivo;  // the print system's reason, when refused
};

// Hands a whole PDF document, with its title, to the default queue.
using InvioStampa = std::function<EsitoInvio(const QString &titolo, const QByteArray &pdf)>;

// The real one: libcups, on the default print server (CUPS_SERVER when set).
// A stopped queue counts as a refusal: it would hold the job, not print it.
EsitoInvio inviaAllaCodaPredefinita(const QString &titolo, const QByteArray &pdf);
