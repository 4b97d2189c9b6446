#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariantList>

#include <chrono>
#include <memory>

struct pg_conn;
struct pg_result;

// One connection to the shop's server through libpq, kept by its thread
// from one routine to the next. Every wait is bounded: a link that goes
// silent ends the routine in seconds with a "connection interrupted"
// failure instead of freezing the counter. Statements with values are
// prepared once per connection, in the same round trip as their first run.
class Collegamento final
{
public:
    // Opens it; the session's settings travel in the start-up packet, so
    // connecting costs no statement of its own.
    Collegamento(const QString &connessione, const QStringList &impostazioni);
    ~Collegamento();
    Collegamento(const Collegamento &) = delete;
    Collegamento &operator=(const Collegamento &) = delete;

    // Still usable, asked without a round trip: what the server may have
    // sent meanwhile (its end, a termination) is read first.
    bool utilizzabile();
    bool cifrato() const;

    // Runs one statement, ? for its values, in one round trip together with
    // whatever was queued before it (a BEGIN). A failure is thrown.
    std::shared_ptr<pg_result> esegui(const QByteArray &sql, const QVariantList &valori);
    // Sent first with the next statement.
    void accoda(const QByteArray &sql) { inAttesa_ = sql; }
    bool haInAttesa() const { return !inAttesa_.isEmpty(); }
    void scartaInAttesa() { inAttesa_.clear(); }

    // For lists read a row at a time: the statements sent in one batch, the
    // values for the last; the first in libpq's single-row mode.
    void inviaLetture(const QList<QByteArray> &istruzioni, const QVariantList &valori);
    // The next statement of the batch a row at a time too.
    void rigaPerRiga();
    // The next result of the statement being read; null at its end.
    pg_result *prossimoRisultato();
    // After the last statement's end: the batch's.
    void fineBatch();

    // Given up: the next routine opens a new one.
    void chiudi();
    pg_conn *pg() const { return pg_; }

    // The silence after which a link counts as interrupted.
    static std::chrono::milliseconds limite();
    static void impostaLimite(std::chrono::milliseconds limite);

private:
    void aspetta(bool scrivere);
    void invia();
    [[noreturn]] void interrotto(const QString &perche);

    pg_conn *pg_ = nullptr;
    QHash<QByteArray, QByteArray> preparate_; // statement → its name here
    QByteArray inAttesa_;
};

// The statement with libpq's $1, $2... for ?; a ? inside quotes stays.
QByteArray numerata(const QByteArray &sql);
// A value as libpq's text format has it; a null for an invalid QVariant.
QByteArray testoPg(const QVariant &valore, bool *nullo);
// The failure of a result (or of the connection when null), thrown.
[[noreturn]] void fallisciDalRisultato(pg_conn *pg, const pg_result *risultato);
