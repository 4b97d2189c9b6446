#pragma once

#include <QList>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>
#include <QVariant>

// Straight to a database past the routines, for what a test or a benchmark
// looks at or sets up: a connection under the name given, QSQLITE on a
// file or QPSQL on a libpq string (fatal when it does not open); one
// statement on it, its rows, and the engine's error when it fails.
QSqlDatabase apriDiretto(const QString &nome, const QString &dove);
QSqlError interrogaDiretto(const QSqlDatabase &db, const QString &sql, const QVariantList &valori = {},
                           QList<QVariantList> *righe = nullptr);

// A PostgreSQL cluster of the test program's own: a new folder whose Unix
// socket is the way in (127.0.0.1 too, for TLS and a proxy), trust for
// every role, TLS with a throwaway certificate. The postmaster is a child
// that dies with the program, even a killed one.
class ServerProva final
{
public:
    ServerProva();
    ~ServerProva();
    ServerProva(const ServerProva &) = delete;
    ServerProva &operator=(const ServerProva &) = delete;

    bool isValid() const { return errore_.isEmpty(); }
    QString errore() const { return errore_; }
    QString superutente() const { return QStringLiteral("vorendi_prove"); }
    // The server's certificate, its own root: libpq's sslrootcert.
    QString certificato() const { return cartella_.filePath("dati/server.crt"); }
    // Its socket's folder, and its port there and on 127.0.0.1.
    QString cartella() const { return cartella_.path(); }
    int porta() const { return porta_; }
    // libpq's string for the database, as the superuser or the role named:
    // on the socket, or on 127.0.0.1 without TLS.
    QString connessione(const QString &nome, const QString &utente = {}, bool tcp = false) const;
    // A new UTF-8 database never used, owned by the superuser or the role
    // named: empty, or a copy of the one named; empty on failure.
    QString nuovoDatabase(const QString &proprietario = {}, const QString &modello = {});
    // A new role that may log in; a failure is fatal.
    void nuovoRuolo(const QString &nome) const;
    // Straight to the database as the superuser; a failure is fatal.
    QList<QVariantList> righe(const QString &nome, const QString &sql, const QVariantList &valori = {}) const;

private:
    bool esegui(const QString &programma, const QStringList &argomenti);
    bool avvia();

    QTemporaryDir cartella_;
    QString binari_;
    QProcess postmaster_;
    QString errore_;
    int porta_ = 0;
    int database_ = 0;
};
