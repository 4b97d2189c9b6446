#include "common/formati.h"
#include "counter/VisCarrello_frm.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"

#include <QPushButton>
#include <QTest>

namespace {

const QString SEPARATORE(108, QChar(0x2014));

// Two types, three articles in stock, three of them in the cart.
void preparaNegozio(const DatabaseDiProva &prova)
{
    prova.esegui(QStringLiteral("UPDATE \"generalità\" SET nome='Ferramenta Bianchi',"
                                " info1='Via Garibaldi 4', info2='Torino', info3='', info4=''"));
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Viti'), ('Colle')"));
    prova.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES"
                                " ('VT-6', 1, 10, 1500), ('VT-8', 1, 2, 2000), ('CL-1', 2, 5, 0)"));
    QCOMPARE(AggiungiCarrello(QStringLiteral("VT-6"), 3), EsitoCarrello::Aggiunto);
    QCOMPARE(AggiungiCarrello(QStringLiteral("VT-8"), 4), EsitoCarrello::Aggiunto);
    QCOMPARE(AggiungiCarrello(QStringLiteral("CL-1"), 1), EsitoCarrello::Aggiunto);
}

// Everything a sale may touch, to tell "nothing happened" exactly.
QString istantanea(const DatabaseDiProva &prova)
{
    QStringList parti;
    for (const char *sql : {"SELECT * FROM carrello ORDER BY codice",
                            "SELECT * FROM rimanenze ORDER BY codice",
                            "SELECT * FROM prodotto ORDER BY id",
                            "SELECT * FROM ricevuta ORDER BY codice",
                            "SELECT seq FROM sqlite_sequence ORDER BY name"}) {
        for (const QVariantList &riga : prova.righe(QLatin1String(sql))) {
            QStringList celle;
            for (const QVariant &v : riga)
                celle << v.toString();
            parti << celle.join(u'|');
        }
        parti << QStringLiteral("--");
    }
    return parti.join(u'\n');
}

void stampa(VisCarrello_frm &finestra)
{
    QTest::mouseClick(finestra.findChild<QPushButton *>(QStringLiteral("Command3")), Qt::LeftButton);
}

} // namespace

class TestCassa : public QObject
{
    Q_OBJECT

private slots:
    void venditaCompleta();
    void rispostaNo();
    void carrelloVuoto();
    void guastoLasciaTuttoComEra_data();
    void guastoLasciaTuttoComEra();
    void elencoNonPiuAttuale();
    void numeriMaiRiusati();
};

void TestCassa::venditaCompleta()
{
    DatabaseDiProva prova;
    preparaNegozio(prova);
    RegistroStampe stampe;
    RisponditoreDialoghi risponditore;
    risponditore.premi(QMessageBox::Yes);
    VisCarrello_frm finestra;

    stampa(finestra);

    QCOMPARE(risponditore.testi(),
             QStringList({"Vuoi scaricare i prodotti dal magazzino?", "Stampa completata"}));
    QCOMPARE(risponditore.visti().first().pulsanti, QMessageBox::Yes | QMessageBox::No);
    const QString oggi = dataInIso(dataOggi());
    QCOMPARE(prova.righe(QStringLiteral("SELECT tipo, codice, prezzovendita, prezzoacquisto, pezzi,"
                                        " operazione, dataop FROM prodotto ORDER BY id")),
             QList<QVariantList>({{1, "VT-6", 1500, 0, -3, 2, oggi},
                                  {1, "VT-8", 2000, 0, -4, 2, oggi},
                                  {2, "CL-1", 0, 0, -1, 2, oggi}}));
    QCOMPARE(prova.righe(QStringLiteral("SELECT codice, pezzi FROM rimanenze ORDER BY codice")),
             QList<QVariantList>({{"CL-1", 4}, {"VT-6", 7}, {"VT-8", -2}}));
    QCOMPARE(prova.valore(QStringLiteral("SELECT COUNT(*) FROM carrello")).toInt(), 0);
    QCOMPARE(prova.righe(QStringLiteral("SELECT codice, dataop, totale FROM ricevuta")),
             QList<QVariantList>({{1, oggi, 12500}}));

    QCOMPARE(stampe.documenti().size(), 1);
    const QStringList righe = stampe.documenti().first().testi();
    QCOMPARE(righe.size(), 13);
    QCOMPARE(righe.at(0), SEPARATORE);
    QCOMPARE(righe.at(1), QStringLiteral("Ferramenta Bianchi").leftJustified(50)
                              + " Data Operazione: " + dataOggi());
    QCOMPARE(righe.at(2), QStringLiteral("Via Garibaldi 4").leftJustified(50) + " Ricevuta n.: 1");
    QCOMPARE(righe.at(6), SEPARATORE);
    QCOMPARE(righe.at(7), QStringLiteral("Codice articolo                    Tipo articolo  Prezzo"
                                         "    Pezzi    Totale"));
    // Code 35 wide, type 15, price 13, pieces 6, then the total.
    QCOMPARE(righe.at(8), QStringLiteral("VT-6").leftJustified(35) + QStringLiteral("Viti").leftJustified(15)
                              + QStringLiteral("1.500").leftJustified(13) + QStringLiteral("3").leftJustified(6)
                              + QStringLiteral("4.500").leftJustified(13));
    QCOMPARE(righe.at(10), QStringLiteral("CL-1").leftJustified(35) + QStringLiteral("Colle").leftJustified(15)
                               + QString(13, u' ') + QStringLiteral("1").leftJustified(6)
                               + QString(10, u' '));
    QCOMPARE(righe.at(11), SEPARATORE);
    QCOMPARE(righe.at(12), QStringLiteral("Elementi: 3      Totale: 12.500"));
}

