#include "common/formati.h"
#include "data/database_routines.h"
#include "support/banco_dati.h"
#include "support/server_prova.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>

#include <sqlite3.h>


using Righe = QList<QVariantList>;
using Numeri = QList<qint64>;

namespace {

// Every routine with ordinary arguments on the shop preparaNegozio writes:
// its zone, the table it needs and the zone reported without that table.
struct ComandoDiProva
{
    QString nome;
    int zona;
    QString tabella;
    int zonaTabella;
    std::function<bool()> esegui; // false when the routine failed
};

const QList<ComandoDiProva> &comandiDiProva()
{
    static const QDate oggi = QDate::currentDate();
    static const QList<ComandoDiProva> comandi = {
        // Without the stock table the movement, written first, must be taken back.
        {"RegistraProdotto", 1, "rimanenze", 4,
         [] { return RegistraProdotto("Prova", "ART-2", 50, 80, 3, OPERAZIONE_ACQUISTO, oggi); }},
        {"AggiungiTipo", 2, "tipo", 2, [] { return bool(AggiungiTipo("Nuovo")); }},
        {"CaricaTipi", 3, "tipo", 3, [] { return CaricaTipi().has_value(); }},
        {"AggiornaRimanenze", 4, "rimanenze", 4, [] { return AggiornaRimanenze("ART-1", 1, 5, 120); }},
        {"AggiungiCarrello", 5, "carrello", 5, [] { return AggiungiCarrello("ART-1", 1) == EsitoCarrello::Aggiunto; }},
        {"CancellaTipo", 6, "tipo", 6, [] { return CancellaTipo(2).stato == EsitoCancellaTipo::Stato::Cancellato; }},
        {"CodiceTipo", 7, "tipo", 7, [] { return CodiceTipo(1) == "Prova"; }},
        {"IdTipo", 8, "tipo", 8, [] { return IdTipo("Prova") == 1; }},
        {"VisualizzaCarrello", 9, "carrello", 9, [] { return VisualizzaCarrello().has_value(); }},
        {"CancellaCarrello", 10, "carrello", 10, [] { return CancellaCarrello("ART-3"); }},
        {"VisualizzaTipi", 11, "tipo", 11, [] { return VisualizzaTipi().has_value(); }},
        {"LeggiGeneralita", 12, "generalità", 12, [] { return LeggiGeneralita().has_value(); }},
        {"AggiungiRicevuta", 13, "ricevuta", 13, [] { return AggiungiRicevuta(700); }},
        {"VisualizzaRicevute", 14, "ricevuta", 14, [] { return VisualizzaRicevute().has_value(); }},
        {"CancellaRicevuta", 15, "ricevuta", 15, [] { return CancellaRicevuta(1); }},
        {"VisualizzaOperazioni", 16, "prodotto", 16,
         [] { return VisualizzaOperazioni(OPERAZIONE_ACQUISTO, "", {}, {}).completo; }},
        {"SalvaGeneralita", 17, "generalità", 17, [] { return SalvaGeneralita("N", "", "", "", ""); }},
        {"CalcolaStatistiche", 18, "prodotto", 18, [] { return CalcolaStatistiche(1, 2024).has_value(); }},
        {"SuggerimentiCodice", 19, "rimanenze", 19, [] { return SuggerimentiCodice(1, "A").has_value(); }},
        {"CancellaRimanenza", 20, "rimanenze", 20, [] { return CancellaRimanenza("ART-4"); }},
        {"AggiornaPrezzo", 21, "rimanenze", 21, [] { return AggiornaPrezzo("ART-1", 150); }},
        {"CancellaOperazione", 22, "prodotto", 22, [] { return CancellaOperazione(1); }},
        {"UltimaRicevuta", 23, "ricevuta", 23, [] { return UltimaRicevuta() == 1; }},
        {"VisualizzaRimanenze", 24, "rimanenze", 24, [] { return VisualizzaRimanenze(1).has_value(); }},
        // The receipt is the sale's last step: without its table the
        // movements and cart removals already made must be taken back.
        {"RegistraVendita", 1, "ricevuta", 13, [] {
             return RegistraVendita({{.idTipo = 1, .codice = "ART-1", .prezzo = 100, .pezzi = 2},
                                     {.idTipo = 1, .codice = "ART-3", .prezzo = 30, .pezzi = 1}}).stato
                 == EsitoVendita::Stato::Registrata;
         }},
    };
    return comandi;
}

void preparaNegozio(const BancoDati &b)
{
    b.esegui("UPDATE \"generalità\" SET nome='Negozio', info1='Via Roma 1'");
    b.esegui("INSERT INTO tipo (codice) VALUES ('Prova'), ('Vecchio')");
    b.esegui("INSERT INTO rimanenze VALUES ('ART-1', 1, 10, 100), ('ART-3', 1, 4, 30), ('ART-4', 1, 1, 40)");
    b.esegui("INSERT INTO carrello VALUES ('ART-1', 1, 100, 2, 200), ('ART-3', 1, 30, 1, 30)");
    b.esegui("INSERT INTO prodotto VALUES (1, 1, 'ART-1', 100, 60, 10, 1, '2024-03-05')");
    b.esegui("INSERT INTO ricevuta VALUES (1, '2024-03-06', 500)");
}

} // namespace

