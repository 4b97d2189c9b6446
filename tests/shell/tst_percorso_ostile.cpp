#include "counter/Ricevute_frm.h"
#include "counter/VisCarrello_frm.h"
#include "reports/Operazioni_frm.h"
#include "stock/AggCarrello_frm.h"
#include "stock/Prodotto_frm.h"
#include "stock/VisTipi_frm.h"
#include "support/immissioni.h"
#include "support/registro_stampe.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

// A hostile text as type code and article code, carried from the types
// window through a purchase, the stock, the cart and the checkout to the
// registers: every lookup finds it, every window shows it as typed.

class TestPercorsoOstile : public QObject
{
    Q_OBJECT

private slots:
    void venditaCompleta_data();
    void venditaCompleta();
};

void TestPercorsoOstile::venditaCompleta_data()
{
    QTest::addColumn<QString>("testo");
    for (const ValoreOstile &v : testiOstili()) {
        if (!v.testo.trimmed().isEmpty())
            QTest::newRow(qPrintable(v.nome)) << v.testo;
    }
    // The receipt cuts a code at 35 characters, here through an emoji.
    QTest::newRow("emoji al taglio") << QString(34, u'x') + QStringLiteral("🛒");
}

void TestPercorsoOstile::venditaCompleta()
{
    QFETCH(QString, testo);
    Banco banco;
    RegistroStampe stampe;
    {
        VisTipi_frm tipi;
        QVERIFY(mostra(tipi));
        incolla(campo(tipi, "Text1"), testo);
        premi(tipi, "Command3");
        QCOMPARE(griglia(tipi).first(), " 1|" + testo);
    }
    {
        Prodotto_frm acquisto;
        QVERIFY(mostra(acquisto));
        scegli(acquisto, testo);
        incolla(campo(acquisto, "Text1"), testo);
        campo(acquisto, "Text2")->setText(QStringLiteral("100"));
        campo(acquisto, "Text4")->setText(QStringLiteral("150"));
        campo(acquisto, "Text3")->setText(QStringLiteral("5"));
        premi(acquisto, "Command1");
        QCOMPARE(campo(acquisto, "Text1")->text(), QString());
    }
    {
        AggCarrello_frm scorte;
        QVERIFY(mostra(scorte));
        scegliDalMenu(scorte, testo);
        QCOMPARE(griglia(scorte).first(), testo + '|' + testo + "|150|5");
        banco.risponditore.scrivi(QStringLiteral("2"));
        doppioClic(scorte, 0);
    }
    {
        VisCarrello_frm carrello;
        QVERIFY(mostra(carrello));
        QCOMPARE(griglia(carrello).first(), testo + '|' + testo + "|150|2|300");
        banco.risponditore.premi(QMessageBox::Yes);
        premi(carrello, "Command3");
    }
    QCOMPARE(banco.risponditore.testi(),
             QStringList({"Aggiunta a carrello\nNumero di pezzi?",
                          "Vuoi scaricare i prodotti dal magazzino?", "Stampa completata"}));
    const QStringList stampate = stampe.documenti().first().testi();
    for (const QString &linea : stampate)
        QVERIFY2(linea.isValidUtf16(), qPrintable(linea));
    QVERIFY(stampate.at(8).startsWith(testo.left(34)));
    {
        Operazioni_frm operazioni;
        QVERIFY(mostra(operazioni));
        selettore(operazioni, "Combo2")->setCurrentIndex(1);
        scegli(operazioni, testo);
        premi(operazioni, "Command1");
        QCOMPARE(griglia(operazioni).size(), 2);
        QCOMPARE(griglia(operazioni).first().section(u'|', 2), testo + '|' + testo + "||150|-2");
    }
    {
        Ricevute_frm ricevute;
        QVERIFY(mostra(ricevute));
        premi(ricevute, "Command1");
        QCOMPARE(griglia(ricevute).first().section(u'|', 1), QStringLiteral("1|300"));
    }
    QCOMPARE(banco.db.righe(QStringLiteral("SELECT codice, pezzi FROM rimanenze")),
             QList<QVariantList>({{testo, 3}}));
    QCOMPARE(banco.db.valore(QStringLiteral("SELECT count(*) FROM carrello")).toInt(), 0);
    QCOMPARE(banco.registro.rapporti().size(), 0);
}

QTEST_MAIN(TestPercorsoOstile)
#include "tst_percorso_ostile.moc"
