#include "bench/nudo.h"

#include <QFile>
#include <QUrl>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>

namespace {

void lega(sqlite3_stmt *stmt, std::initializer_list<QVariant> valori)
{
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
}

sqlite3_stmt *prepara(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    return stmt;
}

} // namespace

Nudo::Nudo(const QString &percorso)
{
    const QByteArray uri = QUrl::fromLocalFile(percorso).toString(QUrl::FullyEncoded).toUtf8()
        + "?mode=rw";
    if (sqlite3_open_v2(uri.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr)
        != SQLITE_OK)
        throw std::runtime_error("open");
    sqlite3_busy_timeout(db_, 5000);
    esegui("PRAGMA synchronous=EXTRA");
}

Nudo::~Nudo()
{
    sqlite3_close(db_);
}

qint64 Nudo::leggi(const char *sql, std::initializer_list<QVariant> valori, qint64 massimo)
{
    sqlite3_stmt *stmt = prepara(db_, sql);
    lega(stmt, valori);
    qint64 righe = 0;
    qint64 somma = 0;
    int esito = SQLITE_DONE;
    while (righe < massimo && (esito = sqlite3_step(stmt)) == SQLITE_ROW) {
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
    if (esito != SQLITE_DONE && righe < massimo)
        throw std::runtime_error(sqlite3_errmsg(db_));
    benchmark::DoNotOptimize(somma);
    return righe;
}

void Nudo::esegui(const char *sql, std::initializer_list<QVariant> valori)
{
    sqlite3_stmt *stmt = prepara(db_, sql);
    lega(stmt, valori);
    const int esito = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (esito != SQLITE_DONE && esito != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db_));
}

Preparata::Preparata(Nudo &nudo, const char *sql)
    : db_(nudo.db())
    , stmt_(prepara(db_, sql))
{
}

Preparata::~Preparata()
{
    sqlite3_finalize(stmt_);
}

qint64 Preparata::esegui(std::initializer_list<QVariant> valori)
{
    lega(stmt_, valori);
    const int esito = sqlite3_step(stmt_);
    qint64 risposta = 0;
    if (esito == SQLITE_ROW)
        risposta = sqlite3_column_int64(stmt_, 0);
    else if (esito == SQLITE_DONE)
        risposta = sqlite3_changes(db_);
    sqlite3_reset(stmt_);
    if (esito != SQLITE_DONE && esito != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db_));
    return risposta;
}
