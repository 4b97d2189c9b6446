#include "data/routine.h"

#include "data/percorso.h"
#include "data/rapporto.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>

#include <atomic>

namespace {

std::atomic<int> &attesaMs()
{
    static std::atomic<int> attesa{int(ATTESA_FILE_BLOCCATO.count())};
    return attesa;
}

[[noreturn]] void fallisciDa(const QSqlError &errore)
{
    bool ok = false;
    int numero = errore.nativeErrorCode().toInt(&ok);
    if (!ok || numero <= 0)
        numero = 1; // SQLITE_ERROR: the engine failed without a code of its own
    QString descrizione = errore.databaseText();
    if (descrizione.isEmpty())
        descrizione = errore.driverText();
    fallisci(numero, descrizione);
}

QString nuovoNomeConnessione()
{
    static std::atomic<quint64> contatore{0};
    return QStringLiteral("vorendi-%1").arg(++contatore);
}

} // namespace

void fallisci(int numero, const QString &descrizione)
{
    throw ErroreRoutine{numero, descrizione};
}

void impostaAttesaFileBloccato(std::chrono::milliseconds attesa)
{
    attesaMs() = int(attesa.count());
}

std::chrono::milliseconds attesaFileBloccato()
{
    return std::chrono::milliseconds(attesaMs().load());
}

qint64 importo(std::optional<qint64> risultato)
{
    if (!risultato)
        fallisci(1, QStringLiteral("integer overflow"));
    return *risultato;
}

Sessione::Sessione(const QString &percorso)
    : nome_(nuovoNomeConnessione())
{
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome_);
    // mode=rw: a missing file is a failure, never a new empty database.
    db_.setDatabaseName(QUrl::fromLocalFile(percorso).toString(QUrl::FullyEncoded)
                        + (solaLettura() ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
    db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1")
                              .arg(attesaMs().load()));
    if (!db_.open()) {
        const QSqlError errore = db_.lastError();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(nome_);
        fallisciDa(errore);
    }
    // In the rollback journal a commit is the journal's deletion, which only
    // EXTRA forces to disk: without it a sale already printed could roll
    // back at a power cut and its receipt number be given again.
    try {
        esegui(QStringLiteral("PRAGMA synchronous=EXTRA"));
    } catch (const ErroreRoutine &) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(nome_);
        throw;
    }
}

Sessione::~Sessione()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(nome_);
}

QSqlQuery Sessione::prepara(const QString &sql)
{
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        fallisciDa(query.lastError());
    return query;
}

void Sessione::esegui(QSqlQuery &query, const QVariantList &valori)
{
    int i = 0;
    for (const QVariant &valore : valori) {
        // A null QString would bind as SQL NULL; the program means empty text.
        if (valore.typeId() == QMetaType::QString && valore.toString().isNull())
            query.bindValue(i++, QStringLiteral(""));
        else
            query.bindValue(i++, valore);
    }
    if (!query.exec())
        fallisciDa(query.lastError());
}

QSqlQuery Sessione::esegui(const QString &sql, const QVariantList &valori)
{
    QSqlQuery query = prepara(sql);
    esegui(query, valori);
    return query;
}

sqlite3 *Sessione::motore() const
{
    const QVariant handle = db_.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        fallisci(1, QStringLiteral("no SQLite handle"));
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool Sessione::prossima(QSqlQuery &query)
{
    if (query.next())
        return true;
    if (query.lastError().isValid())
        fallisciDa(query.lastError());
    return false;
}

Transazione::Transazione(Sessione &sessione)
    : sessione_(sessione)
{
    // IMMEDIATE takes the write lock now, so a busy file is waited for here
    // rather than failing half-way through the work.
    sessione_.esegui(QStringLiteral("BEGIN IMMEDIATE"));
}

Transazione::~Transazione()
{
    if (!aperta_)
        return;
    try {
        sessione_.esegui(QStringLiteral("ROLLBACK"));
    } catch (const ErroreRoutine &) {
        // The engine has already rolled back when ROLLBACK itself fails.
    }
}

void Transazione::conferma()
{
    sessione_.esegui(QStringLiteral("COMMIT"));
    aperta_ = false;
}

QString colonnaTesto(const QSqlQuery &query, int colonna)
{
    const QVariant valore = query.value(colonna);
    if (!valore.isValid() || valore.isNull())
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    return valore.toString();
}

qint64 colonnaIntero(const QSqlQuery &query, int colonna, qint64 minimo, qint64 massimo)
{
    const QVariant valore = query.value(colonna);
    // Only a stored integer is a number here: a real (2.5, or a value beyond
    // 64 bits that the engine keeps as a real) or a text would be rounded
    // or wrapped by a conversion, and is a fault of the file instead.
    if (valore.metaType().id() != QMetaType::LongLong)
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    const qint64 numero = *static_cast<const qlonglong *>(valore.constData());
    if (numero < minimo || numero > massimo)
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    return numero;
}

bool eseguiRoutine(Zona zona, const std::function<void(Sessione &)> &corpo)
{
    try {
        Sessione sessione(percorsoDatabase());
        corpo(sessione);
        return true;
    } catch (const ErroreRoutine &errore) {
        segnala(RapportoZona::daMotore(int(errore.zona != Zona::Nessuna ? errore.zona : zona), errore.numero,
                                       errore.descrizione, percorsoDatabase()));
    } catch (const std::exception &errore) {
        segnala(RapportoZona::daMotore(int(zona), 1, QString::fromLocal8Bit(errore.what()), percorsoDatabase()));
    }
    return false;
}
