#include "bench/nudo.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>

namespace {

sqlite3_stmt *prepara(sqlite3 *db, const char *sql, std::initializer_list<QVariant> valori)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    int i = 1;
    for (const QVariant &v : valori) {
        if (v.typeId() == QMetaType::QString) {
            const QByteArray testo = v.toString().toUtf8();
            sqlite3_bind_text(stmt, i, testo.constData(), int(testo.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(stmt, i, v.toLongLong());
        }
        ++i;
    }
    return stmt;
}

} // namespace

Nudo::Nudo(const QString &percorso)
{
    if (sqlite3_open_v2(QFile::encodeName(percorso).constData(), &db_, SQLITE_OPEN_READWRITE,
                        nullptr)
        != SQLITE_OK)
        throw std::runtime_error("open");
    sqlite3_busy_timeout(db_, 5000);
}

Nudo::~Nudo()
{
    sqlite3_close(db_);
}

qint64 Nudo::leggi(const char *sql, std::initializer_list<QVariant> valori)
{
    sqlite3_stmt *stmt = prepara(db_, sql, valori);
    qint64 righe = 0;
    qint64 somma = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++righe;
        const int colonne = sqlite3_column_count(stmt);
        for (int c = 0; c < colonne; ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                somma += sqlite3_column_bytes(stmt, c) + *sqlite3_column_text(stmt, c);
            else
                somma += sqlite3_column_int64(stmt, c);
        }
    }
    sqlite3_finalize(stmt);
    benchmark::DoNotOptimize(somma);
    return righe;
}

void Nudo::esegui(const char *sql, std::initializer_list<QVariant> valori)
{
    sqlite3_stmt *stmt = prepara(db_, sql, valori);
    const int esito = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (esito != SQLITE_DONE && esito != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db_));
}
