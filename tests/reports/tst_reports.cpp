#include "common/formati.h"
#include "reports/Operazioni_frm.h"
#include "reports/VisGrafico_frm.h"
#include "reports/grafico_statistiche.h"
#include "shell/avvio.h"
#include "support/banco.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

using G = GraficoStatistiche;

namespace {

const int ANNO = QDate::currentDate().year();
const QString VUOTA = QStringLiteral("||||||");

// Out of order on purpose; type 4 was deleted after its movement.
void riempi(const Banco &b)
{
    b.esegui("INSERT INTO tipo (id, codice) VALUES (1, 'Viti'), (2, 'Bulloni'), (3, 'Dadi ''M8''')");
    b.esegui("INSERT INTO prodotto VALUES (1, 1, 'V-200', 1500, 800, 10, 1, '2000-12-31'),"
             " (2, 2, 'B-10', 300, 120, 100, 1, '2000-01-01'), (3, 2, 'V-100', 1200, 700, 5, 1, '2000-12-31'),"
             " (4, 3, 'D''8', 50, 20, 1000, 1, '2000-12-31'), (5, 4, 'X-1', 999, 500, 2, 1, '2000-06-15'),"
             " (6, 1, 'V-100', 1200, 0, -3, 2, '2000-12-31'), (7, 2, 'B-10', 300, 0, -7, 2, '2001-02-03'),"
             " (9, 1, 'V-100', 2000, 1000, 1, 1, '2000-12-31')");
}

const QString M1 = "1|31/12/2000|V-200|Viti|800|1.500|10", M2 = "2|01/01/2000|B-10|Bulloni|120|300|100",
              M3 = "3|31/12/2000|V-100|Bulloni|700|1.200|5", M4 = "4|31/12/2000|D'8|Dadi 'M8'|20|50|1000",
              M5 = "5|15/06/2000|X-1||500|999|2", M6 = "6|31/12/2000|V-100|Viti||1.200|-3",
              M7 = "7|03/02/2001|B-10|Bulloni||300|-7", M9 = "9|31/12/2000|V-100|Viti|1.000|2.000|1";

// Count, sales total, purchases total.
QString etichette(const QWidget &f)
{
    return etichetta(f, "Label1") + u'|' + etichetta(f, "Label2") + u'|' + etichetta(f, "Label8");
}

// The kind (-1 unchosen), a type picked or typed, a day; then "Aggiorna".
void aggiorna(const QWidget &f, int operazione, const QString &tipo = {}, const QString &giorno = {})
{
    auto *tipi = elemento<QComboBox>(f, "Combo1");
    if (tipi->findText(tipo) >= 0 && !tipo.isEmpty())
        tipi->setCurrentIndex(tipi->findText(tipo));
    else if (!tipo.isEmpty())
        tipi->setEditText(tipo);
    elemento<QComboBox>(f, "Combo2")->setCurrentIndex(operazione);
    elemento(f, "Text1")->setText(giorno);
    premi(f, "Command1");
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    // After listing the sales: kind and day stay, the type list goes back
    // to its prompt unless the day was refused, which changes nothing.
    void operazioni_data()
    {
        QTest::addColumn<int>("operazione");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("giorno");
        QTest::addColumn<QStringList>("righe"); // empty: refused, the sales stay
        QTest::addColumn<QString>("totali");
        QTest::newRow("acquisti per data, codice, tipo") << 0 << "" << "" << QStringList{M2, M5, M4, M9, M3, M1, VUOTA}
                                                         << "6|104.998|45.500";
        // Sales carry negative pieces: a negative total, purchases 0 and so empty.
        QTest::newRow("vendite") << 1 << "" << "" << QStringList{M6, M7, VUOTA} << "2|-5.700|";
        QTest::newRow("un tipo in minuscole") << 0 << "viti" << "" << QStringList{M9, M1, VUOTA} << "2|17.000|9.000";
        QTest::newRow("un tipo con apici") << 0 << "Dadi 'M8'" << "" << QStringList{M4, VUOTA} << "1|50.000|20.000";
        QTest::newRow("un nome che non è un tipo") << 0 << "%'_" << "02/01/2000" << QStringList{VUOTA} << "0||";
        QTest::newRow("un giorno") << 0 << "" << "31/12/2000" << QStringList{M4, M9, M3, M1, VUOTA} << "4|73.000|32.500";
        QTest::newRow("vendite di un tipo in un giorno") << 1 << "Viti" << "31/12/2000" << QStringList{M6, VUOTA} << "1|-3.600|";
        for (const char *giorno : {"1/1/2000", "32/01/2000", "29/02/2001", "'%_"})
            QTest::newRow(giorno) << 0 << "Bulloni" << giorno << QStringList{} << "2|-5.700|";
        QTest::newRow("nessun tipo di operazione") << -1 << "Bulloni" << "" << QStringList{} << "2|-5.700|";
    }

    void operazioni()
    {
        QFETCH(int, operazione);
        QFETCH(QString, tipo);
        QFETCH(QString, giorno);
        QFETCH(QStringList, righe);
        QFETCH(QString, totali);
        Banco b;
        riempi(b);
        const QByteArray file = b.byte();
        Operazioni_frm f;
        aggiorna(f, 1);
        b.rispondi(QStringList(righe.isEmpty(), "Ok"));
        aggiorna(f, operazione, tipo, giorno);
        const QString rifiuto = operazione < 0 ? "Attenzione, specificare il tipo di operazione"
                                               : "Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA";
        QCOMPARE(b.testi(), righe.isEmpty() ? QStringList{rifiuto} : QStringList{});
        QCOMPARE(griglia(f), righe.isEmpty() ? QStringList({M6, M7, VUOTA}) : righe);
        QCOMPARE(etichette(f), totali);
        QCOMPARE(elemento<QComboBox>(f, "Combo2")->currentIndex(), operazione);
        QCOMPARE(elemento(f, "Text1")->text(), giorno);
        QCOMPARE(elemento<QComboBox>(f, "Combo1")->currentText(), righe.isEmpty() && operazione >= 0 ? tipo : ">>> Seleziona TIPO <<<");
        QVERIFY(b.rapporti.isEmpty() && b.byte() == file);
    }

    // Cancella: No, the empty row, Yes, then with the file gone; the labels
    // follow the list, the stock is not given back. Then the printout.
    void cancellaEStampa()
    {
        Banco b;
        riempi(b);
        b.esegui("UPDATE \"generalità\" SET nome='Bottega', info1='Via Roma 1', info2='Torino', info3='', info4='Tel'");
        b.esegui("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('D''8', 3, 1000, 50)");
        Operazioni_frm f;
        aggiorna(f, 0);
        QStringList righe{M2, M5, M4, M9, M3, M1, VUOTA};
        for (const auto &[riga, risposta, codice] : {std::tuple{2, "No", "D'8"}, {6, "Si", ""}, {2, "Si", "D'8"}}) {
            premi(f, b, "Command2", riga, {risposta});
            QCOMPARE(b.testi(), QStringList{"Si sta tentando di cancellare il prodotto:\n" + QString(codice)
                                            + "\nIl magazzino e le altre registrazioni non vengono modificati.\nContinuare?"});
            QCOMPARE(b.visti.first().predefinito, QMessageBox::No);
        }
        righe.removeAt(2);
        QCOMPARE(griglia(f), righe);
        QCOMPARE(etichette(f), "5|54.998|25.500");
        QCOMPARE(b.valore("SELECT group_concat(id) FROM (SELECT id FROM prodotto ORDER BY id)").toString(), "1,2,3,5,6,7,9");
        QCOMPARE(b.valore("SELECT pezzi FROM rimanenze").toInt(), 1000);
        const Orologio sistema = installaOrologio([] { return QDate(2026, 12, 31); });
        premi(f, b, "Command3", -1, {"Ok"});
        installaOrologio(sistema);
        const DocumentoStampato d = b.stampe().first();
        const auto sp = [](int n) { return QString(n, u' '); };
        const QString sep(108, QChar(0x2014));
        QCOMPARE(d.testi().mid(1, 2), QStringList({"Bottega" + sp(43) + " Data Operazione: 31/12/2026", "Via Roma 1"}));
        // A cell is its text and its blanks, cut to the field: code 30 and 35,
        // type 15 and 15, prices 10 and 13.
        QCOMPARE(d.testi().mid(6), QStringList({sep,
            "Data         Codice articolo                    Tipo articolo  Prezzo Acq.  Prezzo Ven.  Pezzi",
            "01/01/2000   B-10" + sp(30) + "Bulloni" + sp(8) + "120" + sp(10) + "300" + sp(10) + "100",
            "15/06/2000   X-1" + sp(45) + "500" + sp(10) + "999" + sp(10) + "2",
            "31/12/2000   V-100" + sp(30) + "Viti" + sp(11) + "1.000" + sp(8) + "2.000" + sp(8) + "1",
            "31/12/2000   V-100" + sp(30) + "Bulloni" + sp(8) + "700" + sp(10) + "1.200" + sp(8) + "5",
            "31/12/2000   V-200" + sp(30) + "Viti" + sp(11) + "800" + sp(10) + "1.500" + sp(8) + "10",
            sep, "Elementi: 5      Totale Vendite: 54.998      Totale Acquisti: 25.500"}));
        for (int i = 0; i < d.righe.size(); ++i)
            QCOMPARE(d.righe[i].grassetto, i == 7);
        QCOMPARE(b.testi(), QStringList{"Stampa completata"});
        b.guasta(true);
        premi(f, b, "Command2", 0, {"Si"});
        QCOMPARE(b.zone(), QList<int>{22});
        QCOMPARE(griglia(f), righe);
    }

    // Through the menus: values, then counts in the same window, another
    // year; hovering a month's name shows its figures.
    void statistiche()
    {
        Banco b;
        // Five pieces sold in May: one sale, its price once.
        b.esegui(QStringLiteral("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto, pezzi, operazione,"
                                " dataop) VALUES (1, 'A', 1, 1000, 1, 1, '%1-03-04'), (1, 'A', 1500, 0, -1, 2, '%1-03-20'),"
                                " (1, 'A', 1, 1000, 1, 1, '%1-05-02'), (1, 'A', 500, 0, -5, 2, '%1-05-03'),"
                                " (1, 'A', 1, 700, 1, 1, '%1-12-31'), (1, 'A', 1, 800, 1, 1, '2001-12-01'),"
                                " (1, 'A', 1, 800, 1, 1, '2001-12-02'), (1, 'A', 950, 0, -3, 2, '2001-12-31')").arg(ANNO));
        const auto principale = avviaVorendi(configurazione());
        // The figures shown while the pointer is over a month's name.
        const auto mese = [&](int m) {
            QLabel *nome = principale->findChild<QLabel *>(QStringLiteral("Mese_lbl_%1").arg(m));
            QMouseEvent passaggio(QEvent::MouseMove, {3, 3}, nome->mapToGlobal(QPointF(3, 3)), Qt::NoButton, {}, {});
            QCoreApplication::sendEvent(nome, &passaggio);
            QStringList t;
            for (const char *nome : {"Label6", "Label7", "Label8", "Label9", "Label10", "Label11"})
                t << etichetta(*principale, nome);
            return t.join(u'|');
        };
        principale->findChild<QAction *>("contab")->trigger();
        auto *f = qobject_cast<VisGrafico_frm *>(principale->areaLavoro()->activeSubWindow()->widget());
        QCOMPARE(elemento(*principale, "Text1")->text(), QString::number(ANNO));
        QCOMPARE(mese(2), "Totale Spese:|1.000|Totale vendite:|1.500|Tot. Guadagno:|500");
        QCOMPARE(mese(4), "Totale Spese:|1.000|Totale vendite:|500|Tot. Guadagno:|-500");
        QCOMPARE(mese(3), "Totale Spese:||Totale vendite:||Tot. Guadagno:|");
        QCOMPARE(G::BASE_Y - f->grafico().barra(2, G::Vendite).cima.y(), 4000.0);
        QCOMPARE(f->grafico().barra(4, G::Differenza).colore, QColor(128, 0, 128));
        principale->findChild<QAction *>("vendit")->trigger(); // the same window, recomputed
        QCOMPARE(mese(4), "Num. acquisti:|1|Num. vendite:|1|Differenza:|");
        elemento(*principale, "Text1")->setText("2001");
        premi(*principale, "Command1");
        QCOMPARE(mese(11), "Num. acquisti:|2|Num. vendite:|1|Differenza:|-1");
        QCOMPARE(G::BASE_Y - f->grafico().barra(11, G::Vendite).cima.y(), 2000.0);
        // A year with no movements, or no year: no purple December lingers.
        for (const char *anno : {"abc", "19x"}) {
            elemento(*principale, "Text1")->setText(anno);
            premi(*principale, "Command1");
            QCOMPARE(f->grafico().barra(11, G::Differenza).colore, QColor(255, 128, 0));
            QCOMPARE(mese(11), "Num. acquisti:||Num. vendite:||Differenza:|");
        }
        QCOMPARE(principale->areaLavoro()->subWindowList().size(), 1);
        QVERIFY(b.rapporti.isEmpty());
    }

    // Bars over a chart that showed purple months, which must not linger.
    void barre_data()
    {
        QTest::addColumn<int>("mese");
        QTest::addColumn<qint64>("acquisti");
        QTest::addColumn<qint64>("vendite");
        QTest::addColumn<QList<double>>("altezze"); // purchases, sales, difference
        QTest::addColumn<bool>("viola");
        QTest::newRow("marzo") << 2 << qint64(1000) << qint64(1500) << QList<double>{2666.667, 4000, 1333.333} << false;
        QTest::newRow("acquisti oltre vendite") << 0 << qint64(2000) << qint64(500) << QList<double>{4000, 1000, 3000} << true;
        QTest::newRow("pareggio") << 11 << qint64(700) << qint64(700) << QList<double>{4000, 4000, 0} << false;
        QTest::newRow("oltre 32 bit") << 7 << qint64(3000000000LL) << qint64(9000000000LL)
                                      << QList<double>{1333.333, 4000, 2666.667} << false;
    }

    void barre()
    {
        QFETCH(int, mese);
        QFETCH(qint64, acquisti);
        QFETCH(qint64, vendite);
        QFETCH(QList<double>, altezze);
        QFETCH(bool, viola);
        SlotMensili slot;
        slot.acquisti.fill(50);
        G grafico;
        grafico.aggiorna(slot);
        slot = {};
        slot.acquisti[mese] = acquisti;
        slot.vendite[mese] = vendite;
        grafico.aggiorna(slot);
        QCOMPARE(grafico.scala(), qMax(acquisti, vendite));
        const QColor colori[3] = {QColor(192, 0, 0), QColor(0, 0, 192), QColor(255, 128, 0)};
        for (int k = 0; k < 12; ++k) {
            for (G::Serie serie : {G::Acquisti, G::Vendite, G::Differenza}) {
                const G::Barra &barra = grafico.barra(k, serie);
                QVERIFY(qAbs(barra.base.y() - barra.cima.y() - (k == mese ? altezze[serie] : 0)) < 0.01);
                QCOMPARE(barra.colore, k == mese && serie == G::Differenza && viola ? QColor(128, 0, 128) : colori[serie]);
            }
        }
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
