#include "data/routine.h"

#include "data/dialetto.h"
#include "data/percorso.h"
#include "data/rapporto.h"
#include "data/schema.h"
#include "data/server.h"
#include "data/tabelle.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QRandomGenerator>
#include <QThread>
#include <QUrl>

#include <libpq-fe.h>

#include <atomic>
#include <exception>

namespace {

std::atomic<int> &attesaMs()
{
    static std::atomic<int> attesa{int(ATTESA_FILE_BLOCCATO.count())};
    return attesa;
}

[[noreturn]] void fallisciDalFile(const QSqlError &errore)
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

// libpq's connection under Qt's driver; null when there is none.
PGconn *pgDelDriver(const QSqlDriver *driver)
{
    const QVariant handle = driver->handle();
    // Qt registers the type under libpq's struct name.
    if (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

[[noreturn]] void fallisciDa(const QSqlError &errore, const QSqlDriver *driver)
{
    if (driver->dbmsType() != QSqlDriver::PostgreSQL)
        fallisciDalFile(errore);
    QString stato = errore.nativeErrorCode();
    if (stato.isEmpty())
        stato = PQstatus(pgDelDriver(driver)) != CONNECTION_OK ? QStringLiteral("08006") : QStringLiteral("XX000");
    QString descrizione = errore.databaseText().trimmed();
    if (descrizione.isEmpty())
        descrizione = errore.driverText();
    fallisciSulServer(stato, descrizione);
}

// This thread's server connection: its name, and the string and settings
// it was opened with.
struct ConnessioneDelThread
{
    QString nome;
    QString chiave;
};
thread_local ConnessioneDelThread connessioneDelThread;

// Why a server could not be reached at all, as a SQLSTATE.
QString statoSenzaCollegamento(const QString &connessione)
{
    switch (PQping(connessione.toUtf8().constData())) {
    case PQPING_OK:
        return QStringLiteral("28000"); // it answered, and refused this login
    case PQPING_REJECT:
        return QStringLiteral("57P03"); // starting, stopping or full
    default:
        return QStringLiteral("08001");
    }
}

// The steps that bring a shop's schema from one version to the next: the
// first takes version 1 to 2. A file of version 0 holds version 1's tables.
const std::vector<std::function<QStringList(const Dialetto &)>> PASSI_SCHEMA = {};
static_assert(VERSIONE_SCHEMA >= 1);

[[noreturn]] void schemaPiuRecente(const Sessione &s)
{
    fallisciInItaliano(ERRORE_SCHEMA,
                       QStringLiteral("%1 è stato scritto da una versione più recente di Vorendi.").arg(s.luogo()));
}

// A newer schema is refused before anything is written; an older one is
// brought up to date in one transaction, unless the session may not write.
void aggiornaSchema(Sessione &s)
{
    const Dialetto &d = s.dialetto();
    qint64 versione = d.versione(s);
    if (versione == VERSIONE_SCHEMA)
        return;
    if (versione > VERSIONE_SCHEMA)
        schemaPiuRecente(s);
    const QStringList nomi = nomiTabelle(d);
    // Not a shop yet (or no longer one): the routine says what is missing.
    if (solaLettura() || (versione == 0 && !d.haTabelle(s, nomi)))
        return;
    Transazione t(s);
    for (const QString &istruzione : d.attendiAggiornamento())
        s.esegui(istruzione);
    // Another program may have done it while this one waited.
    versione = d.versione(s);
    if (versione > VERSIONE_SCHEMA)
        schemaPiuRecente(s);
    if (versione == VERSIONE_SCHEMA)
        return;
    for (qint64 da = qMax<qint64>(versione, 1); da < VERSIONE_SCHEMA; ++da) {
        for (const QString &istruzione : PASSI_SCHEMA.at(size_t(da - 1))(d))
            s.esegui(istruzione);
    }
    for (const QString &istruzione : d.timbra(VERSIONE_SCHEMA))
        s.esegui(istruzione);
    t.conferma();
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

void fallisciSulServer(const QString &stato, const QString &descrizione)
{
    throw ErroreRoutine{0, descrizione, Zona::Nessuna, stato};
}

void fallisciInItaliano(int numero, const QString &descrizione)
{
    throw ErroreRoutine{numero, descrizione, Zona::Nessuna, {}, descrizione};
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
    , dialetto_(&Dialetto::delFile())
    , nomeLuogo_(QFileInfo(percorso).absoluteFilePath())
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
        fallisciDalFile(errore);
    }
    try {
        dialetto_->imposta(*this);
        aggiornaSchema(*this);
    } catch (const ErroreRoutine &) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(nome_);
        throw;
    }
}

Sessione::Sessione(const SulServer &server)
    : server_(true)
    , dialetto_(&Dialetto::delServer())
    , nomeLuogo_(server.connessione)
{
    ConnessioneDelThread &mia = connessioneDelThread;
    const QString attesa = QStringLiteral("%1ms").arg(attesaMs().load());
    const QString lettura = solaLettura() ? QStringLiteral("on") : QStringLiteral("off");
    const QString chiave = QStringList{server.connessione, postazione(), attesa, lettura}.join(u'\n');
    if (!mia.nome.isEmpty()) {
        db_ = QSqlDatabase::database(mia.nome, false);
        nome_ = mia.nome;
        // A connection the server has dropped since the last routine is
        // found here, before any work, and opened again.
        QSqlQuery prova(db_);
        if (mia.chiave == chiave && db_.isOpen()
            && PQstatus(pgDelDriver(db_.driver())) == CONNECTION_OK && prova.exec(QStringLiteral("SELECT 1")))
            return;
        prova = QSqlQuery();
        chiudi();
    }
    nome_ = nuovoNomeConnessione();
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome_);
    if (!db_.isValid()) {
        QSqlDatabase::removeDatabase(nome_);
        fallisciSulServer(QStringLiteral("08001"), QStringLiteral("QPSQL driver not loaded"));
    }
    // Qt passes the options to libpq as they stand, ';' read as a blank.
    db_.setConnectOptions(server.connessione + QStringLiteral(" application_name=Vorendi connect_timeout=10"));
    if (!db_.open()) {
        const QString testo = db_.lastError().databaseText().isEmpty() ? db_.lastError().text()
                                                                        : db_.lastError().databaseText();
        chiudi();
        fallisciSulServer(statoSenzaCollegamento(server.connessione), testo.trimmed());
    }
    registraCifratura(PQsslInUse(pgDelDriver(db_.driver())) == 1);
    try {
        dialetto_->imposta(*this);
        aggiornaSchema(*this);
    } catch (const ErroreRoutine &) {
        chiudi();
        throw;
    }
    mia = {nome_, chiave};
}

QString Sessione::luogo() const
{
    return dialetto_->luogo(server_ ? descrizioneServer(nomeLuogo_) : nomeLuogo_);
}

void Sessione::chiudi()
{
    if (connessioneDelThread.nome == nome_)
        connessioneDelThread = {};
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(nome_);
}

Sessione::~Sessione()
{
    // A server connection stays open for the thread's next routine, which
    // checks it first.
    if (!server_) {
        chiudi();
        return;
    }
    // A statement freed inside a failed transaction stays prepared on the
    // server: after a failure none is left over for the next routine.
    if (std::uncaught_exceptions() > 0)
        QSqlQuery(db_).exec(QStringLiteral("DEALLOCATE ALL"));
}

QSqlQuery Sessione::prepara(const QString &sql)
{
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        fallisciDa(query.lastError(), query.driver());
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
        fallisciDa(query.lastError(), query.driver());
}

QSqlQuery Sessione::esegui(const QString &sql, const QVariantList &valori)
{
    // The server prepares no BEGIN or LOCK, and a statement without values
    // needs no round trip to be prepared.
    if (server_ && valori.isEmpty()) {
        QSqlQuery query(db_);
        query.setForwardOnly(true);
        if (!query.exec(sql))
            fallisciDa(query.lastError(), query.driver());
        return query;
    }
    QSqlQuery query = prepara(sql);
    esegui(query, valori);
    return query;
}

sqlite3 *Sessione::motore() const
{
    if (server_)
        fallisci(1, QStringLiteral("no SQLite handle"));
    const QVariant handle = db_.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        fallisci(1, QStringLiteral("no SQLite handle"));
    return *static_cast<sqlite3 *const *>(handle.constData());
}

pg_conn *Sessione::connessionePg() const
{
    PGconn *pg = server_ ? pgDelDriver(db_.driver()) : nullptr;
    if (!pg)
        fallisciSulServer(QStringLiteral("08006"), QStringLiteral("no libpq connection"));
    return pg;
}

bool Sessione::prossima(QSqlQuery &query)
{
    if (query.next())
        return true;
    if (query.lastError().isValid())
        fallisciDa(query.lastError(), query.driver());
    return false;
}

Transazione::Transazione(Sessione &sessione)
    : sessione_(sessione)
{
    sessione_.esegui(sessione_.dialetto().inizio());
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
    qint64 numero = 0;
    if (valore.metaType().id() == QMetaType::LongLong)
        numero = *static_cast<const qlonglong *>(valore.constData());
    // Qt's PostgreSQL driver gives a BIGINT that is not negative unsigned.
    else if (valore.metaType().id() == QMetaType::ULongLong
             && *static_cast<const qulonglong *>(valore.constData()) <= qulonglong(std::numeric_limits<qint64>::max()))
        numero = qint64(*static_cast<const qulonglong *>(valore.constData()));
    else
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    if (numero < minimo || numero > massimo)
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    return numero;
}

namespace {

bool daRiprovare(const ErroreRoutine &errore)
{
    // Serialization failure, deadlock, and the same new key inserted by
    // another counter at the same moment: run again, it sees the other's work.
    return errore.stato == QLatin1String("40001") || errore.stato == QLatin1String("40P01")
        || errore.stato == QLatin1String("23505");
}

} // namespace

bool eseguiRoutine(Zona zona, const std::function<void(Sessione &)> &corpo)
{
    const QString connessione = server();
    for (int tentativo = 1;; ++tentativo) {
        try {
            if (connessione.isEmpty()) {
                Sessione sessione(percorsoDatabase());
                corpo(sessione);
            } else {
                Sessione sessione(Sessione::SulServer{connessione});
                corpo(sessione);
            }
            return true;
        } catch (const ErroreRoutine &errore) {
            if (!connessione.isEmpty() && daRiprovare(errore) && tentativo < TENTATIVI_SUL_SERVER) {
                QThread::msleep(QRandomGenerator::global()->bounded(5, 20) * tentativo);
                continue;
            }
            const int zonaErrore = int(errore.zona != Zona::Nessuna ? errore.zona : zona);
            if (!errore.italiano.isEmpty()) {
                segnala({zonaErrore, errore.numero, errore.italiano, errore.descrizione});
            } else {
                segnala(connessione.isEmpty()
                            ? RapportoZona::daMotore(zonaErrore, errore.numero, errore.descrizione,
                                                     percorsoDatabase())
                            : RapportoZona::daServer(zonaErrore, errore.numero, errore.stato,
                                                     errore.descrizione, descrizioneServer(connessione)));
            }
        } catch (const std::exception &errore) {
            const QString testo = QString::fromLocal8Bit(errore.what());
            segnala(connessione.isEmpty() ? RapportoZona::daMotore(int(zona), 1, testo, percorsoDatabase())
                                          : RapportoZona::daServer(int(zona), 1, {}, testo, descrizioneServer(connessione)));
        }
        return false;
    }
}
