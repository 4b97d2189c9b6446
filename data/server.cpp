#include "data/server.h"

#include "common/formati.h"
#include "data/configurazione.h"
#include "data/schema.h"
#include "data/tabelle.h"

#include <QFile>
#include <QStringList>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace {

struct ChiudiPg
{
    void operator()(PGconn *c) const { PQfinish(c); }
    void operator()(PGresult *r) const { PQclear(r); }
};
using ConnessionePg = std::unique_ptr<PGconn, ChiudiPg>;
using RisultatoPg = std::unique_ptr<PGresult, ChiudiPg>;

struct ChiudiFile
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};

// A failure of the server work, with the server's own words.
struct Guasto
{
    QString motivo;
};

QString testoPg(PGconn *c)
{
    return QString::fromUtf8(PQerrorMessage(c)).trimmed();
}

ConnessionePg collega(const QString &connessione)
{
    ConnessionePg c(PQconnectdb(connessione.toUtf8().constData()));
    if (!c || PQstatus(c.get()) != CONNECTION_OK)
        throw Guasto{QStringLiteral("collegamento al server non riuscito: %1").arg(c ? testoPg(c.get()) : QString())};
    PQsetClientEncoding(c.get(), "UTF8");
    // Notices ("already exists, skipping") are no news to the shopkeeper.
    PQsetNoticeProcessor(c.get(), [](void *, const char *) {}, nullptr);
    // This work reads the file between its statements: the wait that frees
    // a silent counter's rows is not for it.
    PQclear(PQexec(c.get(), "SET idle_in_transaction_session_timeout = 0"));
    return c;
}

RisultatoPg esegui(PGconn *c, const QString &sql, const QStringList &valori = {})
{
    QList<QByteArray> byte;
    std::vector<const char *> puntatori;
    for (const QString &v : valori)
        byte.append(v.toUtf8());
    for (const QByteArray &b : byte)
        puntatori.push_back(b.constData());
    RisultatoPg r(PQexecParams(c, sql.toUtf8().constData(), int(puntatori.size()), nullptr, puntatori.data(),
                               nullptr, nullptr, 0));
    const ExecStatusType stato = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (stato != PGRES_COMMAND_OK && stato != PGRES_TUPLES_OK)
        throw Guasto{QStringLiteral("%1\n(%2)").arg(testoPg(c), sql)};
    return r;
}

qint64 numero(PGconn *c, const QString &sql)
{
    RisultatoPg r = esegui(c, sql);
    return PQgetisnull(r.get(), 0, 0) ? 0 : QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
}

void vuoto(PGconn *c)
{
    if (numero(c, QStringLiteral("SELECT count(*) FROM information_schema.tables"
                                 " WHERE table_schema = current_schema()")) != 0)
        throw Guasto{QStringLiteral("il database contiene già delle tabelle: Vorendi usa solo un database vuoto.")};
}

// The first row's first column as text.
QString testo(PGconn *c, const QString &sql, const QStringList &valori = {})
{
    RisultatoPg r = esegui(c, sql, valori);
    return PQntuples(r.get()) > 0 ? QString::fromUtf8(PQgetvalue(r.get(), 0, 0)) : QString();
}

// Setting the database's idle_in_transaction_session_timeout is its
// owner's right: checked before anything is written.
void proprietarioDelDatabase(PGconn *c)
{
    RisultatoPg r = esegui(c, QStringLiteral("SELECT current_user, current_database(), pg_has_role(datdba, 'USAGE')"
                                             " FROM pg_database WHERE datname = current_database()"));
    if (PQntuples(r.get()) == 1 && qstrcmp(PQgetvalue(r.get(), 0, 2), "t") == 0)
        return;
    const QString utente = QString::fromUtf8(PQgetvalue(r.get(), 0, 0));
    throw Guasto{QStringLiteral("l'utente %1 non è il proprietario del database %2. Le tabelle le crea il "
                                "proprietario (quello di createdb --owner): solo lui può impostare "
                                "idle_in_transaction_session_timeout, che libera le righe tenute da una cassa che "
                                "non risponde più.")
                     .arg(utente, QString::fromUtf8(PQgetvalue(r.get(), 0, 1)))};
}

