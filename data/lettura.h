#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariantList>

#include <functional>
#include <limits>

class Collegamento;
class Sessione;
struct sqlite3;
struct sqlite3_stmt;
struct pg_conn;
struct pg_result;

// How a list read in batches hands its rows over to partite, when there is
// one: a screen's worth first, so that the window shows them at once, then
// ever larger batches, so that the rest costs few hand-overs and a newer
// list is not kept waiting long. righe is the list within parte the rows
// are appended to; false means stop reading.
class Scaglioni final
{
public:
    // Before each row is appended.
    template <typename Parte, typename Lista>
    bool prima(const std::function<bool(Parte &)> &partite, Parte &parte, Lista &righe)
    {
        if (!partite || righe.size() < soglia_)
            return true;
        soglia_ = soglia_ < 16384 ? soglia_ * 4 : soglia_;
        return consegna(partite, parte, righe);
    }
    // After the last row.
    template <typename Parte, typename Lista>
    bool fine(const std::function<bool(Parte &)> &partite, Parte &parte, Lista &righe)
    {
        return !partite || righe.isEmpty() || consegna(partite, parte, righe);
    }

private:
    template <typename Parte, typename Lista>
    bool consegna(const std::function<bool(Parte &)> &partite, Parte &parte, Lista &righe)
    {
        const bool avanti = partite(parte);
        // The receiver took the rows and their room: the next batch's is made at once.
        righe.clear();
        righe.reserve(soglia_);
        return avanti;
    }

    qsizetype soglia_ = 64;
};

// A long list read with SQLite's C API on a routine's own connection: no
// QVariant per column, values still bound. On the server, with libpq on the
// routine's connection, a row at a time, likewise. Failures are thrown as
// ErroreRoutine with the engine's code and text, like every other step.
class Lettura final
{
public:
    Lettura(Sessione &sessione, const char *sql, const QVariantList &valori = {});
    // Two statements, the first without values: on the server they travel
    // together. Its rows come first; successiva() moves on to sql's.
    Lettura(Sessione &sessione, const char *prima, const char *sql, const QVariantList &valori);
    ~Lettura();
    Lettura(const Lettura &) = delete;
    Lettura &operator=(const Lettura &) = delete;

    // Steps to the next row; false at the end.
    bool prossima();
    void successiva();

    // A stored integer within the range; a real, a text or a null is a fault.
    qint64 intero(int colonna, qint64 minimo = std::numeric_limits<qint64>::min(),
                  qint64 massimo = std::numeric_limits<qint64>::max()) const;
    // The column's UTF-8 bytes, valid until the next step; a null is a fault.
    QByteArrayView utf8(int colonna) const;
    QString testo(int colonna) const;

private:
    void prepara(const char *sql, const QVariantList &valori);
    [[noreturn]] void fallisciDalMotore(int codice) const;

    [[noreturn]] void fallisciDalServer(pg_result *risultato) const;

    sqlite3 *db_ = nullptr;
    sqlite3_stmt *istruzione_ = nullptr;
    Collegamento *collegamento_ = nullptr;
    pg_conn *pg_ = nullptr;
    pg_result *riga_ = nullptr; // the server's current row
    bool finita_ = false;
    QByteArray sql_;
    QVariantList valori_;
    int restano_ = 0;    // statements after the current one
    bool fraDue_ = false; // the first statement read, the next not begun
};
