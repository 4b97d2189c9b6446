#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>

// The frame every database routine shares: open the file read-write (never
// creating it), run, close; any failure becomes one zone report and the
// routine's failure value. Inside a routine, failures travel as ErroreRoutine
// and never leave eseguiRoutine.

struct ErroreRoutine
{
    int numero = 0;
    QString descrizione;
    // Set when the failing step belongs to another routine run inside this
    // one (a movement's stock update): that routine's zone is reported.
    int zona = 0;
};

// Engine codes, for failures the program detects itself while reading.
inline constexpr int ERRORE_TIPO_DATO = 20; // SQLITE_MISMATCH

class Sessione final
{
public:
    explicit Sessione(const QString &percorso);
    ~Sessione();
    Sessione(const Sessione &) = delete;
    Sessione &operator=(const Sessione &) = delete;

    // Prepares a statement once, for running it many times with esegui().
    QSqlQuery prepara(const QString &sql);
    void esegui(QSqlQuery &query, std::initializer_list<QVariant> valori = {});
    // Prepares, binds the values in order and runs; rows are read forward only.
    QSqlQuery esegui(const QString &sql, std::initializer_list<QVariant> valori = {});

    // Advances to the next row; false at the end. Step errors are failures.
    static bool prossima(QSqlQuery &query);

private:
    QString nome_;
    QSqlDatabase db_;
};

// All or nothing: rolls back unless conferma() was reached.
class Transazione final
{
public:
    explicit Transazione(Sessione &sessione);
    ~Transazione();
    Transazione(const Transazione &) = delete;
    Transazione &operator=(const Transazione &) = delete;
    void conferma();

private:
    Sessione &sessione_;
    bool aperta_ = true;
};

// Typed reads of column i of the current row; a null or a value of the wrong
// kind is a failure, as is a number outside the stated range.
QString colonnaTesto(const QSqlQuery &query, int colonna);
qint64 colonnaIntero(const QSqlQuery &query, int colonna,
                   qint64 minimo = std::numeric_limits<qint64>::min(),
                     qint64 massimo = std::numeric_limits<qint64>::max());

[[noreturn]] void fallisci(int numero, const QString &descrizione);

// An amount from sommaImporti or prodottoImporti: one that did not fit in 64
// bits is a failure, reported as the engine's own sum() reports it.
qint64 importo(std::optional<qint64> risultato);

// Runs corpo inside the frame; true when it finished without a failure.
bool eseguiRoutine(int zona, const std::function<void(Sessione &)> &corpo);
