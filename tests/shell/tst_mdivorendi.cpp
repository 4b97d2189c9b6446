#include "shell/MDIVorendi.h"
#include "support/database_di_prova.h"
#include "support/risponditore_dialoghi.h"

#include <QAction>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

class TestMDIVorendi : public QObject
{
    Q_OBJECT

private slots:
    void avvioSenzaFile()
    {
        DatabaseDiProva prova(DatabaseDiProva::Inizio::SenzaFile);
        RisponditoreDialoghi risponditore;
        MDIVorendi finestra;
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        QCOMPARE(risponditore.visti().size(), 1);
        const QString rapporto = risponditore.visti().first().testo;
        QVERIFY2(rapporto.startsWith(QStringLiteral("Si è verificato in zona 12:\nErrore n. 14 ")),
                 qPrintable(rapporto));
        QVERIFY(!QFileInfo::exists(prova.percorso()));
        QCOMPARE(finestra.windowTitle(), QStringLiteral("Vorendi v2.0"));

        QStringList voci;
        for (QAction *menu : finestra.menuBar()->actions()) {
            voci << menu->objectName() + u' ' + menu->text();
            for (QAction *voce : menu->menu()->actions())
                voci << "  " + voce->objectName() + u' ' + voce->text();
        }
        QCOMPARE(voci, QStringList({
            "file File", "  uscita Uscita",
            "magazz Magazzino", "  addart Aggiunta Articolo", "  addtipo Aggiunta Tipo",
            "visualizz Operazioni", "  addcarr Visualizza Prodotti / Rimanenze",
            "  svuotcar Visualizza Carrello / Stampa Ricevuta", "  ricvut Visualizza Ricevute",
            "  delprod Visualizza Operazioni",
            "statis Statistiche", "  contab Andamento Annuale", "  vendit Numero di Vendite",
            "helps ?", "  infoaz Informazioni Azienza", "  info Info"}));

        QList<QToolButton *> pulsanti = finestra.findChild<QToolBar *>("Toolbar1")
                                            ->findChildren<QToolButton *>(QRegularExpression("^Com"));
        std::sort(pulsanti.begin(), pulsanti.end(),
                  [](QToolButton *a, QToolButton *b) { return a->x() < b->x(); });
        QStringList strumenti;
        for (QToolButton *pulsante : pulsanti)
            strumenti << pulsante->objectName() + u' ' + pulsante->toolTip();
        QCOMPARE(strumenti, QStringList({"Command2 Aggiungi Prodotto", "Command3 Visualizza Operazioni",
                                         "Command1 Visualizza Ricevute", "Command5 Aggiungi a Carrello",
                                         "Command4 Visualizza Carrello", "Command6 "}));

        // "Uscita" closes the frame even with a dialog open.
        finestra.findChild<QAction *>("info")->trigger();
        finestra.findChild<QAction *>("uscita")->trigger();
        QVERIFY(!finestra.isVisible());
    }

    void unaFinestraPerComando_data()
    {
        QTest::addColumn<QString>("voce");
        QTest::addColumn<QString>("pulsante"); // the second command; the menu entry again if empty
        QTest::addColumn<QString>("finestra");
        QTest::newRow("Aggiunta Tipo") << "addtipo" << "" << "VisTipi_frm";
        QTest::newRow("Aggiunta Articolo") << "addart" << "Command2" << "Prodotto_frm";
        QTest::newRow("Prodotti / Rimanenze") << "addcarr" << "Command5" << "AggCarrello_frm";
        QTest::newRow("Carrello") << "svuotcar" << "Command4" << "VisCarrello_frm";
        QTest::newRow("Ricevute") << "ricvut" << "Command1" << "Ricevute_frm";
        QTest::newRow("Operazioni") << "delprod" << "Command3" << "Operazioni_frm";
        QTest::newRow("Statistiche") << "contab" << "" << "VisGrafico_frm";
        QTest::newRow("Informazioni Azienda") << "infoaz" << "Command6" << "Info_frm";
    }

    void unaFinestraPerComando()
    {
        QFETCH(QString, voce);
        QFETCH(QString, pulsante);
        QFETCH(QString, finestra);
        DatabaseDiProva prova;
        RisponditoreDialoghi risponditore;
        MDIVorendi principale;
        principale.show();
        QMdiArea *area = principale.areaLavoro();
        principale.findChild<QAction *>(voce)->trigger();
        QMdiSubWindow *prima = area->activeSubWindow();
        QVERIFY(prima);
        QCOMPARE(prima->widget()->objectName(), finestra);
        if (pulsante.isEmpty())
            principale.findChild<QAction *>(voce)->trigger();
        else
            principale.findChild<QToolButton *>(pulsante)->click();
        QCOMPARE(area->subWindowList(), QList<QMdiSubWindow *>{prima});
        QCOMPARE(area->activeSubWindow(), prima);
        // Once closed, the next command opens a new one.
        QPointer<QMdiSubWindow> chiusa = prima;
        chiusa->close();
        QTRY_VERIFY(!chiusa);
        principale.findChild<QAction *>(voce)->trigger();
        QCOMPARE(area->subWindowList().size(), 1);
        QVERIFY(risponditore.visti().isEmpty());
    }
};

QTEST_MAIN(TestMDIVorendi)
#include "tst_mdivorendi.moc"