class TestData : public QObject
{
    Q_OBJECT

private slots:
    // Every routine on a sound shop, then with its file missing, not a
    // database, short of its table, or locked by another connection's write
    // (kept to three routines: each waits out the lock): one zone report,
    // nothing written; a routine never creates the file.
    void guasti_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("guasto");
        for (int i = 0; i < comandiDiProva().size(); ++i) {
            const QString nome = comandiDiProva()[i].nome;
            QStringList guasti{"nessuno", "mancante", "testo", "tabella"};
            // The server waits out a lock as long as a reply: one routine shows it.
            if (!serverDiProva() || nome == "RegistraVendita")
                guasti << (nome.startsWith("Registra") ? "IMMEDIATE" : nome == "VisualizzaTipi" ? "EXCLUSIVE" : "");
            for (const QString &guasto : guasti) {
                if (!guasto.isEmpty())
                    QTest::addRow("%s, %s", qPrintable(nome), qPrintable(guasto)) << i << guasto;
            }
        }
    }

    void guasti()
    {
        QFETCH(int, indice);
        QFETCH(QString, guasto);
        const ComandoDiProva &c = comandiDiProva().at(indice);
        BancoDati b;
        preparaNegozio(b);
        QSqlDatabase altro;
        if (guasto == "tabella")
            b.esegui(QString(b.server() && c.tabella == "carrello" ? "DROP VIEW \"%1\"" : "DROP TABLE \"%1\"")
                         .arg(c.tabella));
        else if (guasto == "mancante" || guasto == "testo")
            b.guasta(guasto == "mancante");
        else if (guasto != "nessuno")
            altro = b.altraConnessione("altro");
        const QByteArray prima = b.byte();
        // On the server another counter holds the stock against writers, or
        // the types against everyone.
        if (altro.isOpen() && b.server())
            QVERIFY(altro.exec("BEGIN").isActive()
                    && altro.exec(guasto == "IMMEDIATE" ? "LOCK TABLE prodotto IN EXCLUSIVE MODE"
                                                        : "LOCK TABLE tipo IN ACCESS EXCLUSIVE MODE").isActive());
        else if (altro.isOpen())
            QVERIFY(altro.exec("BEGIN " + guasto).isActive()
                    && altro.exec("INSERT INTO tipo (codice) VALUES ('altro')").isActive());
        QCOMPARE(c.esegui(), guasto == "nessuno");
        if (altro.isOpen())
            altro.exec("ROLLBACK");
        QVERIFY2(guasto == "nessuno" || b.byte() == prima, "a failed routine wrote to the shop");
        QCOMPARE(b.rapporti.size(), guasto == "nessuno" ? 0 : 1);
        if (altro.isOpen()) {
            altro.close();
            QVERIFY(c.esegui());
        }
        altro = {};
        QSqlDatabase::removeDatabase("altro");
        if (guasto == "nessuno")
            return;
        // In Italian, naming the file or the server; the engine's words in the detail.
        const RapportoZona r = b.rapporti[0];
        const QString numero = b.server() ? (guasto == "mancante" ? "28000" : guasto == "testo" ? "08001"
                                             : guasto == "tabella" ? "42P01" : "55P03")
                                          : (guasto == "mancante" ? "14" : guasto == "testo" ? "26"
                                             : guasto == "tabella" ? "1" : "5");
        QCOMPARE(r.testo().section(' ', 0, 7), QStringLiteral("Si è verificato in zona %1:\nErrore n. %2")
                                                   .arg(guasto == "tabella" ? c.zonaTabella : c.zona).arg(numero));
        const QString descrizione = b.server() ? (guasto == "mancante" ? "Il server %1 ha rifiutato l'accesso: controllare utente, password e nome del database."
                                                  : guasto == "testo"  ? "Il server %1 non risponde: è acceso e raggiungibile dalla rete?"
                                                  : guasto == "tabella" ? "Nel database %1 manca la tabella " + c.tabella + "."
                                                                        : "I dati sul server %1 sono bloccati da un'altra postazione.")
            : guasto == "mancante" ? "Il file %1 non c'è o non si può aprire."
            : guasto == "testo"    ? "Il file %1 non è un archivio di Vorendi."
            : guasto == "tabella"  ? "Nel file %1 manca la tabella " + c.tabella + "."
                                   : "Il file %1 è bloccato da un altro programma.";
        QCOMPARE(r.descrizione, descrizione.arg(!b.server() ? QDir::toNativeSeparators(b.percorso())
                                                : guasto == "testo" ? "127.0.0.1:1"
                                                : (guasto == "mancante" ? "non_esiste" : b.database()) + " su "
                                                      + serverDiProva()->cartella() + ':'
                                                      + QString::number(serverDiProva()->porta())));
        QVERIFY2(r.dettaglio.contains(b.server() ? (guasto == "tabella" ? "does not exist" : guasto == "mancante" ? "non_esiste"
                                                    : guasto == "testo" ? "refused" : "lock timeout")
                                      : guasto == "tabella" ? "no such table" : guasto == "mancante" ? "unable to open"
                                      : guasto == "testo" ? "not a database" : "locked"), qPrintable(r.dettaglio));
    }

    // A commit is durable: the rollback journal goes, then its folder reaches
    // the disk (EXTRA); an id beyond its 32 bits is no id.
    void cornice()
    {
        BancoDati b;
        static sqlite3_vfs *vero = sqlite3_vfs_find(nullptr);
        static sqlite3_vfs spia = *vero;
        static QStringList cancellati;
        spia.xDelete = [](sqlite3_vfs *, const char *nome, int sincronizza) {
            cancellati << QFileInfo(QString::fromUtf8(nome)).fileName() + (sincronizza ? " e la cartella" : "");
            return vero->xDelete(vero, nome, sincronizza);
        };
        sqlite3_vfs_register(&spia, 1);
        QVERIFY(AggiungiTipo("A"));
        sqlite3_vfs_unregister(&spia);
        QCOMPARE(cancellati, b.server() ? QStringList() : QStringList{"Vorendi.mdb-journal e la cartella"});
        b.esegui("INSERT INTO tipo (id, codice) VALUES (4294967296, 'Enorme')");
        QVERIFY(!IdTipo("Enorme"));
        QCOMPARE(b.zone(), QList<int>({8}));
    }

    // A shop written before the version existed is stamped by the first
    // routine; one written by a newer program is refused, nothing written.
    void versione()
    {
        // 0: a shop written before the version was kept, and before the
        // server's own functions; 3: a newer program's.
        for (const int versione : {0, 3}) {
            BancoDati b;
            b.esegui(!b.server() ? QString("PRAGMA user_version = %1").arg(versione)
                     : versione == 0 ? "DROP TABLE versione, vendite_chiavi; DROP FUNCTION vorendi_vendita,"
                                       " vorendi_esito_vendita, vorendi_carrello"
                                     : "UPDATE versione SET numero = 3");
            const QByteArray prima = b.byte();
            QCOMPARE(bool(AggiungiTipo("Viti")), versione == 0);
            QCOMPARE(b.valore(b.server() ? "SELECT max(numero) FROM versione" : "PRAGMA user_version").toInt(),
                     versione == 0 ? 2 : 3);
            QCOMPARE(b.byte() == prima, versione != 0);
            QCOMPARE(b.rapporti.isEmpty() ? QString() : b.rapporti[0].testo(), versione == 0 ? QString() :
                     QStringLiteral("Si è verificato in zona 2:\nErrore n. 17 %1 è stato scritto da una versione più"
                                    " recente di Vorendi.")
                         .arg(b.server() ? QStringLiteral("Il database %1 su %2:%3").arg(b.database(), serverDiProva()->cartella())
                                               .arg(serverDiProva()->porta())
                                         : "Il file " + QDir::toNativeSeparators(b.percorso())));
            if (b.server() && versione == 0)
                QCOMPARE(b.valore("SELECT count(*) FROM pg_proc WHERE proname LIKE 'vorendi\\_%'").toInt(), 3);
        }
    }

    // Code order without regard to case, equal codes by id; a type an article
    // in stock or in the cart carries is not deleted, movements do not hold it
    // back; a deleted type's id is never given again.
    void tipi()
    {
        BancoDati b;
        for (const char *codice : {"Viti", "bulloni", "Dell'Orto \"x\"", "chiodi"})
            QVERIFY(AggiungiTipo(codice));
        // An equal code is refused; one in an older file is kept and listed.
        QCOMPARE(AggiungiTipo("VITI").stato, EsitoAggiungiTipo::Stato::Esistente);
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti')");
        QCOMPARE(CaricaTipi(), QStringList({"bulloni", "chiodi", "Dell'Orto \"x\"", "Viti", "Viti"}));
        QList<Ricerca<qint32>> id{IdTipo("VITI"), IdTipo("dell'orto \"X\""), IdTipo("Vit")};
        for (const RigaTipo &r : VisualizzaTipi().value_or(QList<RigaTipo>()))
            id << r.id;
        QCOMPARE(id, QList<Ricerca<qint32>>({1, 3, std::optional<qint32>(), 2, 4, 3, 1, 5}));
        QCOMPARE(QList({CodiceTipo(2), CodiceTipo(9)}), QList<Ricerca<QString>>({"bulloni", std::optional<QString>()}));
        b.esegui("INSERT INTO prodotto VALUES (1, 5, 'B', 1, 1, 4, 1, '2026-01-02')");
        b.esegui("INSERT INTO rimanenze (codice, tipo) VALUES ('V1', 1), ('v2', 1), ('C1', 4)");
        b.esegui("INSERT INTO carrello VALUES ('v1', 1, 1, 1, 1), ('D', 3, 1, 1, 1)");
        QStringList esiti; // state (0 deleted, 1 in use) and articles holding the type back
        for (const qint32 tipo : {1, 3, 4, 5}) {
            const EsitoCancellaTipo e = CancellaTipo(tipo);
            esiti << QStringLiteral("%1:%2").arg(int(e.stato)).arg(e.articoli);
        }
        QCOMPARE(esiti, QStringList({"1:2", "1:1", "1:1", "0:0"}));
        QVERIFY(AggiungiTipo("Dadi"));
        QCOMPARE(IdTipo("Dadi"), 6);
        QVERIFY(b.rapporti.isEmpty());
    }

    void movimenti()
    {
        BancoDati b;
        QVERIFY(AggiungiTipo("Viti") && AggiungiTipo("Bulloni"));
        const QDate oggi(2024, 3, 14);
        QVERIFY(RegistraProdotto("Viti", "V'1", 800, 1500, 5, OPERAZIONE_ACQUISTO, oggi));
        // Same code whatever its case: pieces added, price and type replaced.
        QVERIFY(RegistraProdotto("BULLONI", "v'1", 900, 1800, 3, OPERAZIONE_ACQUISTO, oggi.addDays(1)));
        QCOMPARE(b.righe("SELECT * FROM rimanenze"), Righe({{"V'1", 2, 8, 1800}}));
        // A sale takes pieces only.
        QVERIFY(RegistraProdotto("Viti", "V'1", 0, 1500, -3, OPERAZIONE_VENDITA, oggi));
        QCOMPARE(b.righe("SELECT * FROM rimanenze"), Righe({{"V'1", 2, 5, 1800}}));
        QCOMPARE(b.righe("SELECT * FROM prodotto"),
                 Righe({{1, 1, "V'1", 1500, 800, 5, 1, "2024-03-14"}, {2, 2, "v'1", 1800, 900, 3, 1, "2024-03-15"},
                        {3, 1, "V'1", 1500, 0, -3, 2, "2024-03-14"}}));
        // Refused whole: no type, an unknown one, no day, a stock write that fails.
        const Righe prima = b.righe("SELECT * FROM prodotto") + b.righe("SELECT * FROM rimanenze");
        QVERIFY(!RegistraProdotto("", "X", 1, 1, 1, OPERAZIONE_ACQUISTO, oggi));
        QVERIFY(!RegistraProdotto("Dadi", "X", 1, 1, 1, OPERAZIONE_ACQUISTO, oggi));
        QVERIFY(!RegistraProdotto("Viti", "X", 1, 1, 1, OPERAZIONE_ACQUISTO, QDate()));
        if (b.server())
            b.esegui("CREATE FUNCTION no() RETURNS trigger LANGUAGE plpgsql AS 'BEGIN RAISE EXCEPTION ''no''; END';"
                     " CREATE TRIGGER blocca BEFORE UPDATE ON rimanenze FOR EACH ROW EXECUTE FUNCTION no()");
        else
            b.esegui("CREATE TRIGGER blocca BEFORE UPDATE ON rimanenze BEGIN SELECT RAISE(ABORT, 'no'); END");
        QVERIFY(!RegistraProdotto("Viti", "V'1", 1, 1, 1, OPERAZIONE_ACQUISTO, oggi));
        QCOMPARE(b.zone(), QList<int>({1, 1, 1, 4}));
        QCOMPARE(b.rapporti[1].descrizione, "Il tipo Dadi non esiste.");
        QVERIFY(AggiungiCarrello("Y", 1) == EsitoCarrello::Errore);
        QCOMPARE(b.rapporti.last().testo(), "Si è verificato in zona 5:\nErrore n. 12 L'articolo Y non è in magazzino.");
        QCOMPARE(b.righe("SELECT * FROM prodotto") + b.righe("SELECT * FROM rimanenze"), prima);
    }

    // A line keeps the price it was put in at, whatever case its code is
    // typed in; below one piece it is refused.
    void aggiunte_data()
    {
        QTest::addColumn<QList<int>>("aggiunte"); // the stock price turns 1200 after the first
        QTest::addColumn<bool>("aggiunta"); // the last one
        QTest::addColumn<Righe>("riga"); // tipo, prezzo, pezzi, totale
        QTest::newRow("nuova riga") << QList<int>{2} << true << Righe{{7, 1000, 2, 2000}};
        QTest::newRow("pezzi al prezzo della riga") << QList<int>{2, 1} << true << Righe{{7, 1000, 3, 3000}};
        QTest::newRow("sotto uno rifiutato") << QList<int>{5, -5} << false << Righe{{7, 1000, 5, 5000}};
        QTest::newRow("fino a uno") << QList<int>{5, -4} << true << Righe{{7, 1000, 1, 1000}};
        QTest::newRow("prima aggiunta nulla") << QList<int>{0} << false << Righe{};
    }

    void aggiunte()
    {
        QFETCH(QList<int>, aggiunte);
        QFETCH(bool, aggiunta);
        QFETCH(Righe, riga);
        BancoDati b;
        b.esegui("INSERT INTO rimanenze (codice, tipo, prezzo) VALUES ('A-1', 7, 1000)");
        EsitoCarrello esito = EsitoCarrello::Errore;
        for (qsizetype i = 0; i < aggiunte.size(); ++i) {
            esito = AggiungiCarrello(i % 2 ? "a-1" : "A-1", qint16(aggiunte.at(i)));
            b.esegui("UPDATE rimanenze SET prezzo=1200");
        }
        QCOMPARE(esito, aggiunta ? EsitoCarrello::Aggiunto : EsitoCarrello::PezziInsufficienti);
        QCOMPARE(b.righe("SELECT tipo, prezzo, pezzi, totale FROM carrello"), riga);
        QCOMPARE(AggiungiCarrello("B", 1), EsitoCarrello::Errore);
        QCOMPARE(b.zone(), QList<int>{5});
    }

    // The checkout: exactly the listed lines sold on the day it starts (a
    // code with a quote, a comma and a backslash one line), a stock row
    // deleted meanwhile back below zero; a cart no longer as
    // listed, or a step that fails, writes nothing and names the step.
    void vendita_data()
    {
        QTest::addColumn<QString>("prima"); // SQL, or "blocca <event> <table>"
        QTest::addColumn<int>("zona");      // 0: sold; -1: the cart changed
        QTest::newRow("venduta") << "" << 0;
        QTest::newRow("riga aggiunta") << "INSERT INTO carrello VALUES ('X', 1, 1, 1, 1)" << -1;
        QTest::newRow("pezzi cambiati") << "UPDATE carrello SET pezzi=5 WHERE codice='VT-6'" << -1;
        QTest::newRow("prezzo cambiato") << "UPDATE carrello SET prezzo=1 WHERE codice='VT-6'" << -1;
        QTest::newRow("riga tolta") << "DELETE FROM carrello WHERE tipo=2" << -1;
        QTest::newRow("movimento") << "blocca INSERT prodotto" << 1;
        QTest::newRow("scorta") << "blocca UPDATE rimanenze" << 4;
        QTest::newRow("carrello") << "blocca DELETE carrello" << 10;
        QTest::newRow("ricevuta") << "blocca INSERT ricevuta" << 13;
    }

    void vendita()
    {
        QFETCH(QString, prima);
        QFETCH(int, zona);
        BancoDati b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti'), ('Colle')");
        b.esegui("INSERT INTO rimanenze VALUES ('VT-6', 1, 10, 1500), ('VT-8', 1, 2, 2000), ('C\"L,1\\', 2, 5, 0)");
        for (const auto &[codice, pezzi] : {std::pair{"vt-6", 3}, {"VT-8", 4}, {"C\"L,1\\", 1}})
            QCOMPARE(AggiungiCarrello(codice, qint16(pezzi)), EsitoCarrello::Aggiunto);
        QVERIFY(AggiornaPrezzo("VT-6", 2400) && CancellaRimanenza("C\"L,1\\"));
        QCOMPARE(AggiungiCarrello("VT-6", 1), EsitoCarrello::Aggiunto);
        QList<RigaVendita> righe;
        for (const RigaCarrello &r : VisualizzaCarrello().value_or(QList<RigaCarrello>()))
            righe.append({.idTipo = r.idTipo, .codice = r.codice, .prezzo = qint32(r.prezzo), .pezzi = qint16(r.pezzi)});
        const QStringList blocco = prima.split(u' ');
        if (blocco.first() == "blocca" && b.server())
            b.esegui(QString("CREATE FUNCTION no() RETURNS trigger LANGUAGE plpgsql AS 'BEGIN RAISE EXCEPTION ''no'';"
                             " END'; CREATE TRIGGER b BEFORE %1 ON %2 FOR EACH ROW EXECUTE FUNCTION no()")
                         .arg(blocco[1], blocco[2] == "carrello" ? "carrelli" : blocco[2]));
        else if (blocco.first() == "blocca")
            b.esegui(QString("CREATE TRIGGER b BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'no'); END").arg(blocco[1], blocco[2]));
        else if (!prima.isEmpty())
            b.esegui(prima);
        const QByteArray negozio = b.byte();
        const Orologio sistema = installaOrologio([] { return QDate(2026, 12, 31); });
        const EsitoVendita esito = RegistraVendita(righe);
        installaOrologio(sistema);
        QCOMPARE(int(esito.stato), int(zona == 0 ? EsitoVendita::Stato::Registrata
                                       : zona < 0 ? EsitoVendita::Stato::CarrelloCambiato : EsitoVendita::Stato::Errore));
        QCOMPARE(b.zone(), zona > 0 ? QList<int>{zona} : QList<int>());
        if (zona != 0) {
            QVERIFY(b.byte() == negozio);
            return;
        }
        QCOMPARE(Numeri({esito.numeroRicevuta, esito.totale}), Numeri({1, 14000}));
        QCOMPARE(esito.giorno, QDate(2026, 12, 31));
        QCOMPARE(b.righe("SELECT * FROM prodotto ORDER BY id"),
                 Righe({{1, 1, "vt-6", 1500, 0, -4, 2, "2026-12-31"}, {2, 1, "VT-8", 2000, 0, -4, 2, "2026-12-31"},
                        {3, 2, "C\"L,1\\", 0, 0, -1, 2, "2026-12-31"}}));
        QCOMPARE(b.righe("SELECT * FROM rimanenze ORDER BY codice"),
                 Righe({{"C\"L,1\\", 2, -1, 0}, {"VT-6", 1, 6, 2400}, {"VT-8", 1, -2, 2000}}));
        QCOMPARE(b.righe("SELECT * FROM ricevuta"), Righe({{1, "2026-12-31", 14000}}));
        QCOMPARE(b.valore("SELECT count(*) FROM carrello").toInt(), 0);
    }

    // Listed in code order, suggested by a literal prefix, repriced and
    // deleted whatever the case; the deleted code's cart line stays.
    void rimanenze()
    {
        BancoDati b;
        b.esegui("INSERT INTO rimanenze VALUES ('b-2', 1, 0, 1500), ('Dell''Orto', 1, -3, 0), ('X', 2, 5, 5),"
                 " ('A-1', 1, 40000, 2147483647), ('a_2', 1, 0, 0), ('A%1', 1, 1, 1), ('b!x', 1, 0, 0), ('bx', 1, 0, 0)");
        b.esegui("INSERT INTO carrello VALUES ('b-2', 1, 1500, 2, 3000)");
        QCOMPARE(*SuggerimentiCodice(1, "a") + *SuggerimentiCodice(2, "x") + *SuggerimentiCodice(1, "x"),
                 QStringList({"A%1", "A-1", "a_2", "X"}));
        for (const char *prefisso : {"a%", "a_", "b!", "dell'"})
            QCOMPARE(SuggerimentiCodice(1, prefisso)->size(), 1);
        QVERIFY(AggiornaPrezzo("dell'orto", 1250) && CancellaRimanenza("B-2"));
        // A type chosen by its code: the oldest of equal codes; none, no rows.
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti'), ('viti')");
        QStringList righe;
        for (const RigaRimanenza &r : RimanenzeDelTipo("VITI").value_or(QList<RigaRimanenza>()))
            righe << r.codice + u'|' + QString::number(r.prezzo) + u'|' + QString::number(r.pezzi);
        QCOMPARE(righe, QStringList({"A%1|1|1", "A-1|2147483647|40000", "a_2|0|0", "b!x|0|0", "bx|0|0",
                                     "Dell'Orto|1250|-3"}));
        QCOMPARE(RimanenzeDelTipo("Dadi")->size(), 0);
        QCOMPARE(b.valore("SELECT count(*) FROM carrello").toInt(), 1);
        QVERIFY(b.rapporti.isEmpty());
    }

    // Receipts numbered from 1; the company row written back whole, created
    // when missing; a NULL stops its reading, the fields after it stay.
    void ricevuteEGeneralita()
    {
        BancoDati b;
        QCOMPARE(UltimaRicevuta(), 0);
        const Orologio sistema = installaOrologio([] { return QDate(2026, 2, 28); });
        QVERIFY(AggiungiRicevuta(4500) && AggiungiRicevuta(0));
        installaOrologio(sistema);
        QCOMPARE(b.righe("SELECT * FROM ricevuta"), Righe({{1, "2026-02-28", 4500}, {2, "2026-02-28", 0}}));
        QCOMPARE(UltimaRicevuta(), 2);
        b.esegui("DELETE FROM \"generalità\"");
        AziendaNome = "precedente";
        QVERIFY(LeggiGeneralita());
        QCOMPARE(AziendaNome, "precedente");
        QVERIFY(SalvaGeneralita("N", "1", "2", "3", "4") && SalvaGeneralita("M", "a", "b", "c", "d"));
        QCOMPARE(b.righe("SELECT * FROM \"generalità\""), Righe({{"M", "a", "b", "c", "d"}}));
        QVERIFY(LeggiGeneralita());
        QCOMPARE(AziendaInfo4, "d");
        b.esegui("UPDATE \"generalità\" SET info1='Via Roma', info2=NULL");
        QVERIFY(!LeggiGeneralita());
        QCOMPARE(AziendaInfo1 + AziendaInfo2, "Via Romab");
        QCOMPARE(b.zone(), QList<int>{12});
    }

    // Purchases of a type (the oldest of equal codes) and of a day; totals of
    // price times pieces; a sum beyond 64 bits or a real price stops the list.
    void operazioni_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QDate>("giorno");
        QTest::addColumn<QVariant>("prezzo"); // of the first two movements
        QTest::addColumn<Numeri>("attesi"); // ids, then sales and purchases totals when it succeeds
        QTest::newRow("un tipo") << "viti" << QDate() << QVariant(100) << Numeri{1, 200, 2};
        QTest::newRow("tipo che non c'è") << "Chiodi" << QDate() << QVariant(100) << Numeri{0, 0};
        QTest::newRow("ogni tipo") << "" << QDate() << QVariant(100) << Numeri{1, 2, 3, 600, 6};
        QTest::newRow("un giorno") << "" << QDate(2000, 1, 2) << QVariant(100) << Numeri{2, 200, 2};
        QTest::newRow("somma oltre 64 bit") << "" << QDate() << QVariant(qint64(1) << 61) << Numeri{1, 2};
        if (!serverDiProva()) // a whole-number column on the server holds no real
            QTest::newRow("prezzo non intero") << "" << QDate() << QVariant(2.5) << Numeri{};
    }

    void operazioni()
    {
        QFETCH(QString, tipo);
        QFETCH(QDate, giorno);
        QFETCH(QVariant, prezzo);
        QFETCH(Numeri, attesi);
        BancoDati b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti'), ('Viti')");
        for (const QVariantList &m : Righe{{1, 1, prezzo, "2000-01-01"}, {2, 2, prezzo, "2000-01-02"}, {3, 7, 100, "2000-01-03"}})
            b.esegui("INSERT INTO prodotto VALUES (?, ?, 'A-1', ?, 1, 2, 1, ?)", m);
        const ElencoOperazioni elenco = VisualizzaOperazioni(OPERAZIONE_ACQUISTO, tipo, giorno, giorno);
        const bool riuscita = elenco.completo;
        Numeri trovati;
        for (const RigaOperazione &r : elenco.righe)
            trovati << r.id;
        if (riuscita)
            trovati << elenco.totaleVendite << elenco.totaleAcquisti;
        QCOMPARE(trovati, attesi);
        // A list left half read leaves the connection fit for the next routine.
        QCOMPARE(CaricaTipi(), QStringList({"Viti", "Viti"}));
        QCOMPARE(b.zone(), riuscita ? QList<int>{} : QList<int>{16});
    }

    // Per month: purchases' purchase price and sales' sale price, once per
    // movement whatever its pieces (mode 1), or how many (mode 2); other
    // years, operations and days that do not exist count nowhere.
    void statistiche()
    {
        BancoDati b;
        for (const auto &[giorno, operazione, prezzo] : QList<std::tuple<const char *, int, qint64>>{
                 {"2024-01-01", 2, 300}, {"2024-03-10", 1, 1000}, {"2024-03-15", 2, 1500}, {"2024-04-02", 2, 700},
                 {"2024-12-31", 1, 250}, {"2023-12-31", 1, 999}, {"2025-01-01", 2, 999}, {"2024-05-05", 3, 10},
                 {"2024-07-01", 1, 3000000000}, {"2024-07-31", 1, 1}, {"2024-07-02", 2, 3000000000},
                 {"2024-02-30", 1, 7}, {"2024-2-05", 1, 7}, {"2024-06-01x", 1, 7}})
            b.esegui("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto, pezzi, operazione, dataop)"
                     " VALUES (1, 'A', ?, ?, ?, ?, ?)", {prezzo + (operazione == 1), prezzo * (operazione == 1),
                                                         operazione == 2 ? -5 : 3, operazione, giorno});
        for (const auto &[modo, acquisti, vendite] : QList<std::tuple<int, Numeri, Numeri>>{
                 {1, {0, 0, 1000, 0, 0, 0, 3000000001, 0, 0, 0, 0, 250}, {300, 0, 1500, 700, 0, 0, 3000000000, 0, 0, 0, 0, 0}},
                 {2, {0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 1}, {1, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0}},
                 {3, Numeri(12, 0), Numeri(12, 0)}}) {
            const SlotMensili slot = CalcolaStatistiche(modo, 2024).value();
            QCOMPARE(Numeri(slot.acquisti.begin(), slot.acquisti.end()) + Numeri(slot.vendite.begin(), slot.vendite.end()),
                     acquisti + vendite);
        }
        // A month beyond 64 bits is reported and leaves every slot zero.
        b.esegui("UPDATE prodotto SET prezzoacquisto = 4611686018427387904 WHERE prezzoacquisto = 3000000000");
        b.esegui("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto, pezzi, operazione, dataop)"
                 " SELECT tipo, codice, 1, prezzoacquisto, 1, 1, '2024-07-03' FROM prodotto WHERE prezzoacquisto > 3000000000");
        QVERIFY(!CalcolaStatistiche(1, 2024));
        QCOMPARE(b.zone(), QList<int>{18});
    }

    // Each register as CSV for a spreadsheet: BOM, a heading, ";" between
    // cells, a cell with a quote or a ";" quoted; the shop's file unchanged,
    // an existing CSV never overwritten, a wrong day refused.
    void esporta()
    {
        BancoDati b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti')");
        b.esegui("INSERT INTO rimanenze VALUES ('A;\"è\"', 1, 3, 1500)");
        b.esegui("INSERT INTO prodotto VALUES (1, 1, 'A;\"è\"', 1500, 900, 3, 1, '2024-03-05'),"
                 " (2, 1, 'B', 1500, 0, -1, 2, '2024-03-06')");
        b.esegui("INSERT INTO ricevuta VALUES (1, '2024-03-06', 4500)");
        const QByteArray prima = b.byte();
        const QString codice = "\"A;\"\"è\"\"\"", operazioni = "Numero;Data;Codice articolo;Tipo articolo;"
                                                                "Prezzo acquisto;Prezzo vendita;Pezzi";
        for (const auto &[argomenti, righe] : QList<std::pair<QStringList, QStringList>>{
                 {{"operazioni"}, {operazioni, "1;05/03/2024;" + codice + ";Viti;900;1500;3"}},
                 {{"operazioni", "--vendite", "--dal", "06/03/2024", "-o", "v.csv"}, {operazioni, "2;06/03/2024;B;Viti;0;1500;-1"}},
                 {{"ricevute"}, {"Numero;Data;Totale", "1;06/03/2024;4500"}},
                 {{"rimanenze"}, {"Codice articolo;Tipo articolo;Prezzo;Pezzi", codice + ";Viti;1500;3"}},
                 {{"ricevute"}, {}}, {{"operazioni", "--dal", "31/02/2024", "-o", "x.csv"}, {}},
                 {{"operazioni", "--tipo", "NONESISTE", "-o", "x.csv"}, {}}}) {
            QProcess strumento;
            QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
            ambiente.insert("VORENDI_SERVER", b.connessione());
            strumento.setProcessEnvironment(ambiente);
            strumento.start(VORENDI_ESPORTA, argomenti);
            QVERIFY(strumento.waitForFinished(60000));
            QCOMPARE(strumento.exitCode(), righe.isEmpty() ? 1 : 0);
            const QString csv = argomenti.contains("-o") ? argomenti.last() : argomenti.first() + ".csv";
            if (!righe.isEmpty())
                QCOMPARE(byteDelFile(csv), "\xEF\xBB\xBF" + righe.join("\r\n").toUtf8() + "\r\n");
            QVERIFY(!argomenti.contains("NONESISTE")
                    || strumento.readAllStandardError().startsWith("Il tipo NONESISTE non esiste"));
        }
        QVERIFY(!QFileInfo::exists("x.csv") && b.byte() == prima);
    }
};

QTEST_MAIN(TestData)
#include "tst_data.moc"
