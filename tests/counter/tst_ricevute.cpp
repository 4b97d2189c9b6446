#include "common/formati.h"
#include "counter/Ricevute_frm.h"
#include "counter/filtro_giorno.h"
#include "common/griglia.h"
#include "counter/tracciato.h"
#include "data/database_routines.h"
#include "data/ricevute.h"
#include "data/routine.h"
#include "shell/MDIVorendi.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

const QString DATA_NON_CORRETTA =
    QStringLiteral("Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA");

void ricevuta(const DatabaseDiProva &db, qint64 codice, const QString &iso, qint64 totale)
{
    db.esegui(QStringLiteral("INSERT INTO ricevuta (codice, dataop, totale) VALUES (?, ?, ?)"),
              {codice, iso, totale});
}

// The receipts used by most cases: out of order on purpose.
void riempi(const DatabaseDiProva &db)
{
    ricevuta(db, 4, "2000-12-05", 1500);
    ricevuta(db, 2, "2000-12-31", 0);
    ricevuta(db, 1234, "2000-12-05", 2500000);
    ricevuta(db, 3, "1999-01-10", 700);
}

// The window's grid as cells, the empty last row included.
QList<QStringList> celle(Ricevute_frm &f)
{
    auto *griglia = f.findChild<QTableView *>("MSFlexGrid1");
    const QAbstractItemModel *m = griglia->model();
    QList<QStringList> righe;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList riga;
        for (int c = 0; c < m->columnCount(); ++c)
            riga.append(m->index(r, c).data().toString());
        righe.append(riga);
    }
    return righe;
}

void premi(Ricevute_frm &f, const char *nome)
{
    f.findChild<QPushButton *>(nome)->click();
}

void aggiorna(Ricevute_frm &f, const QString &filtro)
{
    f.findChild<QLineEdit *>("Text1")->setText(filtro);
    premi(f, "Command1");
}

void vaiAllaRiga(Ricevute_frm &f, int riga)
{
    auto *griglia = f.findChild<QTableView *>("MSFlexGrid1");
    griglia->setCurrentIndex(griglia->model()->index(riga, 0));
}

QList<qint64> numeriSalvati(const DatabaseDiProva &db)
{
    QList<qint64> numeri;
    for (const QVariantList &r : db.righe("SELECT codice FROM ricevuta ORDER BY codice"))
        numeri.append(r.first().toLongLong());
    return numeri;
}

const QStringList VUOTA = {"", "", ""};

} // namespace

class TestRicevute : public QObject
{
    Q_OBJECT

private slots:
    void aggiungiEUltima();
    void numeriMaiRiusati();
    void ricevutaNellaTransazione();
    void routineSenzaFile();
    void filtroGiorno_data();
    void filtroGiorno();
    void finestraElementi();
    void aggiornaFiltro_data();
    void aggiornaFiltro();
    void filtroRifiutatoNonCambiaNulla_data();
    void filtroRifiutatoNonCambiaNulla();
    void cancella_data();
    void cancella();
    void cancellaFallitaLasciaLaRiga();
    void stampa();
    void stampaElencoVuoto();
    void comandoDelMenu();
};

void TestRicevute::aggiungiEUltima()
{
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    QCOMPARE(UltimaRicevuta(), 0);
    QVERIFY(AggiungiRicevuta(4500));
    QVERIFY(AggiungiRicevuta(0));
    const QList<QVariantList> righe =
        db.righe("SELECT codice, dataop, totale FROM ricevuta ORDER BY codice");
    QCOMPARE(righe.size(), 2);
    QCOMPARE(righe[0][1].toString(), QDate::currentDate().toString(Qt::ISODate));
    QCOMPARE(righe[0][2].toLongLong(), 4500);
    QCOMPARE(righe[1][2].toLongLong(), 0);
    QCOMPARE(UltimaRicevuta(), righe[1][0].toLongLong());
    QVERIFY(rapporti.rapporti().isEmpty());
    // The window refuses such a day before asking; the routine reports it.
    QVERIFY(!VisualizzaRicevute("30/02/2000"));
    QCOMPARE(rapporti.zone(), QList<int>{14});
}

