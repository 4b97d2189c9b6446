#include "counter/Ricevute_frm.h"
#include "counter/VisCarrello_frm.h"
#include "reports/Operazioni_frm.h"
#include "stock/AggCarrello_frm.h"
#include "stock/VisTipi_frm.h"
#include "support/immissioni.h"

#include <QDate>
#include <QLabel>
#include <QTest>

#include <memory>

// Every list window's cells, made from its typed rows: 0 shown empty,
// negatives with their sign, totals beyond 32 bits, a deleted type empty,
// and the one empty last row.

class TestGriglie : public QObject
{
    Q_OBJECT

private slots:
    void celle_data()
    {
        QTest::addColumn<QString>("finestra");
        QTest::addColumn<QString>("dati");
        QTest::addColumn<QStringList>("righe");
        QTest::newRow("tipi") << "VisTipi_frm" << "" << QStringList{" 2|Dadi", " 1|Viti", "|"};
        QTest::newRow("rimanenze")
            << "AggCarrello_frm"
            << "INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('A', 1, -2, 0),"
               " ('B', 1, 32767, 2147483647), ('C', 2, 1, 1)"
            << QStringList{"A|Viti||-2", "B|Viti|2.147.483.647|32.767", "|||"};
        QTest::newRow("carrello")
            << "VisCarrello_frm"
            << "INSERT INTO carrello (codice, tipo, prezzo, pezzi, totale) VALUES"
               " ('G', 2, 2147483647, 32767, 0), ('Z', 1, 0, 3, 0), ('O', 9, 1000, 1, 1000)"
            << QStringList{"Z|Viti||3|", "G|Dadi|2.147.483.647|32.767|70.366.596.661.249",
                           "O||1.000|1|1.000", "||||"};
        QTest::newRow("ricevute")
            << "Ricevute_frm"
            << "INSERT INTO ricevuta (codice, dataop, totale) VALUES"
               " (9007199254740993, '2024-01-02', 9223372036854775807), (5, '2024-01-01', -5),"
               " (6, '2024-01-01', 0), (7, '2024-02-30', 1)"
            << QStringList{"01/01/2024|5|-5", "01/01/2024|6|",
                           "02/01/2024|9.007.199.254.740.993|9.223.372.036.854.775.807",
                           "|7|1", "||"};
        QTest::newRow("operazioni")
            << "Operazioni_frm"
            << "INSERT INTO prodotto (id, tipo, codice, prezzovendita, prezzoacquisto, pezzi,"
               " operazione, dataop) VALUES (7, 9, 'X', 0, 0, -3, 2, '2024-05-06'),"
               " (8, 1, 'Y', 2147483647, 5, 32767, 2, '2024-05-07'),"
               " (9, 1, 'Y', 1, 1, 1, 1, '2024-05-07')"
            << QStringList{"7|06/05/2024|X||||-3", "8|07/05/2024|Y|Viti|5|2.147.483.647|32767",
                           "||||||"};
    }

    void celle()
    {
        QFETCH(QString, finestra);
        QFETCH(QString, dati);
        QFETCH(QStringList, righe);
        Banco banco;
        banco.db.esegui("INSERT INTO tipo (codice) VALUES ('Viti'), ('Dadi')");
        if (!dati.isEmpty())
            banco.db.esegui(dati);

        std::unique_ptr<QWidget> f;
        if (finestra == "VisTipi_frm") {
            f = std::make_unique<VisTipi_frm>();
        } else if (finestra == "AggCarrello_frm") {
            f = std::make_unique<AggCarrello_frm>();
            QVERIFY(mostra(*f));
            scegliDalMenu(*f, "Viti");
        } else if (finestra == "VisCarrello_frm") {
            f = std::make_unique<VisCarrello_frm>();
            QCOMPARE(f->findChild<QLabel *>("Label2")->text(), "70.366.596.662.249");
        } else if (finestra == "Ricevute_frm") {
            f = std::make_unique<Ricevute_frm>();
            premi(*f, "Command1");
        } else {
            auto operazioni = std::make_unique<Operazioni_frm>();
            QVERIFY(operazioni->elenca(2, QString(), QDate(), QDate()));
            QCOMPARE(operazioni->findChild<QLabel *>("Label2")->text(), "70.366.596.661.249");
            f = std::move(operazioni);
        }

        QCOMPARE(griglia(*f), righe);
        QVERIFY(banco.registro.rapporti().isEmpty());
    }
};

QTEST_MAIN(TestGriglie)
#include "tst_griglie.moc"
