#include "data/routine.h"

#include "data/collegamento.h"
#include "data/dialetto.h"
#include "data/percorso.h"
#include "data/rapporto.h"
#include "data/schema.h"
#include "data/server.h"
#include "data/tabelle.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QRandomGenerator>
#include <QThread>
#include <QUrl>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <atomic>
#include <charconv>
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

// This thread's server connection, and the string and settings it was
// opened with.
struct ConnessioneDelThread
{
    std::unique_ptr<Collegamento> collegamento;
    QString chiave;
};
thread_local ConnessioneDelThread connessioneDelThread;

// This thread's connection to the file, kept open from one routine to the
// next as the server's is: settings applied and schema checked once.
struct FileDelThread
{
    QSqlDatabase db;
    QString chiave;

    FileDelThread() = default;
    FileDelThread(const FileDelThread &) = delete;
    FileDelThread &operator=(const FileDelThread &) = delete;
    ~FileDelThread() { chiudi(); }
    void chiudi()
    {
        if (!db.isValid())
            return;
        const QString nome = db.connectionName();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(nome);
        chiave.clear();
    }
};
thread_local FileDelThread fileDelThread;

sqlite3 *maniglia(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// A connection kept from an earlier routine serves only while no transaction
// is left open on it and its file is still the one at the path: a file
// replaced, moved or deleted under the program is opened again by name.
bool fileUtilizzabile(const QSqlDatabase &db)
{
    sqlite3 *h = db.isOpen() ? maniglia(db) : nullptr;
    int spostato = 0;
    return h && sqlite3_get_autocommit(h)
        && sqlite3_file_control(h, "main", SQLITE_FCNTL_HAS_MOVED, &spostato) == SQLITE_OK && !spostato;
}

// Why a server could not be reached at all, as a SQLSTATE.
QString statoSenzaCollegamento(const QString &connessione)
{
    // Asked briefly: the answer only words the report.
    switch (PQping((connessione + QStringLiteral(" connect_timeout=2")).toUtf8().constData())) {
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
const std::vector<std::function<QStringList(const Dialetto &)>> PASSI_SCHEMA = {
    // 1 to 2: the server's own functions for a sale and a cart line.
    [](const Dialetto &d) { return d.funzioni(); },
};
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
    versione = d.versione(s, true);
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
    : dialetto_(&Dialetto::delFile())
    , nomeLuogo_(QFileInfo(percorso).absoluteFilePath())
{
    FileDelThread &mio = fileDelThread;
    const QString chiave =
        QStringLiteral("%1\n%2\n%3").arg(nomeLuogo_).arg(solaLettura()).arg(attesaMs().load());
    if (mio.chiave == chiave && fileUtilizzabile(mio.db)) {
        db_ = mio.db;
        return;
    }
    mio.chiudi();
    nome_ = nuovoNomeConnessione();
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome_);
    // mode=rw: a missing file is a failure, never a new empty database.
    db_.setDatabaseName(QUrl::fromLocalFile(percorso).toString(QUrl::FullyEncoded)
                        + (solaLettura() ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
    db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1")
                              .arg(attesaMs().load()));
    if (!db_.open()) {
        const QSqlError errore = db_.lastError();
        chiudi();
        fallisciDalFile(errore);
    }
    try {
        dialetto_->imposta(*this);
        aggiornaSchema(*this);
    } catch (const ErroreRoutine &) {
        chiudi();
        throw;
    }
    mio.db = db_;
    mio.chiave = chiave;
}

Sessione::Sessione(const SulServer &server)
    : server_(true)
    , dialetto_(&Dialetto::delServer())
    , nomeLuogo_(server.connessione)
{
    ConnessioneDelThread &mia = connessioneDelThread;
    if (mia.collegamento && mia.chiave == chiaveDelServer(server.connessione) && mia.collegamento->utilizzabile())
        return;
    apriSulServer();
}

QString Sessione::chiaveDelServer(const QString &connessione)
{
    return (QStringList{connessione} + dialetto_->impostazioniIniziali()).join(u'\n');
}

void Sessione::apriSulServer()
{
    ConnessioneDelThread &mia = connessioneDelThread;
    mia = {};
    try {
        mia.collegamento = std::make_unique<Collegamento>(nomeLuogo_, dialetto_->impostazioniIniziali());
    } catch (ErroreRoutine &errore) {
        if (errore.stato == QLatin1String("08000"))
            errore.stato = statoSenzaCollegamento(nomeLuogo_);
        throw;
    }
    registraCifratura(mia.collegamento->cifrato());
    try {
        aggiornaSchema(*this);
    } catch (const ErroreRoutine &) {
        mia = {};
        throw;
    }
    mia.chiave = chiaveDelServer(nomeLuogo_);
}

void Sessione::ricollega()
{
    apriSulServer();
}

Collegamento &Sessione::collegamento() const
{
    Collegamento *c = server_ ? connessioneDelThread.collegamento.get() : nullptr;
    if (!c)
        fallisciSulServer(QStringLiteral("08006"), QStringLiteral("no connection to the server"));
    return *c;
}

QString Sessione::luogo() const
{
    return dialetto_->luogo(server_ ? descrizioneServer(nomeLuogo_) : nomeLuogo_);
}

void Sessione::chiudi()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(nome_);
}

// Either connection stays open for the thread's next routine.
Sessione::~Sessione() = default;

Istruzione Sessione::prepara(const QString &sql)
{
    Istruzione istruzione;
    if (server_) {
        // Prepared on the server with its first run, in the same round trip.
        istruzione.sql_ = sql.toUtf8();
        return istruzione;
    }
    istruzione.query_ = QSqlQuery(db_);
    istruzione.query_.setForwardOnly(true);
    if (!istruzione.query_.prepare(sql))
        fallisciDalFile(istruzione.query_.lastError());
    return istruzione;
}

Righe Sessione::esegui(Istruzione &istruzione, const QVariantList &valori)
{
    Righe righe;
    if (server_) {
        righe.pg_ = collegamento().esegui(istruzione.sql_, valori);
        return righe;
    }
    QSqlQuery &query = istruzione.query_;
    int i = 0;
    for (const QVariant &valore : valori) {
        // A null QString would bind as SQL NULL; the program means empty text.
        if (valore.typeId() == QMetaType::QString && valore.toString().isNull())
            query.bindValue(i++, QStringLiteral(""));
        else
            query.bindValue(i++, valore);
    }
    if (!query.exec())
        fallisciDalFile(query.lastError());
    righe.query_ = query;
    return righe;
}

Righe Sessione::esegui(const QString &sql, const QVariantList &valori)
{
    if (server_) {
        Righe righe;
        righe.pg_ = collegamento().esegui(sql.toUtf8(), valori);
        return righe;
    }
    Istruzione istruzione = prepara(sql);
    return esegui(istruzione, valori);
}

void Sessione::inizia()
{
    if (server_)
        collegamento().accoda(dialetto_->inizio().toUtf8());
    else
        esegui(dialetto_->inizio());
}

void Sessione::termina(bool conferma)
{
    // A transaction whose start was never sent holds nothing.
    if (server_ && collegamento().haInAttesa()) {
        collegamento().scartaInAttesa();
        return;
    }
    esegui(conferma ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
}

sqlite3 *Sessione::motore() const
{
    if (server_)
        fallisci(1, QStringLiteral("no SQLite handle"));
    sqlite3 *h = maniglia(db_);
    if (!h)
        fallisci(1, QStringLiteral("no SQLite handle"));
    return h;
}

bool Righe::prossima()
{
    if (pg_)
        return ++riga_ < PQntuples(pg_.get());
    if (!query_.isActive())
        return false;
    if (query_.next())
        return true;
    if (query_.lastError().isValid())
        fallisciDalFile(query_.lastError());
    return false;
}

bool Righe::nullo(int colonna) const
{
    if (pg_)
        return PQgetisnull(pg_.get(), riga_, colonna);
    return query_.value(colonna).isNull();
}

qint64 Righe::cambiate() const
{
    if (pg_)
        return QByteArray(PQcmdTuples(pg_.get())).toLongLong();
    return query_.numRowsAffected();
}

Transazione::Transazione(Sessione &sessione)
    : sessione_(sessione)
{
    sessione_.inizia();
}

Transazione::~Transazione()
{
    if (!aperta_)
        return;
    try {
        sessione_.termina(false);
    } catch (const ErroreRoutine &) {
        // The engine has already rolled back when ROLLBACK itself fails.
    }
}

void Transazione::conferma()
{
    sessione_.termina(true);
    aperta_ = false;
}

QString colonnaTesto(const Righe &righe, int colonna)
{
    if (righe.pg_) {
        if (PQgetisnull(righe.pg_.get(), righe.riga_, colonna))
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
        return QString::fromUtf8(PQgetvalue(righe.pg_.get(), righe.riga_, colonna),
                                 PQgetlength(righe.pg_.get(), righe.riga_, colonna));
    }
    const QVariant valore = righe.query_.value(colonna);
    if (!valore.isValid() || valore.isNull())
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    return valore.toString();
}

qint64 colonnaIntero(const Righe &righe, int colonna, qint64 minimo, qint64 massimo)
{
    qint64 numero = 0;
    if (righe.pg_) {
        // Whole-number columns only (int2, int4, int8): a decimal sum or a
        // text would be a fault of the statement or of the database.
        const PGresult *r = righe.pg_.get();
        const Oid tipo = PQftype(r, colonna);
        const char *testo = PQgetvalue(r, righe.riga_, colonna);
        const char *fine = testo + PQgetlength(r, righe.riga_, colonna);
        const auto [dove, errore] = std::from_chars(testo, fine, numero);
        if ((tipo != 20 && tipo != 21 && tipo != 23) || PQgetisnull(r, righe.riga_, colonna)
            || errore != std::errc() || dove != fine)
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    } else {
        const QVariant valore = righe.query_.value(colonna);
        // Only a stored integer is a number here: a real (2.5, or a value
        // beyond 64 bits that the engine keeps as a real) or a text would be
        // rounded or wrapped by a conversion, and is a fault of the file.
        if (valore.metaType().id() != QMetaType::LongLong)
            fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
        numero = *static_cast<const qlonglong *>(valore.constData());
    }
    if (numero < minimo || numero > massimo)
        fallisci(ERRORE_TIPO_DATO, QStringLiteral("datatype mismatch"));
    return numero;
}

namespace {

bool daRiprovare(const ErroreRoutine &errore)
{
    // Serialization failure, deadlock, a row another counter holds, and the
    // same new key inserted by another counter at the same moment: run
    // again, it sees the other's work.
    return errore.stato == QLatin1String("40001") || errore.stato == QLatin1String("40P01")
        || errore.stato == QLatin1String("55P03") || errore.stato == QLatin1String("23505");
}

} // namespace

bool eseguiRoutine(Zona zona, const std::function<void(Sessione &)> &corpo)
{
    const QString connessione = server();
    QElapsedTimer tempo;
    tempo.start();
    for (int tentativo = 1;; ++tentativo) {
        try {
            if (connessione.isEmpty()) {
                try {
                    Sessione sessione(percorsoDatabase());
                    corpo(sessione);
                } catch (...) {
                    // After a failure the next routine starts from a new
                    // connection, as if none had been kept.
                    fileDelThread.chiudi();
                    throw;
                }
            } else {
                Sessione sessione(Sessione::SulServer{connessione});
                corpo(sessione);
            }
            return true;
        } catch (const ErroreRoutine &errore) {
            // Within the same bound as a silent link: the counter waits
            // seconds, never minutes.
            if (!connessione.isEmpty() && daRiprovare(errore) && tentativo < TENTATIVI_SUL_SERVER
                && tempo.elapsed() < Collegamento::limite().count()) {
                QThread::msleep(QRandomGenerator::global()->bounded(5, 20) * tentativo);
                continue;
            }
            const int zonaErrore = int(errore.zona != Zona::Nessuna ? errore.zona : zona);
            if (!errore.italiano.isEmpty()) {
                segnala({zonaErrore, errore.numero, errore.italiano, errore.descrizione, errore.stato});
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