void TestRicevute::numeriMaiRiusati()
{
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    qint64 primo = 0;
    qint64 secondo = 0;
    QVERIFY(eseguiRoutine(13, [&](Sessione &s) {
        primo = inserisciRicevuta(s, 100);
        secondo = inserisciRicevuta(s, 200);
    }));
    QCOMPARE(secondo, primo + 1);
    QVERIFY(CancellaRicevuta(secondo));
    QCOMPARE(UltimaRicevuta(), primo);
    qint64 terzo = 0;
    QVERIFY(eseguiRoutine(13, [&](Sessione &s) { terzo = inserisciRicevuta(s, 300); }));
    QVERIFY(terzo > secondo);
    QCOMPARE(UltimaRicevuta(), terzo);
}

void TestRicevute::ricevutaNellaTransazione()
{
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    // A failure after the receipt was written takes the receipt away too.
    QVERIFY(!eseguiRoutine(13, [](Sessione &s) {
        Transazione t(s);
        QVERIFY(inserisciRicevuta(s, 900, QDate(2001, 3, 4)) > 0);
        QCOMPARE(ultimaRicevuta(s), 1);
        fallisci(19, QStringLiteral("constraint failed"));
    }));
    QCOMPARE(rapporti.zone(), QList<int>{13});
    QCOMPARE(db.valore("SELECT COUNT(*) FROM ricevuta").toInt(), 0);
}

void TestRicevute::routineSenzaFile()
{
    DatabaseDiProva db(DatabaseDiProva::Inizio::SenzaFile);
    RegistroRapporti rapporti;
    QVERIFY(!AggiungiRicevuta(10));
    QVERIFY(!VisualizzaRicevute(QString()));
    QVERIFY(!CancellaRicevuta(1));
    QCOMPARE(UltimaRicevuta(), 0);
    QCOMPARE(rapporti.zone(), QList<int>({13, 14, 15, 23}));
    QVERIFY(!QFile::exists(db.percorso()));
}

void TestRicevute::filtroGiorno_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QDate>("atteso");
    QTest::newRow("05/12/2000") << "05/12/2000" << QDate(2000, 12, 5);
    QTest::newRow("31/12/2000") << "31/12/2000" << QDate(2000, 12, 31);
    QTest::newRow("01/01/0001") << "01/01/0001" << QDate(1, 1, 1);
    QTest::newRow("29/02/2000 bisestile") << "29/02/2000" << QDate(2000, 2, 29);
    QTest::newRow("giorno con spazio") << " 5/12/2000" << QDate(2000, 12, 5);
    QTest::newRow("32/01/2000") << "32/01/2000" << QDate();
    QTest::newRow("00/05/2000") << "00/05/2000" << QDate();
    QTest::newRow("05/13/2000") << "05/13/2000" << QDate();
    QTest::newRow("05/00/2000") << "05/00/2000" << QDate();
    QTest::newRow("9 caratteri") << "5/12/2000" << QDate();
    QTest::newRow("11 caratteri") << "05/12/20000" << QDate();
    QTest::newRow("trattini") << "05-12-2000" << QDate();
    QTest::newRow("anno 0000") << "10/05/0000" << QDate();
    QTest::newRow("lettere") << "aa/bb/cccc" << QDate();
    QTest::newRow("30/02/2000 non esiste") << "30/02/2000" << QDate();
    QTest::newRow("29/02/1999 non esiste") << "29/02/1999" << QDate();
    QTest::newRow("31/04/2000 non esiste") << "31/04/2000" << QDate();
    QTest::newRow("mezzo giorno") << ".5/12/2000" << QDate();
}

void TestRicevute::filtroGiorno()
{
    QFETCH(QString, testo);
    QFETCH(QDate, atteso);
    const std::optional<QDate> letto = leggiGiornoFiltro(testo);
    QCOMPARE(letto.value_or(QDate()), atteso);
}

void TestRicevute::finestraElementi()
{
    DatabaseDiProva db;
    riempi(db);
    Ricevute_frm f;
    QCOMPARE(f.objectName(), "Ricevute_frm");
    QCOMPARE(f.windowTitle(), "Visualizzazione Ricevute");
    QCOMPARE(f.findChild<QLabel *>("Label1")->text(), "Ricerca per giorno:");
    QCOMPARE(f.findChild<QPushButton *>("Command1")->text(), "Aggiorna");
    QCOMPARE(f.findChild<QPushButton *>("Command2")->text(), "Cancella");
    QCOMPARE(f.findChild<QPushButton *>("Command3")->text(), "Stampa");
    auto *griglia = f.findChild<QTableView *>("MSFlexGrid1");
    const QAbstractItemModel *m = griglia->model();
    QCOMPARE(m->columnCount(), 3);
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), "Data");
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), "n. Ricevuta");
    QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), "Totale");
    // Empty until the first "Aggiorna".
    QCOMPARE(celle(f), QList<QStringList>{VUOTA});
}

