#pragma once

#include <QList>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

// A PostgreSQL cluster of the test's own: a new folder, 127.0.0.1 on a free
// port, trust for every role, TLS offered with a throwaway certificate for
// 127.0.0.1. Stopped and removed when it goes, and by a watchdog process
// when the test dies without going through the destructor.
class ServerProva final
{
public:
    ServerProva();
    ~ServerProva();
    ServerProva(const ServerProva &) = delete;
    ServerProva &operator=(const ServerProva &) = delete;

    bool isValid() const { return valido_; }
    QString errore() const { return errore_; }
    QString superutente() const { return QStringLiteral("vorendi_prove"); }
    QString cartella() const { return cartella_.path(); }
    // The server's certificate, its own root: libpq's sslrootcert.
    QString certificato() const { return cartella_.filePath("dati/server.crt"); }
    // libpq's connection string for the database, without TLS, as the
    // superuser or as the role named.
    QString connessione(const QString &nome, const QString &utente = {}) const;
    // A new empty UTF-8 database with a name never used, owned by the
    // superuser or the role named; empty on failure.
    QString nuovoDatabase(const QString &proprietario = {});
    // A new role that may log in; a failure is fatal.
    void nuovoRuolo(const QString &nome) const;
    // Straight to the database as the superuser; a failure is fatal.
    QList<QVariantList> righe(const QString &nome, const QString &sql, const QVariantList &valori = {}) const;

private:
    bool esegui(const QString &programma, const QStringList &argomenti, QString *uscita = nullptr) const;
    bool interroga(const QString &nome, const QString &sql, const QVariantList &valori,
                   QList<QVariantList> *risultato, QString *errore) const;
    bool avvia();
    void sorveglia();
    bool fallisce(const QString &motivo);

    QTemporaryDir cartella_;
    QString binari_;
    QStringList comeUtente_; // prefix that drops root, when root
    QProcessEnvironment ambiente_;
    bool valido_ = false;
    QString errore_;
    int porta_ = 0;
    int database_ = 0;
    qint64 guardiano_ = 0;
};