void TestCassa::rispostaNo()
{
    DatabaseDiProva prova;
    preparaNegozio(prova);
    const QString prima = istantanea(prova);
    RegistroStampe stampe;
    RisponditoreDialoghi risponditore;
    risponditore.premi(QMessageBox::No);
    VisCarrello_frm finestra;

    stampa(finestra);

    QCOMPARE(istantanea(prova), prima);
    QCOMPARE(stampe.documenti().size(), 1);
    const QStringList righe = stampe.documenti().first().testi();
    QCOMPARE(righe.at(2), QStringLiteral("Via Garibaldi 4").leftJustified(50) + " Ricevuta n.: 0");
    QCOMPARE(righe.at(12), QStringLiteral("Elementi: 3      Totale: 12.500"));
    QCOMPARE(risponditore.testi().last(), QStringLiteral("Stampa completata"));
}

void TestCassa::carrelloVuoto()
{
    DatabaseDiProva prova;
    RegistroStampe stampe;
    RisponditoreDialoghi risponditore;
    risponditore.premi(QMessageBox::Yes);
    VisCarrello_frm finestra;

    stampa(finestra);

    QCOMPARE(prova.valore(QStringLiteral("SELECT COUNT(*) FROM prodotto")).toInt(), 0);
    QCOMPARE(prova.righe(QStringLiteral("SELECT codice, totale FROM ricevuta")),
             QList<QVariantList>({{1, 0}}));
    const QStringList righe = stampe.documenti().first().testi();
    QCOMPARE(righe.size(), 10);
    QVERIFY(righe.at(2).endsWith(QStringLiteral(" Ricevuta n.: 1")));
    QCOMPARE(righe.at(8), SEPARATORE);
    QCOMPARE(righe.at(9), QStringLiteral("Elementi: 0      Totale: 0"));
}

void TestCassa::guastoLasciaTuttoComEra_data()
{
    QTest::addColumn<QString>("guasto");
    QTest::addColumn<int>("zona");
    QTest::newRow("tipo cancellato") << "DELETE FROM tipo WHERE codice='Colle'" << 1;
    QTest::newRow("scorta bloccata")
        << "CREATE TRIGGER blocca BEFORE UPDATE ON rimanenze WHEN NEW.codice='VT-8'"
           " BEGIN SELECT RAISE(ABORT, 'scorta bloccata'); END"
        << 4;
    QTest::newRow("carrello bloccato")
        << "CREATE TRIGGER blocca BEFORE DELETE ON carrello WHEN OLD.codice='CL-1'"
           " BEGIN SELECT RAISE(ABORT, 'carrello bloccato'); END"
        << 10;
    QTest::newRow("ricevuta bloccata")
        << "CREATE TRIGGER blocca BEFORE INSERT ON ricevuta"
           " BEGIN SELECT RAISE(ABORT, 'ricevuta bloccata'); END"
        << 13;
}

void TestCassa::guastoLasciaTuttoComEra()
{
    QFETCH(QString, guasto);
    QFETCH(int, zona);
    DatabaseDiProva prova;
    preparaNegozio(prova);
    VisCarrello_frm finestra;
    prova.esegui(guasto);
    const QString prima = istantanea(prova);
    RegistroStampe stampe;
    RisponditoreDialoghi risponditore;
    risponditore.premi(QMessageBox::Yes);

    stampa(finestra);

    QCOMPARE(istantanea(prova), prima);
    QCOMPARE(stampe.documenti().size(), 0);
    QCOMPARE(risponditore.testi().size(), 2);
    QVERIFY2(risponditore.testi().at(1).startsWith(QStringLiteral("Si è verificato in zona %1:\n")
                                                       .arg(zona)),
             qPrintable(risponditore.testi().at(1)));
}

void TestCassa::elencoNonPiuAttuale()
{
    DatabaseDiProva prova;
    preparaNegozio(prova);
    RegistroStampe stampe;
    RisponditoreDialoghi risponditore;
    VisCarrello_frm finestra;
    risponditore.premi(QMessageBox::Yes);
    stampa(finestra);
    const QString dopoLaVendita = istantanea(prova);
    risponditore.azzera();

    // The list still shows the lines just sold: they must not be sold twice.
    risponditore.premi(QMessageBox::Yes);
    stampa(finestra);

    QCOMPARE(istantanea(prova), dopoLaVendita);
    QCOMPARE(stampe.documenti().size(), 1);
    QCOMPARE(risponditore.testi().size(), 2);
    QVERIFY(risponditore.testi().at(1).startsWith(
        QStringLiteral("Il carrello è cambiato dall'ultimo aggiornamento.")));
}

void TestCassa::numeriMaiRiusati()
{
    DatabaseDiProva prova;
    RegistroStampe stampe;
    RisponditoreDialoghi risponditore;
    VisCarrello_frm finestra;
    risponditore.premi(QMessageBox::Yes);
    stampa(finestra);
    QVERIFY(CancellaRicevuta(1));

    risponditore.premi(QMessageBox::Yes);
    stampa(finestra);

    QCOMPARE(prova.valore(QStringLiteral("SELECT codice FROM ricevuta")).toInt(), 2);
    QCOMPARE(stampe.documenti().size(), 2);
    QVERIFY(stampe.documenti().last().testi().at(2).endsWith(QStringLiteral(" Ricevuta n.: 2")));
}

QTEST_MAIN(TestCassa)
#include "tst_cassa.moc"
