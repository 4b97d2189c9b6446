#include "shell/MDIVorendi.h"
#include "support/database_di_prova.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QToolButton>

class TestComandiMagazzino : public QObject
{
    Q_OBJECT

private slots:
    void apronoUnaFinestraSola_data();
    void apronoUnaFinestraSola();
};

void TestComandiMagazzino::apronoUnaFinestraSola_data()
{
    QTest::addColumn<QString>("comando");
    QTest::addColumn<QString>("finestra");
    QTest::newRow("Aggiunta Tipo") << "addtipo" << "VisTipi_frm";
    QTest::newRow("Aggiunta Articolo") << "addart" << "Prodotto_frm";
    QTest::newRow("pulsante Aggiungi Prodotto") << "Command2" << "Prodotto_frm";
    QTest::newRow("Visualizza Prodotti / Rimanenze") << "addcarr" << "AggCarrello_frm";
    QTest::newRow("pulsante Aggiungi a Carrello") << "Command5" << "AggCarrello_frm";
}

void TestComandiMagazzino::apronoUnaFinestraSola()
{
    QFETCH(QString, comando);
    QFETCH(QString, finestra);
    DatabaseDiProva db;
    MDIVorendi principale;
    principale.show();

    auto avvia = [&] {
        if (auto *pulsante = principale.findChild<QToolButton *>(comando)) {
            QVERIFY(pulsante->isEnabled());
            QTest::mouseClick(pulsante, Qt::LeftButton);
        } else {
            auto *azione = principale.findChild<QAction *>(comando);
            QVERIFY(azione);
            QVERIFY(azione->isEnabled());
            azione->trigger();
        }
    };
    avvia();
    avvia();
    const QList<QMdiSubWindow *> sotto = principale.areaLavoro()->subWindowList();
    QCOMPARE(sotto.size(), 1);
    QCOMPARE(sotto.first()->widget()->objectName(), finestra);
    QCOMPARE(principale.areaLavoro()->activeSubWindow(), sotto.first());
}

QTEST_MAIN(TestComandiMagazzino)
#include "tst_comandi_magazzino.moc"
