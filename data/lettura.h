#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <limits>

class Sessione;
struct sqlite3;
struct sqlite3_stmt;

// A long list read with SQLite's C API on a routine's own connection: no
// QVariant per column, values still bound. On the server, Qt's driver reads
// it a row at a time. Failures are thrown as
// ErroreRoutine with the engine's code and text, like every other step.
class Lettura final
{
public:
    Lettura(Sessione &sessione, const char *sql, const QVariantList &valori = {});
    ~Lettura();
    Lettura(const Lettura &) = delete;
    Lettura &operator=(const Lettura &) = delete;

    // Steps to the next row; false at the end.
    bool prossima();

    // A stored integer within the range; a real, a text or a null is a fault.
    qint64 intero(int colonna, qint64 minimo = std::numeric_limits<qint64>::min(),
                  qint64 massimo = std::numeric_limits<qint64>::max()) const;
    // The column's UTF-8 bytes, valid until the next step; a null is a fault.
    QByteArrayView utf8(int colonna) const;
    QString testo(int colonna) const;

private:
    [[noreturn]] void fallisciDalMotore(int codice) const;

    sqlite3 *db_ = nullptr;
    sqlite3_stmt *istruzione_ = nullptr;
    Sessione *server_ = nullptr;
    QSqlQuery query_;
    mutable QList<QByteArray> testi_; // the row's texts, valid until the next step
};

// A stored day (yyyy-MM-dd) read without the general date parser; invalid
// when the text is not a real day so written.
QDate giornoIso(QByteArrayView testo);
