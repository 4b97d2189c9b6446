#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <limits>

struct sqlite3;
struct sqlite3_stmt;

// The bare reference: SQLite's C API with nothing of the program around it.
// It opens the file as every routine does (read-write, never creating it,
// the same wait for a locked file, synchronous=EXTRA), so that both sides
// ask the engine for the same work.
class Nudo final
{
public:
    explicit Nudo(const QString &percorso);
    ~Nudo();
    Nudo(const Nudo &) = delete;
    Nudo &operator=(const Nudo &) = delete;

    // Prepares, binds, steps every row (at most massimo) reading every
    // column; the row count.
    qint64 leggi(const char *sql, std::initializer_list<QVariant> valori = {},
                 qint64 massimo = std::numeric_limits<qint64>::max());
    void esegui(const char *sql, std::initializer_list<QVariant> valori = {});
    sqlite3 *db() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
};

// A statement prepared once and run many times, as the checkout runs its own.
class Preparata final
{
public:
    Preparata(Nudo &nudo, const char *sql);
    ~Preparata();
    Preparata(const Preparata &) = delete;
    Preparata &operator=(const Preparata &) = delete;

    // Binds, steps once, resets; the rows changed, or for a query its first
    // column of the first row.
    qint64 esegui(std::initializer_list<QVariant> valori = {});

private:
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *stmt_ = nullptr;
};
