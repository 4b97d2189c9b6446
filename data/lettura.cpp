#include "data/lettura.h"

#include "data/routine.h"

#include <sqlite3.h>

namespace {

bool cifra(char c)
{
    return c >= '0' && c <= '9';
}

int cifre(QByteArrayView testo, qsizetype da, qsizetype quante)
{
    int numero = 0;
    for (qsizetype i = da; i < da + quante; ++i) {
        if (!cifra(testo[i]))
            return -1;
        numero = numero * 10 + (testo[i] - '0');
    }
    return numero;
}

} // namespace

QDate giornoIso(QByteArrayView testo)
{
    if (testo.size() != 10 || testo[4] != '-' || testo[7] != '-')
        return {};
    const int anno = cifre(testo, 0, 4);
    const int mese = cifre(testo, 5, 2);
    const int giorno = cifre(testo, 8, 2);
    if (anno < 0 || mese < 0 || giorno < 0)
        return {};
    return QDate(anno, mese, giorno); // invalid for a day that does not exist
}

Lettura::Lettura(Sessione &sessione, const char *sql, const QVariantList &valori)
{
    if (sessione.server()) {
        server_ = &sessione;
        query_ = sessione.esegui(QString::fromUtf8(sql), valori);
        return;
    }
    db_ = sessione.motore();
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
            fallisci(legato, descrizione);
        }
    }
}

Lettura::~Lettura()
{
    sqlite3_finalize(istruzione_);
}

bool Lettura::prossima()
{
    if (server_) {
        testi_.clear();
        return Sessione::prossima(query_);
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
    if (server_)
        return colonnaIntero(query_, colonna, minimo, massimo);
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
    if (server_) {
        testi_.append(colonnaTesto(query_, colonna).toUtf8());
        return testi_.constLast();
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
