#include "data/database_routines.h"
#include "data/configurazione.h"
#include "data/schema.h"
#include "data/server.h"
#include "support/banco_dati.h"
#include "support/server_prova.h"
#include "bench/proxy.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <memory>
#include <thread>

using Righe = QList<QVariantList>;

namespace {

const QString TITOLARE = "titolare", CASSA = "cassa \"1\"", COMMESSO = "commesso";

// What the server answers to each statement, as the role named: its
// SQLSTATE, or "" where it is done.
QStringList stati(const QString &connessione, const QStringList &istruzioni)
{
    QStringList risposte;
    {
        const QSqlDatabase db = apriDiretto("ruolo", connessione);
        for (const QString &sql : istruzioni)
            risposte << interrogaDiretto(db, sql).nativeErrorCode();
    }
    QSqlDatabase::removeDatabase("ruolo");
    return risposte;
}

} // namespace

// What only the server has: the copy of a shop file, the counters' role,
// TLS, several counters at once, a connection cut under a sale.
class TestServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(serverDiProva(), "these tests run on a private server: VORENDI_PROVA_SERVER=1 starts it (ctest sets it)");
        for (const QString &ruolo : {TITOLARE, CASSA, COMMESSO})
            serverDiProva()->nuovoRuolo(ruolo);
    }

    // The tables built or copied by their owner (the database's); the
    // counters' role sells, and may neither change nor drop a table. A
    // missing role, one that could act as the owner, or a builder who does
    // not own the database: a message, and nothing on the server.
    void ruoli_data()
    {
        QTest::addColumn<QString>("utente");
        QTest::addColumn<QString>("casse");
        QTest::addColumn<bool>("dalFile");
        QTest::addColumn<QString>("errore");
        QTest::newRow("nuovo") << TITOLARE << CASSA << false << "";
        QTest::newRow("dal file") << TITOLARE << CASSA << true << "";
        QTest::newRow("ruolo mancante") << TITOLARE << "cassa 2" << false
                                        << "il ruolo delle casse «cassa 2» non esiste sul server";
        QTest::newRow("ruolo del titolare") << TITOLARE << TITOLARE << true
                                            << "il ruolo delle casse «titolare» ha i diritti del proprietario";
        QTest::newRow("superutente") << TITOLARE << "vorendi_prove" << false
                                     << "il ruolo delle casse «vorendi_prove» è un superutente";
        QTest::newRow("non proprietario") << COMMESSO << CASSA << false
                                          << "l'utente commesso non è il proprietario del database";
    }

    void ruoli()
    {
        QFETCH(QString, utente);
        QFETCH(QString, casse);
        QFETCH(bool, dalFile);
        QFETCH(QString, errore);
        BancoDati b(BancoDati::SenzaFile);
        ServerProva &prove = *serverDiProva();
        const QString db = prove.nuovoDatabase(TITOLARE);
        EsitoMigrazione esito;
        if (const QString file = QDir(b.cartella()).filePath("Negozio.mdb"); dalFile)
            esito = creaDatabase(file) ? migraSuServer(file, prove.connessione(db, utente), casse) : esito;
        else
            esito.riuscita = creaDatabaseServer(prove.connessione(db, utente), &esito.messaggio, casse);
        QVERIFY2(esito.riuscita == errore.isEmpty() && esito.messaggio.contains(errore), qPrintable(esito.messaggio));
        const Righe impostate = prove.righe(db, "SELECT array_to_string(setconfig, ',') FROM pg_db_role_setting"
                                                " JOIN pg_database d ON d.oid = setdatabase"
                                                " WHERE datname = current_database()");
        if (!errore.isEmpty()) {
            QCOMPARE(prove.righe(db, "SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = relnamespace"
                                     " WHERE nspname = 'public'"),
                     Righe({{0}}));
            QCOMPARE(impostate, Righe());
            return;
        }
        QCOMPARE(impostate, Righe({{"idle_in_transaction_session_timeout=5s"}}));

        // A counter's day, as the counters' role.
        impostaConfigurazione({.server = prove.connessione(db, casse)});
        QVERIFY(AggiungiTipo("Viti") && AggiungiTipo("Dadi"));
        QVERIFY(RegistraProdotto("Viti", "V-1", 900, 1500, 5, OPERAZIONE_ACQUISTO, QDate(2026, 1, 2)));
        QCOMPARE(AggiungiCarrello("V-1", 2), EsitoCarrello::Aggiunto);
        const EsitoVendita vendita = RegistraVendita({{.idTipo = 1, .codice = "V-1", .prezzo = 1500, .pezzi = 2}});
        QCOMPARE(vendita.stato, EsitoVendita::Stato::Registrata);
        QCOMPARE(CancellaTipo(2).stato, EsitoCancellaTipo::Stato::Cancellato);
        QVERIFY2(b.rapporti.isEmpty(), qPrintable(b.rapporti.value(0).testo()));
        QCOMPARE(prove.righe(db, "SELECT pezzi FROM rimanenze"), Righe({{3}}));

        // What the owner adds later, upgrading the schema, is the counters' too.
        QCOMPARE(stati(prove.connessione(db, utente), {"CREATE TABLE nuova (n BIGINT GENERATED BY DEFAULT AS IDENTITY)",
                                                       "CREATE FUNCTION uno() RETURNS INTEGER AS 'SELECT 1' LANGUAGE sql"}),
                 QStringList({"", ""}));
        QCOMPARE(stati(prove.connessione(db, COMMESSO), {"SELECT uno()"}), QStringList({"42501"}));
        QCOMPARE(stati(prove.connessione(db, casse),
                       {"SHOW idle_in_transaction_session_timeout", "INSERT INTO nuova DEFAULT VALUES",
                        "SELECT uno()", "DROP TABLE prodotto",
                        "ALTER TABLE prodotto ADD COLUMN nota TEXT", "TRUNCATE ricevuta", "DROP VIEW carrello",
                        "CREATE TABLE altra (a INTEGER)", "ALTER DATABASE " + db + " RESET ALL"}),
                 QStringList({"", "", "", "42501", "42501", "42501", "42501", "42501", "42501"}));
    }

    // A server that offers TLS: the link is encrypted when the string asks
    // for it, the server checked against its certificate as the counters
    // do, and plain when the string refuses it.
    void cifratura_data()
    {
        QTest::addColumn<QString>("modo");
        QTest::addColumn<bool>("cifrato");
        QTest::newRow("verify-full") << "sslmode=verify-full sslrootcert='%1'" << true;
        QTest::newRow("disable") << "sslmode=disable" << false;
    }

    void cifratura()
    {
        QFETCH(QString, modo);
        QFETCH(bool, cifrato);
        BancoDati b;
        impostaConfigurazione(
            {.server = b.connessione(true).replace("sslmode=disable", modo.replace("%1", serverDiProva()->certificato()))});
        QVERIFY(AggiungiTipo("Viti"));
        QCOMPARE(collegamentoCifrato(), std::optional<bool>(cifrato));
        QCOMPARE(b.righe("SELECT bool_or(ssl) FROM pg_stat_ssl JOIN pg_stat_activity USING (pid)"
                         " WHERE application_name = 'Vorendi' AND datname = current_database()"),
                 Righe({{cifrato}}));
    }

    // Every row and counter of the file, in one transaction; a database that
    // is not empty, or a file the server cannot take whole, gets nothing.
    void migrazione()
    {
        BancoDati b;
        ServerProva &prove = *serverDiProva();
        const QString file = QDir(b.cartella()).filePath("Negozio.mdb");
        QVERIFY(creaDatabase(file));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "file");
            db.setDatabaseName(file);
            QVERIFY(db.open());
            for (const char *sql : {
                     "UPDATE \"generalità\" SET nome = 'Ferramenta', info1 = 'Via Po 3'",
                     "INSERT INTO tipo (codice) VALUES ('Viti'), ('Dadi'), ('bulloni'), ('Chiodi')",
                     "DELETE FROM tipo WHERE codice = 'Chiodi'",
                     "INSERT INTO rimanenze VALUES ('V-1', 1, 5, 1500), ('d\\t\"2', 2, -1, 30)",
                     "INSERT INTO prodotto VALUES (7, 1, 'V-1', 1500, 900, 5, 1, '2024-03-05')",
                     "INSERT INTO carrello VALUES ('V-1', 1, 1500, 2, 3000)",
                     "INSERT INTO ricevuta VALUES (41, '2024-03-06', 3000)"})
                QVERIFY2(db.exec(sql).isActive(), sql);
        }
        QSqlDatabase::removeDatabase("file");

        const QString vuoto = prove.nuovoDatabase();
        impostaConfigurazione({.server = prove.connessione(vuoto)});
        const EsitoMigrazione esito = migraSuServer(file, server());
        QVERIFY2(esito.riuscita, qPrintable(esito.messaggio));
        QCOMPARE(esito.messaggio.section(": ", 1),
                 "3 tipi, 2 articoli in magazzino, 1 movimento, 1 riga di carrello, 1 ricevuta,"
                 " 1 riga dei dati dell'azienda.");
        // Codes without regard to case, numbers going on after the highest
        // ever given, this counter's cart, the company.
        QCOMPARE(CaricaTipi(), QStringList({"bulloni", "Dadi", "Viti"}));
        QVERIFY(AggiungiTipo("Chiodi") && AggiungiRicevuta(10));
        QCOMPARE(IdTipo("CHIODI"), 5);
        QCOMPARE(UltimaRicevuta(), 42);
        const QList<RigaCarrello> carrello = VisualizzaCarrello().value();
        QVERIFY(carrello.size() == 1 && carrello[0].codice == "V-1");
        QCOMPARE(VisualizzaRimanenze(2)->value(0).codice, "d\\t\"2");
        QCOMPARE(LeggiGeneralita()->nome, "Ferramenta");
        QVERIFY(RegistraProdotto("Viti", "v-1", 900, 1500, 1, OPERAZIONE_ACQUISTO, QDate(2024, 4, 1)));
        QCOMPARE(prove.righe(vuoto, "SELECT max(id), sum(pezzi) FROM prodotto"), Righe({{8, 6}}));

        // Not empty now: refused, nothing added.
        const EsitoMigrazione ancora = migraSuServer(file, server());
        QVERIFY(!ancora.riuscita && ancora.messaggio.contains("solo un database vuoto"));
        QCOMPARE(prove.righe(vuoto, "SELECT count(*) FROM tipo"), Righe({{4}}));

        // A real among the prices: the server refuses it, no table is left.
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "file");
        db.setDatabaseName(file);
        QVERIFY(db.open() && db.exec("UPDATE prodotto SET prezzovendita = 2.5").isActive());
        db = {};
        QSqlDatabase::removeDatabase("file");
        const QString altro = prove.nuovoDatabase();
        const EsitoMigrazione rifiutata = migraSuServer(file, prove.connessione(altro));
        QVERIFY(!rifiutata.riuscita && rifiutata.messaggio.contains("non è stato scritto nulla"));
        QCOMPARE(prove.righe(altro, "SELECT count(*) FROM information_schema.tables WHERE table_schema = 'public'"),
                 Righe({{0}}));
        QVERIFY(b.rapporti.isEmpty());
    }

    // Four counters buying and selling the same six articles at once: stock
    // is the sum of its movements, receipt numbers are never shared, each
    // receipt holds what its sale sold.
    void casse()
    {
        BancoDati b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Prova')");
        constexpr int PASSI = 200;
        const quint32 seme = semeDiProva();
        std::vector<std::unique_ptr<ProcessoProva>> casse;
        for (quint32 i = 0; i < 4; ++i)
            casse.push_back(std::make_unique<ProcessoProva>(QStringList{
                "cassa", b.connessione(), QStringLiteral("cassa %1").arg(i), QString::number(PASSI),
                QString::number(seme + i)}));
        QList<qint64> numeri;
        qint64 venduto = 0;
        int acquisti = 0, fallite = 0;
        QHash<qint64, qint64> totali;
        for (auto &c : casse) {
            QVERIFY(c->finisci());
            const QStringList righe = c->righe();
            QCOMPARE(righe.last(), "fine");
            for (const QString &riga : righe) {
                const QStringList parti = riga.split(' ');
                if (parti[0] == "ricevuta") {
                    numeri << parti[1].toLongLong();
                    totali.insert(parti[1].toLongLong(), parti[3].toLongLong());
                    venduto += parti[3].toLongLong();
                }
                acquisti += parti[0] == "acquisto";
                fallite += parti[0] == "fallita";
            }
        }
        qInfo("vendite %lld, acquisti %d, passi non registrati %d", qint64(numeri.size()), acquisti, fallite);
        QCOMPARE(QSet<qint64>(numeri.begin(), numeri.end()).size(), numeri.size());
        // Nothing lost: a step that met another counter's is run again.
        QCOMPARE(fallite, 0);
        QCOMPARE(b.righe("SELECT count(*) FROM prodotto WHERE operazione = 1"), Righe({{acquisti}}));
        QCOMPARE(b.righe("SELECT count(*), sum(totale) FROM ricevuta"), Righe({{numeri.size(), venduto}}));
        for (const QVariantList &r : b.righe("SELECT codice, totale FROM ricevuta"))
            QCOMPARE(r[1].toLongLong(), totali.value(r[0].toLongLong(), -1));
        QCOMPARE(b.righe("SELECT sum(-prezzovendita * pezzi) FROM prodotto WHERE operazione = 2"), Righe({{venduto}}));
        QCOMPARE(b.righe("SELECT r.codice FROM rimanenze r WHERE r.pezzi <>"
                         " (SELECT sum(p.pezzi) FROM prodotto p WHERE p.codice = r.codice)"),
                 Righe());
        QCOMPARE(b.righe("SELECT count(*) FROM carrelli"), Righe({{0}}));
    }

    // Two counters buying the same new article at once: the second waits
    // for the first's row, meets it when the first commits, and is run
    // again as an addition to it.
    void stessoArticoloNuovo()
    {
        BancoDati b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti')");
        QSqlDatabase altro = b.altraConnessione("altro");
        QVERIFY(altro.exec("BEGIN").isActive() && altro.exec("INSERT INTO rimanenze VALUES ('N-1', 1, 4, 100)").isActive());
        impostaConfigurazione({.server = b.connessione(), .attesaFileBloccato = std::chrono::minutes(1),
                               .limiteRete = std::chrono::minutes(1)});
        bool fatto = false;
        std::thread cassa([&] { fatto = RegistraProdotto("Viti", "n-1", 50, 120, 3, OPERAZIONE_ACQUISTO, QDate(2026, 1, 2)); });
        QTRY_VERIFY_WITH_TIMEOUT(!b.righe("SELECT 1 FROM pg_stat_activity WHERE application_name = 'Vorendi'"
                                          " AND wait_event_type = 'Lock'").isEmpty(), 60000);
        QVERIFY(altro.exec("COMMIT").isActive());
        cassa.join();
        altro = {};
        QSqlDatabase::removeDatabase("altro");
        QVERIFY2(fatto, qPrintable(b.rapporti.value(0).testo()));
        QCOMPARE(b.righe("SELECT * FROM rimanenze"), Righe({{"N-1", 1, 7, 120}}));
    }

    // This thread's connection, dropped by the server while idle, is
    // opened again before anything is sent. (A sale cut in the middle is
    // one statement on the server: all of it or none.)
    void interruzione()
    {
        BancoDati b;
        QVERIFY(AggiungiTipo("Uno"));
        b.esegui("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = 'Vorendi'");
        QTRY_VERIFY_WITH_TIMEOUT(b.righe("SELECT 1 FROM pg_stat_activity WHERE application_name = 'Vorendi'").isEmpty(),
                                 60000);
        QVERIFY(AggiungiTipo("Due"));
        QCOMPARE(CaricaTipi(), QStringList({"Due", "Uno"}));
        QCOMPARE(b.rapporti.size(), 0);
    }
    // Through a link that goes silent or loses what it carries: the counter
    // is told within its bound and another counter goes on; a sale sent is
    // found by its key, never made twice, and one never received is told so.
    void rete_data()
    {
        QTest::addColumn<QString>("guasto");
        QTest::newRow("silenzio") << "silenzio";
        QTest::newRow("risposta persa") << "risposta";
        QTest::newRow("richiesta persa") << "richiesta";
    }

    void rete()
    {
        QFETCH(QString, guasto);
        BancoDati b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti')");
        b.esegui("INSERT INTO rimanenze VALUES ('A-1', 1, 10, 100), ('A-2', 1, 10, 250)");
        b.esegui("INSERT INTO carrello VALUES ('A-1', 1, 100, 2, 200), ('A-2', 1, 250, 1, 250)");
        const QList<RigaVendita> vendita{{.idTipo = 1, .codice = "A-1", .prezzo = 100, .pezzi = 2},
                                         {.idTipo = 1, .codice = "A-2", .prezzo = 250, .pezzi = 1}};
        // A counter that went silent holding rows is let go by the server,
        // later than it gave up itself: another counter waits for the rows.
        const QString database = b.database();
        b.esegui(QStringLiteral("ALTER DATABASE %1 SET idle_in_transaction_session_timeout = '3s'").arg(database));
        Proxy proxy("127.0.0.1", quint16(serverDiProva()->porta()));
        QVERIFY2(proxy.valido(), qPrintable(proxy.errore()));
        Configurazione c = configurazione();
        const QString diretto = c.server;
        c.server = diretto + QStringLiteral(" host=127.0.0.1 port=%1").arg(proxy.porta());
        impostaConfigurazione(c);
        QVERIFY(CaricaTipi()); // this counter's connection, open through the link
        const QByteArray prima = b.byte();
        if (guasto == "silenzio") {
            // The link goes silent with the stock row changed and the
            // commit still to come.
            QSqlDatabase altro = b.altraConnessione("altro");
            QVERIFY(altro.exec("SELECT pg_advisory_lock(7)").isActive());
            b.esegui("CREATE FUNCTION attendi() RETURNS trigger LANGUAGE plpgsql AS"
                     " 'BEGIN PERFORM pg_advisory_xact_lock_shared(7); RETURN NULL; END';"
                     " CREATE TRIGGER attendi AFTER UPDATE ON rimanenze FOR EACH ROW EXECUTE FUNCTION attendi()");
            bool fatto = true;
            std::thread cassa([&] { fatto = RegistraProdotto("Viti", "A-1", 50, 100, 5, OPERAZIONE_ACQUISTO, QDate(2026, 1, 2)); });
            QTRY_VERIFY_WITH_TIMEOUT(!b.righe("SELECT 1 FROM pg_stat_activity WHERE application_name = 'Vorendi'"
                                              " AND wait_event_type = 'Lock'").isEmpty(), 60000);
            proxy.silenzio(true);
            QVERIFY(altro.exec("SELECT pg_advisory_unlock(7)").isActive());
            cassa.join();
            altro = {};
            QSqlDatabase::removeDatabase("altro");
            QVERIFY(!fatto);
            QCOMPARE(b.rapporti.size(), 1);
            QCOMPARE(b.rapporti[0].testo().section(' ', 0, 7), "Si è verificato in zona 4:\nErrore n. 08006");
            QVERIFY(b.rapporti[0].descrizione.startsWith("Il collegamento con il server"));
            // Another counter buys the same article once the server has let
            // the silent one go.
            c.server = diretto;
            impostaConfigurazione(c);
            QVERIFY(RegistraProdotto("Viti", "A-1", 50, 100, 3, OPERAZIONE_ACQUISTO, QDate(2026, 1, 2)));
            QCOMPARE(b.righe("SELECT pezzi FROM rimanenze WHERE codice = 'A-1'"), Righe({{13}}));
            QCOMPARE(b.rapporti.size(), 1);
            return;
        }
        proxy.taglia(guasto == "risposta" ? Proxy::Taglio::RispostaPersa : Proxy::Taglio::RichiestaPersa);
        EsitoVendita esito = RegistraVendita(vendita);
        if (guasto == "risposta") {
            QCOMPARE(int(esito.stato), int(EsitoVendita::Stato::Registrata));
            QCOMPARE(esito.numeroRicevuta, qint64(1));
            QCOMPARE(esito.totale, qint64(450));
            QCOMPARE(b.rapporti.size(), 0);
        } else {
            QCOMPARE(int(esito.stato), int(EsitoVendita::Stato::Errore));
            QCOMPARE(b.byte(), prima);
            QCOMPARE(b.rapporti.size(), 1);
            QCOMPARE(b.rapporti[0].testo(),
                     QStringLiteral("Si è verificato in zona 1:\nErrore n. 08006 Il collegamento con il server %1 su"
                                    " 127.0.0.1:%2 si è interrotto: la vendita non è stata registrata.")
                         .arg(database).arg(proxy.porta()));
            // Sold again, under a key of its own.
            esito = RegistraVendita(vendita);
            QCOMPARE(esito.numeroRicevuta, qint64(1));
        }
        QCOMPARE(b.righe("SELECT count(*), CAST(sum(totale) AS BIGINT) FROM ricevuta"), Righe({{1, 450}}));
        QCOMPARE(b.righe("SELECT codice, pezzi FROM rimanenze ORDER BY codice"), Righe({{"A-1", 8}, {"A-2", 9}}));
        QCOMPARE(b.valore("SELECT count(*) FROM carrello").toInt(), 0);
    }
};

QTEST_MAIN(TestServer)
#include "tst_server.moc"