// The counters' role quoted for SQL, once it is known to exist and to be
// unable to act as the owner of the tables, the schema or the database,
// which could drop them; empty when there is none.
QByteArray ruoloDelleCasse(PGconn *c, const QString &ruolo)
{
    if (ruolo.isEmpty())
        return {};
    const QString nome = QStringLiteral("«%1»").arg(ruolo);
    if (ruolo.toUtf8().size() > 63)
        throw Guasto{QStringLiteral("il nome del ruolo delle casse %1 è troppo lungo: al massimo 63 byte.").arg(nome)};
    RisultatoPg r = esegui(c, QStringLiteral("SELECT r.rolsuper OR r.rolcreaterole, pg_has_role(r.oid, current_user,"
                                             " 'MEMBER') OR pg_has_role(r.oid, d.datdba, 'MEMBER')"
                                             " OR pg_has_role(r.oid, n.nspowner, 'MEMBER')"
                                             " FROM pg_roles r, pg_database d, pg_namespace n WHERE r.rolname = $1"
                                             " AND d.datname = current_database() AND n.nspname = current_schema()"),
                           {ruolo});
    if (PQntuples(r.get()) == 0)
        throw Guasto{QStringLiteral("il ruolo delle casse %1 non esiste sul server: va creato prima "
                                    "(createuser --pwprompt).").arg(nome)};
    if (qstrcmp(PQgetvalue(r.get(), 0, 0), "t") == 0)
        throw Guasto{QStringLiteral("il ruolo delle casse %1 è un superutente o può creare ruoli: con esso una "
                                    "cassa potrebbe cancellare le tabelle.").arg(nome)};
    if (qstrcmp(PQgetvalue(r.get(), 0, 1), "t") == 0)
        throw Guasto{QStringLiteral("il ruolo delle casse %1 ha i diritti del proprietario delle tabelle, dello "
                                    "schema o del database: con esso una cassa potrebbe cancellare le tabelle. "
                                    "Le casse usano un ruolo a parte.").arg(nome)};
    const QByteArray utf8 = ruolo.toUtf8();
    std::unique_ptr<char, decltype(&PQfreemem)> quotato(PQescapeIdentifier(c, utf8.constData(), size_t(utf8.size())),
                                                        &PQfreemem);
    if (!quotato)
        throw Guasto{testoPg(c)};
    return QByteArray(quotato.get());
}

// Last in the transaction that builds the shop, so that every object is
// there: the database frees the rows a counter holds once it has been
// silent inside a transaction for 5 s (a counter never waits on the
// shopkeeper there), and the counters' role gets what a counter does with
// the schema's tables, sequences and functions, and nothing more; so it
// does with those the owner adds later, upgrading the schema.
void ultimiPassi(PGconn *c, const QByteArray &ruolo)
{
    esegui(c, QStringLiteral("DO $$BEGIN EXECUTE format('ALTER DATABASE %I SET idle_in_transaction_session_timeout"
                             " = %L', current_database(), '5s'); END$$"));
    if (ruolo.isEmpty())
        return;
    const QString schema = testo(c, QStringLiteral("SELECT quote_ident(current_schema())"));
    const QString casse = QString::fromUtf8(ruolo);
    // The extension's functions belong to whoever installed it: for those
    // the server only warns that it changed nothing.
    esegui(c, QStringLiteral("SET LOCAL client_min_messages = error"));
    esegui(c, QStringLiteral("REVOKE EXECUTE ON ALL ROUTINES IN SCHEMA %1 FROM PUBLIC").arg(schema));
    esegui(c, QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(schema, casse));
    // Functions are everyone's by a default that only the database-wide
    // setting takes back.
    esegui(c, QStringLiteral("ALTER DEFAULT PRIVILEGES REVOKE EXECUTE ON ROUTINES FROM PUBLIC"));
    for (const auto &[permesso, oggetti] : {std::pair{"SELECT, INSERT, UPDATE, DELETE", "TABLES"},
                                            {"USAGE", "SEQUENCES"}, {"EXECUTE", "ROUTINES"}}) {
        const QString quali = QString::fromLatin1(permesso), cosa = QString::fromLatin1(oggetti);
        esegui(c, QStringLiteral("GRANT %1 ON ALL %2 IN SCHEMA %3 TO %4").arg(quali, cosa, schema, casse));
        esegui(c, QStringLiteral("ALTER DEFAULT PRIVILEGES IN SCHEMA %3 GRANT %1 ON %2 TO %4")
                      .arg(quali, cosa, schema, casse));
    }
}

