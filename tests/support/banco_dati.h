#pragma once

#include "data/rapporto.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QVariant>

class QSqlDatabase;
class ServerProva;

// The private PostgreSQL server of this test program, started at first use,
// when the tests run on the server (VORENDI_PROVA_SERVER set); else null.
ServerProva *serverDiProva();

// A test's shop: a new file in a temporary folder that is the working
// directory, or a new database on the test's server; zone reports recorded.
class BancoDati
{
public:
    enum Opzione { SenzaFile = 1, StampeVere = 2 };
    explicit BancoDati(int opzioni = 0);
    virtual ~BancoDati();

    QString cartella() const { return cartella_.path(); }
    QString percorso() const;
    // On the server, this test's database and its connection string, on
    // the socket or through 127.0.0.1.
    bool server() const { return !database_.isEmpty(); }
    QString database() const { return database_; }
    QString connessione(bool tcp = false) const;
    // Straight to the file or the database, past the routines; fatal failures unless told.
    QList<QVariantList> righe(const QString &sql, const QVariantList &valori = {}, bool fatale = true) const;
    QVariant valore(const QString &sql) const { return righe(sql).value(0).value(0); }
    void esegui(const QString &sql, const QVariantList &valori = {}) const { righe(sql, valori); }
    // The file's bytes; on the server, every table's rows.
    QByteArray byte() const;
    // The file removed, or overwritten with bytes that are no database; on
    // the server, a database that is not there, or a server that does not answer.
    void guasta(bool mancante) const;
    // Another program's connection to the shop, opened.
    QSqlDatabase altraConnessione(const QString &nome) const;

    QList<RapportoZona> rapporti;
    QList<int> zone() const;

private:
    QTemporaryDir cartella_;
    QString database_;
    QString cartellaPrecedente_;
    Segnalatore segnalatorePrecedente_;
};

QByteArray byteDelFile(const QString &percorso);

// A tool the suite needs is missing or will not run: a broken machine, for
// scripts/setup.sh installs them all; VORENDI_SENZA_STRUMENTI=1 goes on
// without, the test skipped and said so.
#define MANCA_STRUMENTO(cosa)                                                                    \
    do {                                                                                         \
        if (qEnvironmentVariableIsSet("VORENDI_SENZA_STRUMENTI"))                                \
            QSKIP(qPrintable(QString(cosa)));                                                    \
        QFAIL(qPrintable(QString(cosa) + " (scripts/setup.sh; VORENDI_SENZA_STRUMENTI=1 salta)")); \
    } while (false)

// A test's random seed: VORENDI_SEME's, or a new one; printed either way
// so that a failing run can be repeated.
quint32 semeDiProva();

// tests/support/processo_prova.cpp with these arguments, killed when it goes.
class ProcessoProva final
{
public:
    explicit ProcessoProva(const QStringList &argomenti);
    ~ProcessoProva() { uccidi(); }
    bool attendi(const QString &riga, int volte = 1); // written that many times
    bool finisci(); // ended normally with code 0
    bool uccidi();  // SIGKILL; false when it had ended
    QStringList righe();

private:
    QProcess processo_;
    QByteArray uscita_;
};
