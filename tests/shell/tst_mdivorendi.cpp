#include "shell/Info_frm.h"
#include "shell/MDIVorendi.h"
#include "support/database_di_prova.h"
#include "support/risponditore_dialoghi.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

class TestMDIVorendi : public QObject
{
    Q_OBJECT

private slots:
    void avvioSenzaFile();
    void menu_data();
    void menu();
    void barraStrumenti_data();
    void barraStrumenti();
    void unaSolaIstanzaPerFinestra();
    void uscitaChiudeTutto();
};

void TestMDIVorendi::avvioSenzaFile()
{
    DatabaseDiProva prova(DatabaseDiProva::Inizio::SenzaFile);
    RisponditoreDialoghi risponditore;

    MDIVorendi finestra;

    QCOMPARE(risponditore.visti().size(), 1);
    const RisponditoreDialoghi::Dialogo &rapporto = risponditore.visti().first();
    QVERIFY2(rapporto.testo.startsWith(QStringLiteral("Si è verificato in zona 12:\nErrore n. 14 ")),
             qPrintable(rapporto.testo));
    QCOMPARE(rapporto.titolo, QStringLiteral("Vorendi"));
    QCOMPARE(rapporto.pulsanti, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(rapporto.icona, QMessageBox::NoIcon);
    QVERIFY(!QFileInfo::exists(prova.percorso()));

    QCOMPARE(finestra.windowTitle(), QStringLiteral("Vorendi v2.0"));
    QVERIFY(!finestra.windowIcon().isNull());
    QVERIFY(finestra.findChild<QStatusBar *>(QStringLiteral("Barra")));
    QVERIFY(finestra.areaLavoro()->subWindowList().isEmpty());
}

void TestMDIVorendi::menu_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("testo");
    const QList<QStringList> voci = {
        {"", "file", "File"},
        {"file", "uscita", "Uscita"},
        {"", "magazz", "Magazzino"},
        {"magazz", "addart", "Aggiunta Articolo"},
        {"magazz", "addtipo", "Aggiunta Tipo"},
        {"", "visualizz", "Operazioni"},
        {"visualizz", "addcarr", "Visualizza Prodotti / Rimanenze"},
        {"visualizz", "svuotcar", "Visualizza Carrello / Stampa Ricevuta"},
        {"visualizz", "ricvut", "Visualizza Ricevute"},
        {"visualizz", "delprod", "Visualizza Operazioni"},
        {"", "statis", "Statistiche"},
        {"statis", "contab", "Andamento Annuale"},
        {"statis", "vendit", "Numero di Vendite"},
        {"", "helps", "?"},
        {"helps", "infoaz", "Informazioni Azienza"},
        {"helps", "info", "Info"},
    };
    for (const QStringList &v : voci)
        QTest::newRow(qPrintable(v[1])) << v[0] << v[1] << v[2];
}

void TestMDIVorendi::menu()
{
    QFETCH(QString, menu);
    QFETCH(QString, nome);
    QFETCH(QString, testo);
    DatabaseDiProva prova;
    MDIVorendi finestra;

    QList<QAction *> azioni;
    if (menu.isEmpty()) {
        azioni = finestra.menuBar()->actions();
    } else {
        auto *contenitore = finestra.findChild<QMenu *>(menu);
        QVERIFY(contenitore);
        azioni = contenitore->actions();
    }
    const auto trovata = std::find_if(azioni.cbegin(), azioni.cend(),
                                      [&](QAction *a) { return a->objectName() == nome; });
    QVERIFY2(trovata != azioni.cend(), qPrintable(nome));
    QCOMPARE((*trovata)->text(), testo);
}

void TestMDIVorendi::barraStrumenti_data()
{
    QTest::addColumn<int>("posizione");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("suggerimento");
    QTest::addColumn<int>("larghezza");
    QTest::newRow("1") << 0 << "Command2" << "Aggiungi Prodotto" << 33;
    QTest::newRow("2") << 1 << "Command3" << "Visualizza Operazioni" << 33;
    QTest::newRow("3") << 2 << "Command1" << "Visualizza Ricevute" << 33;
    QTest::newRow("4") << 3 << "Command5" << "Aggiungi a Carrello" << 33;
    QTest::newRow("5") << 4 << "Command4" << "Visualizza Carrello" << 33;
    QTest::newRow("6") << 5 << "Command6" << "" << 25;
}

void TestMDIVorendi::barraStrumenti()
{
    QFETCH(int, posizione);
    QFETCH(QString, nome);
    QFETCH(QString, suggerimento);
    QFETCH(int, larghezza);
    DatabaseDiProva prova;
    MDIVorendi finestra;

    auto *barra = finestra.findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    QVERIFY(barra);
    const QList<QToolButton *> pulsanti = barra->findChildren<QToolButton *>(
        QRegularExpression(QStringLiteral("^Command\\d$")));
    QCOMPARE(pulsanti.size(), 6);
    QList<QToolButton *> ordinati = pulsanti;
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    std::sort(ordinati.begin(), ordinati.end(),
              [](QToolButton *a, QToolButton *b) { return a->x() < b->x(); });
    QToolButton *pulsante = ordinati.at(posizione);
    QCOMPARE(pulsante->objectName(), nome);
    QCOMPARE(pulsante->toolTip(), suggerimento);
    QCOMPARE(pulsante->width(), larghezza);
    QCOMPARE(pulsante->height(), 25);
    QVERIFY(!pulsante->icon().isNull());
}

void TestMDIVorendi::unaSolaIstanzaPerFinestra()
{
    DatabaseDiProva prova;
    MDIVorendi finestra;
    finestra.show();

    finestra.findChild<QAction *>(QStringLiteral("infoaz"))->trigger();
    auto *prima = finestra.findChild<Info_frm *>(QStringLiteral("Info_frm"));
    QVERIFY(prima);
    prima->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("non salvato"));

    QTest::mouseClick(finestra.findChild<QToolButton *>(QStringLiteral("Command6")), Qt::LeftButton);
    finestra.findChild<QAction *>(QStringLiteral("infoaz"))->trigger();

    QCOMPARE(finestra.findChildren<Info_frm *>().size(), 1);
    QCOMPARE(finestra.findChild<Info_frm *>(), prima);
    QCOMPARE(finestra.areaLavoro()->subWindowList().size(), 1);
    // Shown again, not loaded again: what the user typed is still there.
    QCOMPARE(prima->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(),
             QStringLiteral("non salvato"));

    // Once closed, the next command loads a new one.
    finestra.areaLavoro()->subWindowList().first()->close();
    QTRY_COMPARE(finestra.findChildren<Info_frm *>().size(), 0);
    finestra.findChild<QAction *>(QStringLiteral("infoaz"))->trigger();
    QCOMPARE(finestra.findChildren<Info_frm *>().size(), 1);
}

void TestMDIVorendi::uscitaChiudeTutto()
{
    DatabaseDiProva prova;
    MDIVorendi finestra;
    finestra.show();
    finestra.findChild<QAction *>(QStringLiteral("infoaz"))->trigger();
    finestra.findChild<QAction *>(QStringLiteral("info"))->trigger();

    finestra.findChild<QAction *>(QStringLiteral("uscita"))->trigger();

    QVERIFY(!finestra.isVisible());
}

QTEST_MAIN(TestMDIVorendi)
#include "tst_mdivorendi.moc"