void postazioneSulServer(PGconn *c)
{
    esegui(c, QStringLiteral("SELECT set_config('vorendi.postazione', $1, false)"), {postazione()});
}

// A value of the file as COPY's text format writes it.
QByteArray valoreCopia(sqlite3_stmt *riga, int colonna)
{
    switch (sqlite3_column_type(riga, colonna)) {
    case SQLITE_NULL:
        return QByteArrayLiteral("\\N");
    case SQLITE_INTEGER:
        return QByteArray::number(sqlite3_column_int64(riga, colonna));
    case SQLITE_FLOAT:
        // A real in a whole-number column is refused by the server.
        return QByteArray::number(sqlite3_column_double(riga, colonna), 'g', 17);
    default: {
        const auto *testo = reinterpret_cast<const char *>(sqlite3_column_text(riga, colonna));
        QByteArray uscita;
        for (const char *p = testo; p && *p; ++p) {
            switch (*p) {
            case '\\': uscita += "\\\\"; break;
            case '\t': uscita += "\\t"; break;
            case '\n': uscita += "\\n"; break;
            case '\r': uscita += "\\r"; break;
            default: uscita += *p;
            }
        }
        return uscita;
    }
    }
}

QString quante(qint64 righe, const Tabella &t)
{
    return QStringLiteral("%1 %2").arg(formatoNumero(righe, MODELLO_TOTALE),
                                       QString::fromUtf8(righe == 1 ? t.una : t.molte));
}

void copiaTabella(sqlite3 *file, PGconn *c, const Tabella &t)
{
    sqlite3_stmt *grezza = nullptr;
    const QByteArray colonne = elencoColonne(t).toUtf8();
    const QByteArray lettura = "SELECT " + colonne + " FROM " + doveSta(Dialetto::delFile(), t).toUtf8();
    if (sqlite3_prepare_v2(file, lettura.constData(), -1, &grezza, nullptr) != SQLITE_OK)
        throw Guasto{QStringLiteral("il file non si legge: %1").arg(QString::fromUtf8(sqlite3_errmsg(file)))};
    std::unique_ptr<sqlite3_stmt, ChiudiFile> riga(grezza);
    const int quante = sqlite3_column_count(grezza);

    RisultatoPg inizio(PQexec(c, ("COPY " + doveSta(Dialetto::delServer(), t).toUtf8() + " (" + colonne
                                  + ") FROM STDIN")
                                     .constData()));
    if (PQresultStatus(inizio.get()) != PGRES_COPY_IN)
        throw Guasto{testoPg(c)};
    QByteArray blocco;
    auto invia = [&] {
        if (PQputCopyData(c, blocco.constData(), int(blocco.size())) != 1)
            throw Guasto{testoPg(c)};
        blocco.clear();
    };
    int esito = SQLITE_ROW;
    while ((esito = sqlite3_step(grezza)) == SQLITE_ROW) {
        for (int i = 0; i < quante; ++i) {
            if (i > 0)
                blocco += '\t';
            blocco += valoreCopia(grezza, i);
        }
        blocco += '\n';
        if (blocco.size() > (1 << 20))
            invia();
    }
    if (esito != SQLITE_DONE) {
        PQputCopyEnd(c, "file illeggibile");
        throw Guasto{QStringLiteral("il file non si legge: %1").arg(QString::fromUtf8(sqlite3_errmsg(file)))};
    }
    if (!blocco.isEmpty())
        invia();
    if (PQputCopyEnd(c, nullptr) != 1)
        throw Guasto{testoPg(c)};
    RisultatoPg fine(PQgetResult(c));
    if (PQresultStatus(fine.get()) != PGRES_COMMAND_OK)
        throw Guasto{testoPg(c)};
    while (RisultatoPg(PQgetResult(c)))
        ;
}

struct Cifratura
{
    std::atomic<int> stato{-1}; // -1 unknown, 0 plain, 1 encrypted
    std::mutex avvisoInUso;
    AvvisoCifratura avviso;
};