void TestRicevute::aggiornaFiltro_data()
{
    QTest::addColumn<QString>("filtro");
    QTest::addColumn<QList<QStringList>>("attese");
    QTest::newRow("tutte per data e numero")
        << ""
        << QList<QStringList>{{"10/01/1999", "3", "700"},
                              {"05/12/2000", "4", "1.500"},
                              {"05/12/2000", "1.234", "2.500.000"},
                              {"31/12/2000", "2", ""},
                              VUOTA};
    QTest::newRow("un giorno") << "05/12/2000"
                               << QList<QStringList>{{"05/12/2000", "4", "1.500"},
                                                     {"05/12/2000", "1.234", "2.500.000"},
                                                     VUOTA};
    QTest::newRow("totale 0 vuoto") << "31/12/2000"
                                    << QList<QStringList>{{"31/12/2000", "2", ""}, VUOTA};
    QTest::newRow("giorno senza ricevute") << "01/01/2000" << QList<QStringList>{VUOTA};
}

void TestRicevute::aggiornaFiltro()
{
    QFETCH(QString, filtro);
    QFETCH(QList<QStringList>, attese);
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    RisponditoreDialoghi risposte;
    riempi(db);
    Ricevute_frm f;
    aggiorna(f, filtro);
    QCOMPARE(celle(f), attese);
    QVERIFY(risposte.visti().isEmpty());
    QVERIFY(rapporti.rapporti().isEmpty());
    QCOMPARE(f.findChild<QLineEdit *>("Text1")->text(), filtro);
}

void TestRicevute::filtroRifiutatoNonCambiaNulla_data()
{
    QTest::addColumn<QString>("filtro");
    // The rule itself is tested on its own above; here what the window does with it.
    for (const char *testo : {"05/13/2000", "5/12/2000", "30/02/2000"})
        QTest::newRow(testo) << QString::fromLatin1(testo);
}

