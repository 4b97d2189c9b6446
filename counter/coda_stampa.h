#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// What the print system told about the queue that did not take a job.
struct StatoCoda
{
    QString nome;            // the queue, when known; empty: the default one
    bool raggiunta = true;   // the print server answered
    bool esiste = true;      // the server has the queue
    bool accetta = true;     // the queue takes new jobs
    bool ferma = false;      // the queue would hold a job, not print it
    int ipp = 0;             // the IPP status of the request that failed (ipp_status_t)
    QString testo;           // the print system's own words
};

// Why the job was not printed, in a few Italian words for the user
// ("la stampante «Prova» è ferma"); the print system's own text stays aside.
QString motivoRifiuto(const StatoCoda &coda);

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
    StatoCoda coda;  // when refused
};

// The verdicts on what libcups reported, apart from libcups so that each
// case is told the same without a print server.

// No default queue found. `nominata` is the default named where libcups
// looks (empty: none), `ipp` and `testo` the last error, `raggiunta` whether
// the print server answered, `server` its address.
EsitoInvio codaNonTrovata(const QString &nominata, int ipp, const QString &testo,
                          bool raggiunta, const QString &server);

// The default queue found, `opzione` giving its options by name; a queue
// `ferma` would hold a job, not print it.
StatoCoda codaTrovata(const QString &nome, const std::function<QString(const char *)> &opzione);

// Hands a whole PDF document, with its title, to the default queue.
using InvioStampa = std::function<EsitoInvio(const QString &titolo, const QByteArray &pdf)>;

// The real one: libcups, on the default print server (CUPS_SERVER when set).
// A stopped queue counts as a refusal: it would hold the job, not print it.
EsitoInvio inviaAllaCodaPredefinita(const QString &titolo, const QByteArray &pdf);