Cifratura &cifratura()
{
    static Cifratura c;
    return c;
}

qint64 numeroDelFile(sqlite3 *file, const QByteArray &sql)
{
    sqlite3_stmt *grezza = nullptr;
    if (sqlite3_prepare_v2(file, sql.constData(), -1, &grezza, nullptr) != SQLITE_OK)
        throw Guasto{QStringLiteral("il file non si legge: %1").arg(QString::fromUtf8(sqlite3_errmsg(file)))};
    std::unique_ptr<sqlite3_stmt, ChiudiFile> riga(grezza);
    if (sqlite3_step(grezza) != SQLITE_ROW)
        return 0;
    return sqlite3_column_int64(grezza, 0);
}

} // namespace

QString server()
{
    return configurazione().server;
}

bool suServer()
{
    return !server().isEmpty();
}

bool connessioneValida(const QString &connessione, QString *errore)
{
    char *motivo = nullptr;
    PQconninfoOption *opzioni = PQconninfoParse(connessione.toUtf8().constData(), &motivo);
    if (!opzioni) {
        if (errore)
            *errore = QStringLiteral("La stringa di collegamento al server non è valida: %1")
                          .arg(motivo ? QString::fromUtf8(motivo).trimmed() : QStringLiteral("memoria esaurita"));
        PQfreemem(motivo);
        return false;
    }
    PQconninfoFree(opzioni);
    return true;
}

QString descrizioneServer(const QString &connessione)
{
    QString host, porta, database, utente;
    PQconninfoOption *opzioni = PQconninfoParse(connessione.toUtf8().constData(), nullptr);
    if (!opzioni)
        return QStringLiteral("(stringa di collegamento non valida)");
    for (PQconninfoOption *o = opzioni; o->keyword; ++o) {
        if (!o->val)
            continue;
        const QString valore = QString::fromUtf8(o->val);
        if (qstrcmp(o->keyword, "host") == 0 || (qstrcmp(o->keyword, "hostaddr") == 0 && host.isEmpty()))
            host = valore;
        else if (qstrcmp(o->keyword, "port") == 0)
            porta = valore;
        else if (qstrcmp(o->keyword, "dbname") == 0)
            database = valore;
        else if (qstrcmp(o->keyword, "user") == 0)
            utente = valore;
    }
    PQconninfoFree(opzioni);
    if (database.isEmpty())
        database = utente;
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    if (!porta.isEmpty())
        host += u':' + porta;
    return database.isEmpty() ? host : QStringLiteral("%1 su %2").arg(database, host);
}

QString postazione()
{
    return configurazione().postazione;
}

void registraCifratura(bool cifrato)
{
    Cifratura &c = cifratura();
    c.stato.store(cifrato ? 1 : 0);
    // Under the lock, so that an avviso replaced has returned once
    // installaAvvisoCifratura has.
    const std::lock_guard blocco(c.avvisoInUso);
    if (c.avviso)
        c.avviso(cifrato);
}

std::optional<bool> collegamentoCifrato()
{
    const int stato = cifratura().stato.load();
    return stato < 0 ? std::nullopt : std::optional<bool>(stato == 1);
}

AvvisoCifratura installaAvvisoCifratura(AvvisoCifratura avviso)
{
    Cifratura &c = cifratura();
    const std::lock_guard blocco(c.avvisoInUso);
    std::swap(c.avviso, avviso);
    return avviso;
}

bool creaDatabaseServer(const QString &connessione, QString *errore, const QString &ruoloCasse)
{
    try {
        ConnessionePg c = collega(connessione);
        vuoto(c.get());
        proprietarioDelDatabase(c.get());
        const QByteArray ruolo = ruoloDelleCasse(c.get(), ruoloCasse);
        esegui(c.get(), QStringLiteral("BEGIN"));
        for (const QString &istruzione : istruzioniSchema(Dialetto::delServer()))
            esegui(c.get(), istruzione);
        ultimiPassi(c.get(), ruolo);
        esegui(c.get(), QStringLiteral("COMMIT"));
        return true;
    } catch (const Guasto &g) {
        if (errore)
            *errore = QStringLiteral("Impossibile creare il database %1: %2").arg(descrizioneServer(connessione), g.motivo);
        return false;
    }
}

