#include "common/formati.h"
#include "counter/VisCarrello_frm.h"
#include "data/database_routines.h"
#include "reports/Operazioni_frm.h"
#include "support/immissioni.h"
#include "support/registro_stampe.h"

#include <QComboBox>
#include <QDate>
#include <QTest>

// A hostile text as type code and article code, bought and put in the cart,
// then sold at the checkout and found in the register: every lookup finds
// it, every window shows it as stored.

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
}

void TestPercorsoOstile::venditaCompleta()
{
    QFETCH(QString, testo);
    Banco banco;
    RegistroStampe stampe;
    QVERIFY(AggiungiTipo(testo));
    QVERIFY(RegistraProdotto(testo, testo, 100, 150, 5, OPERAZIONE_ACQUISTO, QDate::currentDate()));
    QVERIFY(AggiungiCarrello(testo, 2) == EsitoCarrello::Aggiunto);
    {
        VisCarrello_frm carrello;
        QVERIFY(mostra(carrello));
        QCOMPARE(griglia(carrello).first(), testo + '|' + testo + "|150|2|300");
        banco.risponditore.premi(QMessageBox::Yes);
        premi(carrello, "Command3");
    }
    QCOMPARE(banco.risponditore.testi(),
             QStringList({"Vuoi scaricare i prodotti dal magazzino?", "Stampa completata"}));
    QVERIFY(stampe.documenti().first().testi().at(8).startsWith(testo.left(34)));
    Operazioni_frm operazioni;
    QVERIFY(mostra(operazioni));
    selettore(operazioni, "Combo2")->setCurrentIndex(1);
    scegli(operazioni, testo);
    premi(operazioni, "Command1");
    QCOMPARE(griglia(operazioni).size(), 2);
    QCOMPARE(griglia(operazioni).first().section(u'|', 2), testo + '|' + testo + "||150|-2");
    QCOMPARE(banco.db.righe(QStringLiteral("SELECT codice, pezzi FROM rimanenze")),
             QList<QVariantList>({{testo, 3}}));
    QCOMPARE(banco.db.valore(QStringLiteral("SELECT count(*) FROM carrello")).toInt(), 0);
    QCOMPARE(banco.registro.rapporti().size(), 0);
}

QTEST_MAIN(TestPercorsoOstile)
#include "tst_percorso_ostile.moc"
