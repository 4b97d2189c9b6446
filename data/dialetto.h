#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

class Sessione;

// The few fragments of SQL and steps that differ between the shop file
// (SQLite) and the shop's server (PostgreSQL). Routine bodies ask the
// session's dialect for them and never which engine they run on.
class Dialetto
{
public:
    virtual ~Dialetto() = default;

    // A column's type in a CREATE TABLE, by what it holds.
    enum class Genere {
        Contatore, // the row's number, never handed out twice
        Codice,    // compared, sorted and prefix-searched without regard to case
        Intero,
        Giorno,    // yyyy-MM-dd, sorted as bytes so that text order is calendar order
        Testo,
    };
    virtual QString tipo(Genere genere) const = 0;
    // Statements the tables need first.
    virtual QStringList preambolo() const = 0;
    // Where a table kept per counter holds every counter's rows, and whether
    // it is a table apart from the one the routines name (then seen through
    // a view holding this counter's rows alone).
    virtual QString diTutte(const QString &tabella, const QString &tutte) const = 0;

    // Objects of the engine's own that the routines call (the server's
    // functions), written so that running them again replaces them.
    virtual QStringList funzioni() const { return {}; }
    // Every round trip crosses a network: an action of many statements runs
    // as one call of the server's own function instead.
    virtual bool perRete() const { return false; }

    // Settings every new session takes.
    virtual void imposta(Sessione &sessione) const = 0;
    // Settings a server connection is opened with, as name=value: they
    // travel in its start-up and cost no statement.
    virtual QStringList impostazioniIniziali() const { return {}; }
    // The start of a transaction that may write.
    virtual QString inizio() const = 0;
    // Before a transaction that changes many rows: room for them in memory.
    virtual QStringList primaDiMoltiCambi() const = 0;
    // Holds the tables still until the transaction ends: no row of theirs
    // is added, changed or removed meanwhile.
    virtual QStringList blocca(const QStringList &tabelle) const = 0;
    // Runs an INSERT and returns the number the engine gave the new row
    // in the counter column named.
    virtual qint64 inserisci(Sessione &sessione, const QString &sql, const QVariantList &valori,
                             const QString &colonna) const = 0;
    // One row, one integer column: 1 when the table holds any row, else 0.
    virtual QString contieneRighe(const QString &tabella) const = 0;
    // The sum of a whole-number expression as a 64-bit integer.
    virtual QString somma(const QString &espressione) const = 0;
    // How many rows meet the condition, as a 64-bit integer.
    virtual QString conta(const QString &condizione) const = 0;

    // The schema version stored, 0 when none is.
    // Inside a transaction nothing may fail on the way.
    virtual qint64 versione(Sessione &sessione, bool inTransazione = false) const = 0;
    // Whether every one of the tables is there: a shop written before the
    // version existed.
    bool haTabelle(Sessione &sessione, const QStringList &tabelle) const;
    // The catalog's condition on a table's name, by which haTabelle counts.
    virtual QString tabellaDiNome() const = 0;
    // Inside the transaction that brings the schema up to date: waits for
    // any other program doing the same, then writes the version.
    virtual QStringList attendiAggiornamento() const = 0;
    virtual QStringList timbra(int versione) const = 0;
    // What the report calls the place that holds the shop ("Il file …").
    virtual QString luogo(const QString &nome) const = 0;

    static const Dialetto &delFile();
    static const Dialetto &delServer();
};
