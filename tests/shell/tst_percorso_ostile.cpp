#include "counter/Ricevute_frm.h"
#include "counter/VisCarrello_frm.h"
#include "reports/Operazioni_frm.h"
#include "stock/AggCarrello_frm.h"
#include "stock/Prodotto_frm.h"
#include "stock/VisTipi_frm.h"
#include "support/database_di_prova.h"
#include "support/immissioni.h"
#include "support/registro_rapporti.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

// A hostile text as type code and article code, carried from the types
// window through a purchase, the stock, the cart and the checkout to the
// registers: every lookup finds it, every window shows it as typed.

namespace {

void premi(QWidget &f, const char *pulsante)
{
    QTest::mouseClick(f.findChild<QPushButton *>(QLatin1String(pulsante)), Qt::LeftButton);
}

QStringList riga(QWidget &f, int r)
{
    const QAbstractItemModel *m = f.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"))->model();
    QStringList celle;
    for (int c = 0; c < m->columnCount(); ++c)
        celle << m->index(r, c).data().toString();
    return celle;
}

void scegli(QWidget &f, const char *selettore, const QString &testo)
{
    auto *tipo = f.findChild<QComboBox *>(QLatin1String(selettore));
    tipo->setCurrentIndex(tipo->findText(testo));
}

template <typename Finestra>
std::unique_ptr<Finestra> apri()
{
    auto finestra = std::make_unique<Finestra>();
    finestra->show();
    if (!QTest::qWaitForWindowExposed(finestra.get()))
        qFatal("finestra non mostrata");
    return finestra;
}

} // namespace

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
    DatabaseDiProva prova;
    RegistroRapporti registro;
    RegistroStampe stampe;
    RisponditoreDialoghi risponditore;

    {
        auto tipi = apri<VisTipi_frm>();
        incolla(tipi->findChild<QLineEdit *>(QStringLiteral("Text1")), testo);
        premi(*tipi, "Command3");
        QCOMPARE(riga(*tipi, 0), QStringList({" 1", testo}));
    }
    {
        auto acquisto = apri<Prodotto_frm>();
        scegli(*acquisto, "Combo1", testo);
        incolla(acquisto->findChild<QLineEdit *>(QStringLiteral("Text1")), testo);
        acquisto->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("100"));
        acquisto->findChild<QLineEdit *>(QStringLiteral("Text4"))->setText(QStringLiteral("150"));
        acquisto->findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("5"));
        premi(*acquisto, "Command1");
        QCOMPARE(acquisto->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QString());
    }
    {
        auto scorte = apri<AggCarrello_frm>();
        auto *tipo = scorte->findChild<QComboBox *>(QStringLiteral("Combo1"));
        tipo->showPopup();
        QAbstractItemView *elenco = tipo->view();
        QTRY_VERIFY(elenco->isVisible());
        // Near the left end: a long entry is wider than the list.
        const QRect voce = elenco->visualRect(tipo->model()->index(0, 0));
        QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, QPoint(voce.left() + 5, voce.center().y()));
        QCOMPARE(riga(*scorte, 0), QStringList({testo, testo, "150", "5"}));
        risponditore.scrivi(QStringLiteral("2"));
        auto *griglia = scorte->findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
        const QPoint cella = griglia->visualRect(griglia->model()->index(0, 0)).center();
        QTest::mouseClick(griglia->viewport(), Qt::LeftButton, {}, cella);
        QTest::mouseDClick(griglia->viewport(), Qt::LeftButton, {}, cella);
    }
    {
        auto carrello = apri<VisCarrello_frm>();
        QCOMPARE(riga(*carrello, 0), QStringList({testo, testo, "150", "2", "300"}));
        risponditore.premi(QMessageBox::Yes);
        premi(*carrello, "Command3");
    }
    QCOMPARE(risponditore.testi(),
             QStringList({"Aggiunta a carrello\nNumero di pezzi?",
                          "Vuoi scaricare i prodotti dal magazzino?", "Stampa completata"}));
    const QStringList stampate = stampe.documenti().first().testi();
    for (const QString &linea : stampate)
        QVERIFY2(linea.isValidUtf16(), qPrintable(linea));
    QVERIFY(stampate.at(8).startsWith(testo.left(34)));
    {
        auto operazioni = apri<Operazioni_frm>();
        operazioni->findChild<QComboBox *>(QStringLiteral("Combo2"))->setCurrentIndex(1);
        scegli(*operazioni, "Combo1", testo);
        premi(*operazioni, "Command1");
        QCOMPARE(riga(*operazioni, 0).mid(2), QStringList({testo, testo, "", "150", "-2"}));
        QCOMPARE(riga(*operazioni, 1), QStringList(7, QString()));
    }
    {
        auto ricevute = apri<Ricevute_frm>();
        premi(*ricevute, "Command1");
        QCOMPARE(riga(*ricevute, 0).mid(1), QStringList({"1", "300"}));
    }
    QCOMPARE(prova.righe(QStringLiteral("SELECT codice, pezzi FROM rimanenze")),
             QList<QVariantList>({{testo, 3}}));
    QCOMPARE(prova.valore(QStringLiteral("SELECT count(*) FROM carrello")).toInt(), 0);
    QCOMPARE(registro.rapporti().size(), 0);
}

QTEST_MAIN(TestPercorsoOstile)
#include "tst_percorso_ostile.moc"
