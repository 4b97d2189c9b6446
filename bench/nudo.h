#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <initializer_list>

struct sqlite3;

// The bare reference: SQLite's C API with nothing of the program around it.
class Nudo final
{
public:
    explicit Nudo(const QString &percorso);
    ~Nudo();
    Nudo(const Nudo &) = delete;
    Nudo &operator=(const Nudo &) = delete;

    // Prepares, binds, steps every row reading every column; the row count.
    qint64 leggi(const char *sql, std::initializer_list<QVariant> valori = {});
    void esegui(const char *sql, std::initializer_list<QVariant> valori = {});
    sqlite3 *db() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
};
