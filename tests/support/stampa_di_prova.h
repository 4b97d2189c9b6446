#pragma once

#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// The lines of a PDF read on a 6-point grid, the pitch of 10-point Courier:
// each page without its blank top and bottom and its left margin, and every
// line without its trailing blanks. *pagine gets the number of pages.
QStringList righePdf(const QString &percorso, int *pagine = nullptr);
QStringList senzaSpaziFinali(QStringList righe);

// Every name in the folder, hidden ones included: what a printout left there.
QStringList contenutoCartella(const QString &cartella);

// Keeps this process away from the machine's printers and printer settings:
// libcups talks to a print server that does not exist, and no LPDEST,
// PRINTER or lpoptions file names a default queue. Put back when it goes.
class SenzaStampantiDelSistema final
{
public:
    SenzaStampantiDelSistema();
    ~SenzaStampantiDelSistema();
    SenzaStampantiDelSistema(const SenzaStampantiDelSistema &) = delete;
    SenzaStampantiDelSistema &operator=(const SenzaStampantiDelSistema &) = delete;

private:
    QTemporaryDir vuota_;
    QList<QPair<QByteArray, std::optional<QByteArray>>> prima_;
};

// A print server of the test's own: Debian's cupsd in a temporary folder,
// listening only on a Unix socket there, with the default queue "Prova"
// whose device writes each job to uscita(). While it runs, CUPS_SERVER
// points this process to it.
class ServerStampa final
{
public:
    ServerStampa();
    ~ServerStampa();
    ServerStampa(const ServerStampa &) = delete;
    ServerStampa &operator=(const ServerStampa &) = delete;

    // Starts the server and makes the queue; false, with the reason in
    // errore(), where this machine cannot run one.
    bool avvia();
    QString errore() const { return errore_; }
    QString uscita() const;

    // A CUPS command (cupsreject, cupsdisable, lpadmin, ...) on this server.
    bool comando(const QString &programma, const QStringList &argomenti);
    // Waits until the queue has no job left to process.
    bool attendiCodaVuota();

private:
    QString percorso(const QString &nome) const;
    QString registro() const;

    QTemporaryDir cartella_;
    QProcess cupsd_;
    bool ambienteCambiato_ = false;
    std::optional<QByteArray> serverPrima_;
    QString errore_;
};