EsitoMigrazione migraSuServer(const QString &file, const QString &connessione, const QString &ruoloCasse)
{
    const QString dove = descrizioneServer(connessione);
    sqlite3 *grezzo = nullptr;
    const int aperto = sqlite3_open_v2(QFile::encodeName(file).constData(), &grezzo, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, ChiudiFile> db(grezzo);
    if (aperto != SQLITE_OK)
        return {false, QStringLiteral("Il file %1 non si può aprire: %2")
                           .arg(file, QString::fromUtf8(sqlite3_errstr(aperto)))};
    try {
        // The file is read in one transaction, so that a program still
        // selling on it cannot make the copy half old, half new.
        if (sqlite3_exec(grezzo, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw Guasto{QString::fromUtf8(sqlite3_errmsg(grezzo))};
        // A file a newer program wrote may hold what this one cannot copy.
        if (numeroDelFile(grezzo, "PRAGMA user_version") > VERSIONE_SCHEMA)
            throw Guasto{QStringLiteral("il file è stato scritto da una versione più recente di Vorendi.")};
        ConnessionePg c = collega(connessione);
        vuoto(c.get());
        proprietarioDelDatabase(c.get());
        const QByteArray ruolo = ruoloDelleCasse(c.get(), ruoloCasse);
        postazioneSulServer(c.get());
        esegui(c.get(), QStringLiteral("BEGIN"));
        // Indexes are built once the rows are in: much faster than row by row.
        for (const QString &istruzione : istruzioniSchema(Dialetto::delServer(), false))
            esegui(c.get(), istruzione);
        esegui(c.get(), QStringLiteral("DELETE FROM \"generalità\""));
        for (const Tabella &t : tabelle())
            copiaTabella(grezzo, c.get(), t);
        for (const QString &istruzione : istruzioniIndici(Dialetto::delServer()))
            esegui(c.get(), istruzione);
        // The file's counters go on from the highest number ever given,
        // deleted rows included.
        for (const auto &[tabella, colonna] : {std::pair{"tipo", "id"}, {"prodotto", "id"}, {"ricevuta", "codice"}}) {
            const qint64 dato = qMax(
                numeroDelFile(grezzo, QByteArray("SELECT max(") + colonna + ") FROM " + tabella),
                numeroDelFile(grezzo, QByteArray("SELECT seq FROM sqlite_sequence WHERE name = '") + tabella + "'"));
            if (dato > 0)
                esegui(c.get(), QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), %3)")
                                    .arg(QLatin1String(tabella), QLatin1String(colonna))
                                    .arg(dato));
        }
        // Both sides must hold the same rows, whole.
        QStringList copiati;
        for (const Tabella &t : tabelle()) {
            const qint64 nelFile = numeroDelFile(grezzo, "SELECT count(*) FROM " + doveSta(Dialetto::delFile(), t).toUtf8());
            const qint64 sulServer = numero(c.get(), QStringLiteral("SELECT count(*) FROM %1").arg(doveSta(Dialetto::delServer(), t)));
            if (nelFile != sulServer)
                throw Guasto{QStringLiteral("nel file %1, sul server %2.")
                                 .arg(quante(nelFile, t), QString::number(sulServer))};
            copiati.append(quante(nelFile, t));
        }
        for (const char *somma : {"SELECT sum(pezzi) FROM rimanenze", "SELECT sum(pezzi) FROM prodotto",
                                  "SELECT sum(totale) FROM ricevuta"}) {
            if (numeroDelFile(grezzo, somma) != numero(c.get(), QString::fromLatin1(somma)))
                throw Guasto{QStringLiteral("le somme non coincidono (%1).").arg(QString::fromLatin1(somma))};
        }
        ultimiPassi(c.get(), ruolo);
        esegui(c.get(), QStringLiteral("COMMIT"));
        return {true, QStringLiteral("Copiati nel database %1: %2.").arg(dove, copiati.join(QStringLiteral(", ")))};
    } catch (const Guasto &g) {
        // Closing the connection rolls the whole copy back.
        return {false, QStringLiteral("Il file %1 non è stato copiato nel database %2: %3\nNel database non è stato "
                                      "scritto nulla.")
                           .arg(file, dove, g.motivo)};
    }
}
