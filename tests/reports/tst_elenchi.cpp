#include "common/formati.h"
#include "common/lettore.h"
#include "counter/Ricevute_frm.h"
#include "data/configurazione.h"
#include "data/database_routines.h"
#include "reports/Operazioni_frm.h"
#include "support/banco.h"

#include <QComboBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

// Lists far longer than a screen, read while they are shown: on the file,
// and on the private server in the test's "+server" run.
class TestElenchi : public QObject
{
    Q_OBJECT

    // The read stops, holding its statement open, after the first batch it
    // hands over, until sblocca().
    QSemaphore via_;
    std::atomic<bool> ferma_{false};
    // Or only says that the first batch was handed over.
    QSemaphore partita_;
    std::atomic<bool> avvisa_{false};
    void fermaDopoLaPrimaParte()
    {
        via_.tryAcquire(via_.available());
        partita_.tryAcquire(partita_.available());
        ferma_ = true;
    }
    void sblocca() { via_.release(); }

private slots:
    void initTestCase()
    {
        // Never for ever: a test that fails while a read waits here would
        // otherwise hang in the window's end, which waits for its reader.
        Lettore::impostaSostaDiProva([this] {
            if (avvisa_.exchange(false))
                partita_.release();
            if (ferma_.exchange(false))
                via_.tryAcquire(1, 10000);
        });
    }
    void cleanupTestCase() { Lettore::impostaSostaDiProva({}); }

    void elencoLungo_data()
    {
        QTest::addColumn<QString>("finestra");
        QTest::addColumn<QString>("riempi");
        QTest::newRow("operazioni")
            << "Operazioni_frm"
            << "INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto, pezzi, operazione, dataop)"
               " SELECT 1, 'A' || (i % 97), i, 0, -1 - i % 5, 2, '2020-05-' || (10 + i % 20) FROM n";
        QTest::newRow("ricevute")
            << "Ricevute_frm" << "INSERT INTO ricevuta (dataop, totale) SELECT '2020-05-' || (10 + i % 20), i FROM n";
    }

    void elencoLungo()
    {
        QFETCH(QString, finestra);
        QFETCH(QString, riempi);
        Banco b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti')");
        b.esegui("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) " + riempi);
        std::unique_ptr<QWidget> f;
        if (finestra == "Operazioni_frm") {
            f = std::make_unique<Operazioni_frm>();
            elemento<QComboBox>(*f, "Combo2")->setCurrentIndex(1);
        } else {
            f = std::make_unique<Ricevute_frm>();
        }
        f->resize(800, 500);
        QVERIFY(mostra(*f));
        // Whatever the test's end, the read is let go before the window goes.
        const auto rilascio = qScopeGuard([this] {
            ferma_ = false;
            via_.release();
        });
        const auto etichette = [&] {
            return finestra == "Operazioni_frm"
                ? etichetta(*f, "Label1") + u'|' + etichetta(*f, "Label2") + u'|' + etichetta(*f, "Label8")
                : QString();
        };
        auto *lettore = f->findChild<Lettore *>();
        auto *vista = elemento<QTableView>(*f, "MSFlexGrid1");
        const auto clic = [&](const char *pulsante) { elemento<QPushButton>(*f, pulsante)->click(); };
        // The first rows, and no count or totals yet, while the read waits.
        const auto primeRighe = [&] {
            fermaDopoLaPrimaParte();
            clic("Command1");
            QTRY_VERIFY(vista->model()->rowCount() > 1);
            QVERIFY(lettore->inCorso());
        };

        // The whole list read before anything is shown: what every list must end as.
        premi(*f, "Command1");
        const QStringList intera = griglia(*f);
        const QString totali = etichette();
        QCOMPARE(intera.size(), 3001);
        qint64 vendite = 0;
        for (int i = 1; i <= 3000; ++i)
            vendite += i * (-1 - i % 5);
        if (finestra == "Operazioni_frm")
            QCOMPARE(totali, "3000|" + formatoNumero(vendite, MODELLO_DENARO) + "|");

        primeRighe();
        const QStringList prime = griglia(*f);
        QVERIFY2(prime.size() < 1000, qPrintable(QString::number(prime.size())));
        QCOMPARE(prime.mid(0, prime.size() - 1), intera.mid(0, prime.size() - 1));
        QCOMPARE(prime.last(), intera.last());
        QCOMPARE(vista->currentIndex().row(), 0);
        if (finestra == "Operazioni_frm")
            QCOMPARE(etichette(), "||");
        // A second "Aggiorna" meanwhile: one list, whole, and the view on its last row.
        clic("Command1");
        sblocca();
        attendiLetture(*f);
        QCOMPARE(griglia(*f), intera);
        QCOMPARE(etichette(), totali);
        QCOMPARE(vista->currentIndex().row(), 2999);

        // A deletion asked for while the rest is read waits for it, then the
        // list and its totals are those of a list read afresh.
        for (bool durante : {true, false}) {
            if (durante)
                primeRighe();
            vaiARiga(*f, 3);
            if (durante)
                QTimer::singleShot(0, this, [this] { sblocca(); });
            premi(*f, b, "Command2", -1, {"Si"});
            QVERIFY(!lettore->inCorso());
            const QStringList dopo = griglia(*f);
            const QString totaliDopo = etichette();
            premi(*f, "Command1");
            QCOMPARE(dopo, griglia(*f));
            QCOMPARE(totaliDopo, etichette());
            QCOMPARE(dopo.size(), durante ? 3000 : 2999);
        }
        QVERIFY(b.rapporti.isEmpty());

        // A printout asked for during the read prints the whole list, as one
        // asked for after it.
        QStringList stampate[2];
        for (bool durante : {true, false}) {
            if (durante) {
                primeRighe();
                QTimer::singleShot(0, this, [this] { sblocca(); });
            }
            premi(*f, b, "Command3", -1, {"Ok"});
            QCOMPARE(b.testi(), QStringList{"Stampa completata"});
            stampate[durante] = b.stampe().last().testi();
        }
        QCOMPARE(stampate[true], stampate[false]);
        QVERIFY(stampate[true].size() > 2998);
        QVERIFY(stampate[true].last().contains("2998"));
    }

