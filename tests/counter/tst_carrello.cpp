#include "counter/VisCarrello_frm.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

const QString SCORTE = QStringLiteral("INSERT INTO rimanenze (codice, tipo, prezzo) VALUES ");

// The grid's rows as "cell|cell|...", the empty last row included.
QStringList righe(const VisCarrello_frm &finestra)
{
    const QAbstractItemModel *m = finestra.findChild<QTableView *>("MSFlexGrid1")->model();
    QStringList righe;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList celle;
        for (int c = 0; c < m->columnCount(); ++c)
            celle << m->index(r, c).data().toString();
        righe << celle.join(u'|');
    }
    return righe;
}

QString etichetta(const QWidget &finestra, const char *nome)
{
    return finestra.findChild<QLabel *>(QLatin1String(nome))->text();
}

} // namespace

class TestCarrello : public QObject
{
    Q_OBJECT

private slots:
    void aggiunte_data()
    {
        QTest::addColumn<QString>("codice");
        QTest::addColumn<QList<int>>("aggiunte");
        QTest::addColumn<int>("esitoUltima");
        QTest::addColumn<QVariantList>("riga"); // tipo, prezzo, pezzi, totale; empty: no line
        const int aggiunto = int(EsitoCarrello::Aggiunto);
        const int rifiutato = int(EsitoCarrello::PezziInsufficienti);
        QTest::newRow("nuova riga") << "A-1" << QList<int>{2} << aggiunto
                                    << QVariantList{7, 1000, 2, 2000};
        // The stock price turns 1200 after the first addition: the line keeps
        // its price, and its total is that price times the pieces.
        QTest::newRow("pezzi sommati al prezzo della riga")
            << "A-1" << QList<int>{2, 1} << aggiunto << QVariantList{7, 1000, 3, 3000};
        QTest::newRow("sotto uno rifiutato") << "A-1" << QList<int>{5, -5} << rifiutato
                                             << QVariantList{7, 1000, 5, 5000};
        QTest::newRow("fino a uno") << "A-1" << QList<int>{5, -4} << aggiunto
                                    << QVariantList{7, 1000, 1, 1000};
        QTest::newRow("prima aggiunta nulla") << "A-1" << QList<int>{0} << rifiutato << QVariantList{};
        QTest::newRow("prima aggiunta negativa") << "A-1" << QList<int>{-3} << rifiutato
                                                 << QVariantList{};
        QTest::newRow("codice sconosciuto: zona 5") << "B" << QList<int>{1}
                                                    << int(EsitoCarrello::Errore) << QVariantList{};
    }

    void aggiunte()
    {
        QFETCH(QString, codice);
        QFETCH(QList<int>, aggiunte);
        QFETCH(int, esitoUltima);
        QFETCH(QVariantList, riga);
        DatabaseDiProva prova;
        prova.esegui(SCORTE + "('A-1', 7, 1000)");
        RegistroRapporti registro;

        EsitoCarrello esito = EsitoCarrello::Errore;
        for (qsizetype i = 0; i < aggiunte.size(); ++i) {
            if (i == 1)
                prova.esegui("UPDATE rimanenze SET prezzo=1200");
            // Codes match whatever their case.
            esito = AggiungiCarrello(i % 2 ? codice.toLower() : codice, qint16(aggiunte.at(i)));
        }

        QCOMPARE(int(esito), esitoUltima);
        QCOMPARE(prova.righe("SELECT tipo, prezzo, pezzi, totale FROM carrello"),
                 riga.isEmpty() ? QList<QVariantList>{} : QList<QVariantList>{riga});
        QCOMPARE(registro.zone(), esito == EsitoCarrello::Errore ? QList<int>{5} : QList<int>{});
    }

    void finestraOrdineConteggioTotale()
    {
        DatabaseDiProva prova;
        VisCarrello_frm finestra;
        QCOMPARE(righe(finestra), QStringList{"||||"});
        QCOMPARE(etichetta(finestra, "Label1"), "0");
        QCOMPARE(etichetta(finestra, "Label2"), "0");

        prova.esegui("INSERT INTO tipo (codice) VALUES ('Viti'), ('Dadi'), ('Chiodi')");
        prova.esegui(SCORTE + "('V-caro', 1, 2500), ('V-economico', 1, 300), ('D-1', 2, 100),"
                              " ('orfano', 9, 2000000000), ('zero', 3, 0)");
        for (const char *codice : {"orfano", "V-caro", "D-1", "V-economico", "zero"})
            QCOMPARE(AggiungiCarrello(codice, 3), EsitoCarrello::Aggiunto);
        prova.esegui("UPDATE rimanenze SET prezzo=999");
        QCOMPARE(AggiungiCarrello("D-1", 1000), EsitoCarrello::Aggiunto);
        finestra.findChild<QPushButton *>("Command1")->click();

        // By type, then price; a deleted type shows empty, a price of 0 too.
        QCOMPARE(righe(finestra),
                 QStringList({"V-economico|Viti|300|3|900", "V-caro|Viti|2.500|3|7.500",
                              "D-1|Dadi|100|1.003|100.300", "zero|Chiodi||3|",
                              "orfano||2.000.000.000|3|6.000.000.000", "||||"}));
        QCOMPARE(etichetta(finestra, "Label1"), "5");
        // Price times pieces of each line, in 64 bits: not the stored totals.
        QCOMPARE(etichetta(finestra, "Label2"), "6.000.108.700");
    }

