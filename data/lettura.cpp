#include "data/lettura.h"

#include "data/collegamento.h"
#include "data/routine.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <charconv>
#include <vector>

Lettura::Lettura(Sessione &sessione, const char *sql, const QVariantList &valori)
    : Lettura(sessione, nullptr, sql, valori)
{
}

Lettura::Lettura(Sessione &sessione, const char *prima, const char *sql, const QVariantList &valori)
    : sql_(sql)
    , valori_(valori)
    , restano_(prima ? 1 : 0)
{
    if (sessione.server()) {
        collegamento_ = &sessione.collegamento();
        // Both statements go in one round trip.
        collegamento_->inviaLetture(prima ? QList<QByteArray>{prima, sql_} : QList<QByteArray>{sql_}, valori);
        pg_ = collegamento_->pg();
        return;
    }
    db_ = sessione.motore();
    prepara(prima ? prima : sql, prima ? QVariantList() : valori);
}

void Lettura::prepara(const char *sql, const QVariantList &valori)
{
    sqlite3_finalize(istruzione_);
    istruzione_ = nullptr;
    const int esito = sqlite3_prepare_v3(db_, sql, -1, 0, &istruzione_, nullptr);
    if (esito != SQLITE_OK)
        fallisciDalMotore(esito);
    for (int i = 0; i < valori.size(); ++i) {
        const QVariant &valore = valori.at(i);
        int legato = SQLITE_OK;
        switch (valore.typeId()) {
        case QMetaType::QString: {
            const QByteArray testo = valore.toString().toUtf8();
            legato = sqlite3_bind_text(istruzione_, i + 1, testo.constData(), int(testo.size()),
                                       SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::Bool:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
            legato = sqlite3_bind_int64(istruzione_, i + 1, valore.toLongLong());
            break;
        default:
            legato = SQLITE_MISMATCH;
        }
        if (legato != SQLITE_OK) {
            // No destructor runs for a constructor that throws.
            const QString descrizione = QString::fromUtf8(sqlite3_errstr(legato));
            sqlite3_finalize(istruzione_);
            istruzione_ = nullptr;
            fallisci(legato, descrizione);
        }
    }
}

Lettura::~Lettura()
{
    sqlite3_finalize(istruzione_);
    if (!pg_)
        return;
    PQclear(riga_);
    // Left before the end (a failure): the connection is given up rather
    // than waited on, and the next routine opens a new one.
    if (!finita_)
        collegamento_->chiudi();
}

void Lettura::successiva()
{
    if (restano_ == 0)
        fallisci(1, QStringLiteral("no further statement"));
    --restano_;
    if (!pg_) {
        prepara(sql_.constData(), valori_);
        return;
    }
    fraDue_ = false;
    collegamento_->rigaPerRiga();
}

bool Lettura::prossima()
{
    if (pg_) {
        PQclear(riga_);
        riga_ = finita_ || fraDue_ ? nullptr : collegamento_->prossimoRisultato();
        switch (riga_ ? PQresultStatus(riga_) : PGRES_TUPLES_OK) {
        case PGRES_SINGLE_TUPLE:
            return true;
        case PGRES_TUPLES_OK: // the end of a statement, after its last row
            if (!fraDue_ && riga_) {
                PQclear(riga_);
                riga_ = nullptr;
                // The statement's end, and after the last one the batch's.
                if (collegamento_->prossimoRisultato())
                    fallisci(1, QStringLiteral("the server's replies are out of step"));
                if (restano_ == 0) {
                    collegamento_->fineBatch();
                    finita_ = true;
                } else {
                    fraDue_ = true;
                }
            }
            return false;
        default:
            fallisciDalServer(riga_);
        }
    }
    const int esito = sqlite3_step(istruzione_);
    if (esito == SQLITE_ROW)
        return true;
    if (esito == SQLITE_DONE)
        return false;
    fallisciDalMotore(esito);
}

qint64 Lettura::intero(int colonna, qint64 minimo, qint64 massimo) const
{
    if (pg_) {
        qint64 numero = 0;
        const char *testo = PQgetvalue(riga_, 0, colonna);
        const char *fine = testo + PQgetlength(riga_, 0, colonna);
        const auto [dove, errore] = std::from_chars(testo, fine, numero);
        if (PQgetisnull(riga_, 0, colonna) || errore != std::errc() || dove != fine || numero < minimo
            || numero > massimo)
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
        return numero;
    }
    // A real (2.5, or a number beyond 64 bits) would be rounded or wrapped.
    if (sqlite3_column_type(istruzione_, colonna) != SQLITE_INTEGER)
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    const qint64 numero = sqlite3_column_int64(istruzione_, colonna);
    if (numero < minimo || numero > massimo)
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    return numero;
}

QByteArrayView Lettura::utf8(int colonna) const
{
    if (pg_) {
        if (PQgetisnull(riga_, 0, colonna))
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
        return QByteArrayView(PQgetvalue(riga_, 0, colonna), PQgetlength(riga_, 0, colonna));
    }
    const auto *testo = reinterpret_cast<const char *>(sqlite3_column_text(istruzione_, colonna));
    if (!testo) {
        if (sqlite3_errcode(db_) == SQLITE_NOMEM)
            fallisciDalMotore(SQLITE_NOMEM);
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    }
    return QByteArrayView(testo, sqlite3_column_bytes(istruzione_, colonna));
}

QString Lettura::testo(int colonna) const
{
    return QString::fromUtf8(utf8(colonna));
}

void Lettura::fallisciDalMotore(int codice) const
{
    fallisci(codice & 0xff, QString::fromUtf8(sqlite3_errmsg(db_)));
}

void Lettura::fallisciDalServer(pg_result *risultato) const
{
    fallisciDalRisultato(collegamento_->pg(), risultato);
}