void TestRicevute::filtroRifiutatoNonCambiaNulla()
{
    QFETCH(QString, filtro);
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    RisponditoreDialoghi risposte;
    riempi(db);
    Ricevute_frm f;
    aggiorna(f, "05/12/2000");
    const QList<QStringList> prima = celle(f);
    aggiorna(f, filtro);
    QCOMPARE(risposte.testi(), QStringList{DATA_NON_CORRETTA});
    QCOMPARE(risposte.visti().first().pulsanti, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(risposte.visti().first().titolo, "Vorendi");
    QCOMPARE(risposte.visti().first().icona, QMessageBox::NoIcon);
    QCOMPARE(celle(f), prima);
    QVERIFY(rapporti.rapporti().isEmpty());
}

void TestRicevute::cancella_data()
{
    QTest::addColumn<int>("riga");
    QTest::addColumn<int>("risposta");
    QTest::addColumn<QString>("domanda");
    QTest::addColumn<QList<qint64>>("restano");
    QTest::addColumn<int>("righeGriglia");
    const QString chiedi = QStringLiteral("Si sta tentando di cancellare la ricevuta n.:\n%1\nContinuare?");
    QTest::newRow("sì") << 1 << int(QMessageBox::Yes) << chiedi.arg("4")
                        << QList<qint64>{2, 3, 1234} << 4;
    QTest::newRow("sì, numero raggruppato") << 2 << int(QMessageBox::Yes) << chiedi.arg("1.234")
                                            << QList<qint64>{2, 3, 4} << 4;
    QTest::newRow("no") << 1 << int(QMessageBox::No) << chiedi.arg("4")
                        << QList<qint64>{2, 3, 4, 1234} << 5;
    QTest::newRow("riga vuota") << 4 << int(QMessageBox::Yes) << chiedi.arg("")
                                << QList<qint64>{2, 3, 4, 1234} << 5;
}

void TestRicevute::cancella()
{
    QFETCH(int, riga);
    QFETCH(int, risposta);
    QFETCH(QString, domanda);
    QFETCH(QList<qint64>, restano);
    QFETCH(int, righeGriglia);
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    RisponditoreDialoghi risposte;
    riempi(db);
    Ricevute_frm f;
    aggiorna(f, QString());
    const QList<QStringList> prima = celle(f);
    vaiAllaRiga(f, riga);
    risposte.premi(QMessageBox::StandardButton(risposta));
    premi(f, "Command2");
    QCOMPARE(risposte.testi(), QStringList{domanda});
    QCOMPARE(risposte.visti().first().pulsanti, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(numeriSalvati(db), restano);
    const QList<QStringList> dopo = celle(f);
    QCOMPARE(dopo.size(), righeGriglia);
    if (righeGriglia < prima.size()) {
        QList<QStringList> attese = prima;
        attese.removeAt(riga);
        QCOMPARE(dopo, attese);
    }
    QVERIFY(rapporti.rapporti().isEmpty());
}

void TestRicevute::cancellaFallitaLasciaLaRiga()
{
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    RisponditoreDialoghi risposte;
    riempi(db);
    Ricevute_frm f;
    aggiorna(f, QString());
    const QList<QStringList> prima = celle(f);
    QFile::remove(db.percorso());
    vaiAllaRiga(f, 0);
    risposte.premi(QMessageBox::Yes);
    premi(f, "Command2");
    QCOMPARE(rapporti.zone(), QList<int>{15});
    QCOMPARE(celle(f), prima);
}

void TestRicevute::stampa()
{
    DatabaseDiProva db;
    RegistroStampe stampe;
    RisponditoreDialoghi risposte;
    riempi(db);
    db.esegui("UPDATE \"generalità\" SET nome='Bottega', info1='Via Roma 1', info2='Torino',"
              " info3='', info4='Tel. 011'");
    Ricevute_frm f;
    aggiorna(f, QString());
    premi(f, "Command3");
    QCOMPARE(stampe.documenti().size(), 1);
    const DocumentoStampato d = stampe.documenti().first();
    const QString separatore(108, QChar(0x2014));
    const QString spazi30(30, u' ');
    const QStringList attese = {
        separatore,
        "Bottega" + QString(43, u' ') + " Data Operazione: " + dataOggi(),
        "Via Roma 1" + QString(40, u' '),
        "Torino",
        "",
        "Tel. 011",
        separatore,
        "Data        Ricevuta      Totale",
        "10/01/1999  3" + QString(11, u' ') + "700" + QString(12, u' '),
        "05/12/2000  4" + QString(11, u' ') + "1.500" + QString(10, u' '),
        "05/12/2000  1.234" + QString(7, u' ') + "2.500.000" + QString(6, u' '),
        // An empty total cell is a total of 0.
        "31/12/2000  2" + QString(11, u' ') + QString(15, u' '),
        separatore,
        "Elementi: 4      Totale: 2.502.200",
    };
    QCOMPARE(d.testi(), attese);
    QCOMPARE(d.righe[7].grassetto, true);
    QCOMPARE(d.righe[8].grassetto, false);
    QVERIFY(d.concluso);
    QCOMPARE(risposte.testi(), QStringList{"Stampa completata"});
}

void TestRicevute::stampaElencoVuoto()
{
    DatabaseDiProva db;
    RegistroStampe stampe;
    RisponditoreDialoghi risposte;
    Ricevute_frm f;
    premi(f, "Command3");
    aggiorna(f, QString());
    premi(f, "Command3");
    QCOMPARE(stampe.documenti().size(), 2);
    for (const DocumentoStampato &d : stampe.documenti()) {
        QCOMPARE(d.righe.size(), 10);
        QCOMPARE(d.testi().mid(7), QStringList({"Data        Ricevuta      Totale",
                                                QString(108, QChar(0x2014)),
                                                "Elementi: 0      Totale: "}));
    }
}

void TestRicevute::comandoDelMenu()
{
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    MDIVorendi principale;
    auto *ricvut = principale.findChild<QAction *>("ricvut");
    auto *pulsante = principale.findChild<QToolButton *>("Command1");
    QVERIFY(ricvut->isEnabled());
    QVERIFY(pulsante->isEnabled());
    QCOMPARE(pulsante->toolTip(), "Visualizza Ricevute");
    ricvut->trigger();
    QWidget *prima = principale.areaLavoro()->activeSubWindow()->widget();
    QCOMPARE(prima->objectName(), "Ricevute_frm");
    pulsante->click();
    QCOMPARE(principale.areaLavoro()->subWindowList().size(), 1);
    QCOMPARE(principale.areaLavoro()->activeSubWindow()->widget(), prima);
}

QTEST_MAIN(TestRicevute)
#include "tst_ricevute.moc"