    void cancella_data()
    {
        QTest::addColumn<int>("riga"); // -1: the grid's own current row after filling
        QTest::addColumn<int>("risposta");
        QTest::addColumn<QString>("codiceChiesto");
        QTest::addColumn<QString>("rimasti");
        QTest::newRow("si") << 0 << int(QMessageBox::Yes) << "A" << "B";
        QTest::newRow("no") << 0 << int(QMessageBox::No) << "A" << "A,B";
        QTest::newRow("riga vuota") << 2 << int(QMessageBox::Yes) << "" << "A,B";
        QTest::newRow("senza scelta, ultima riga") << -1 << int(QMessageBox::Yes) << "B" << "A";
    }

    void cancella()
    {
        QFETCH(int, riga);
        QFETCH(int, risposta);
        QFETCH(QString, codiceChiesto);
        QFETCH(QString, rimasti);
        DatabaseDiProva prova;
        prova.esegui(SCORTE + "('A', 1, 100), ('B', 1, 200)");
        AggiungiCarrello("A", 1);
        AggiungiCarrello("B", 2);
        VisCarrello_frm finestra;
        auto *griglia = finestra.findChild<QTableView *>("MSFlexGrid1");
        if (riga >= 0)
            griglia->setCurrentIndex(griglia->model()->index(riga, 0));
        RisponditoreDialoghi risponditore;
        risponditore.premi(QMessageBox::StandardButton(risposta));

        finestra.findChild<QPushButton *>("Command2")->click();

        QCOMPARE(risponditore.testi(), QStringList{"Si sta tentando di cancellare il prodotto:\n"
                                                   + codiceChiesto + "\nContinuare?"});
        QCOMPARE(prova.valore("SELECT group_concat(codice) FROM (SELECT codice FROM carrello"
                              " ORDER BY codice)").toString(), rimasti);
        QCOMPARE(righe(finestra).size(), rimasti.count(u',') + 2);
        // The count and total follow: they are what the receipt will carry.
        QCOMPARE(etichetta(finestra, "Label1"), QString::number(rimasti.count(u',') + 1));
        QCOMPARE(etichetta(finestra, "Label2"), rimasti == "A,B" ? "500" : rimasti == "A" ? "100" : "400");
    }

    // Values no 64-bit sum holds, or that are no whole number, are reported,
    // never shown wrapped below zero; an addition that would overflow adds nothing.
    void valoriFuoriMisura_data()
    {
        QTest::addColumn<QString>("carrello"); // lines put into the file by another program
        QTest::addColumn<int>("zona");
        QTest::newRow("riga oltre i 64 bit") << "('A', 1, 4611686018427387904, 2, 0)" << 9;
        QTest::newRow("somma oltre i 64 bit")
            << "('A', 1, 4611686018427387904, 1, 0), ('B', 1, 4611686018427387904, 1, 0)" << 9;
        QTest::newRow("prezzo non intero") << "('A', 1, 2.5, 2, 5)" << 9;
        QTest::newRow("pezzi oltre i 64 bit") << "('A', 1, 1, 1e20, 0)" << 9;
        QTest::newRow("aggiunta oltre i 64 bit") << "" << 5;
    }

    void valoriFuoriMisura()
    {
        QFETCH(QString, carrello);
        QFETCH(int, zona);
        DatabaseDiProva prova;
        prova.esegui(SCORTE + "('A', 1, 4611686018427387904)");
        if (!carrello.isEmpty())
            prova.esegui("INSERT INTO carrello (codice, tipo, prezzo, pezzi, totale) VALUES " + carrello);
        RegistroRapporti registro;
        VisCarrello_frm finestra;
        if (carrello.isEmpty())
            QCOMPARE(AggiungiCarrello("A", 2), EsitoCarrello::Errore);

        QCOMPARE(registro.zone(), QList<int>{zona});
        QVERIFY(!etichetta(finestra, "Label2").startsWith(u'-'));
        for (const QString &riga : righe(finestra))
            QVERIFY2(!riga.contains(u'-'), qPrintable(riga));
        if (carrello.isEmpty())
            QCOMPARE(prova.valore("SELECT count(*) FROM carrello").toInt(), 0);
    }
};

QTEST_MAIN(TestCarrello)
#include "tst_carrello.moc"