    // A write on the window's thread (a sale in another window) while a long
    // list is read: on the file it waits for the read's lock, and the read,
    // its batches not taken by the busy window, goes on and lets it go.
    void scritturaDuranteLettura()
    {
        Banco b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti')");
        b.esegui("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                 " INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto, pezzi, operazione, dataop)"
                 " SELECT 1, 'A' || i, i, 0, -1, 2, '2020-05-15' FROM n");
        const qint64 ultimo = b.valore("SELECT max(id) FROM prodotto").toLongLong();
        // Time enough for a loaded machine: the fault this catches waits for ever.
        Configurazione paziente = configurazione();
        paziente.attesaFileBloccato = std::chrono::seconds(20);
        impostaConfigurazione(paziente);
        Operazioni_frm f;
        elemento<QComboBox>(f, "Combo2")->setCurrentIndex(1);
        QVERIFY(mostra(f));
        avvisa_ = true;
        elemento<QPushButton>(f, "Command1")->click();
        QVERIFY(partita_.tryAcquire(1, 10000));
        QVERIFY(CancellaOperazione(ultimo));
        QVERIFY(b.rapporti.isEmpty());
        attendiLetture(f);
        QCOMPARE(griglia(f).size(), 3001);
        QCOMPARE(b.valore("SELECT count(*) FROM prodotto").toInt(), 2999);
    }

    // The register keeps its rows small: values that do not fit its compact
    // row are shown and deleted as exactly as the others.
    void fuoriMisura()
    {
        Banco b;
        b.esegui("INSERT INTO tipo (id, codice) VALUES (1, 'Viti'), (70000, 'Dadi')");
        b.esegui("INSERT INTO prodotto (id, tipo, codice, prezzovendita, prezzoacquisto, pezzi, operazione, dataop)"
                 " VALUES (1, 1, 'A', 10, 0, -1, 2, '1899-12-31'), (2, 70000, 'A', 10, 0, -1, 2, '2000-01-01'),"
                 " (5000000000, 1, 'B', 10, 0, -1, 2, '2000-01-01'), (4, 1, 'B', 3000000000, 0, -1, 2, '2000-01-01'),"
                 " (5, 1, 'C', 20, 0, -1, 2, '2079-06-06'), (6, 1, 'C', 30, 0, -2, 2, '2079-06-07'),"
                 " (7, 1, 'D', 40, 0, -1, 2, 'mai')");
        Operazioni_frm f;
        elemento<QComboBox>(f, "Combo2")->setCurrentIndex(1);
        premi(f, "Command1");
        QStringList righe{"1|31/12/1899|A|Viti||10|-1", "2|01/01/2000|A|Dadi||10|-1",
                          "4|01/01/2000|B|Viti||3.000.000.000|-1", "5000000000|01/01/2000|B|Viti||10|-1",
                          "5|06/06/2079|C|Viti||20|-1", "6|07/06/2079|C|Viti||30|-2", "7||D|Viti||40|-1", "||||||"};
        QCOMPARE(griglia(f), righe);
        premi(f, b, "Command2", 3, {"Si"});
        righe.removeAt(3);
        QCOMPARE(griglia(f), righe);
        QCOMPARE(b.valore("SELECT count(*) FROM prodotto WHERE id = 5000000000").toInt(), 0);
        const auto etichette = [&] {
            return etichetta(f, "Label1") + u'|' + etichetta(f, "Label2") + u'|' + etichetta(f, "Label8");
        };
        QCOMPARE(etichette(), "6|-3.000.000.140|");
        // A list that ends in a report, told on the window's thread, leaves
        // the labels as the last complete list had them.
        b.guasta(true);
        premi(f, "Command1");
        QCOMPARE(b.zone(), QList<int>{16});
        QCOMPARE(griglia(f), QStringList{"||||||"});
        QCOMPARE(etichette(), "6|-3.000.000.140|");
    }
};

QTEST_MAIN(TestElenchi)
#include "tst_elenchi.moc"
