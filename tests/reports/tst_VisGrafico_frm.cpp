#include "reports/VisGrafico_frm.h"
#include "reports/statistiche.h"
#include "shell/MDIVorendi.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

using G = GraficoStatistiche;

const int ANNO = QDate::currentDate().year();

double altezza(const VisGrafico_frm *finestra, int mese, G::Serie serie)
{
    return G::BASE_Y - finestra->grafico().barra(mese, serie).cima.y();
}

} // namespace

class TestVisGrafico : public QObject
{
    Q_OBJECT

    std::unique_ptr<DatabaseDiProva> db_;
    std::unique_ptr<MDIVorendi> principale_;
    std::unique_ptr<RegistroRapporti> registro_;

    void movimento(int anno, int mese, int giorno, int operazione, qint64 prezzo, int pezzi = 1)
    {
        const QString dataop = QDate(anno, mese, giorno).toString(Qt::ISODate);
        db_->esegui("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto, pezzi,"
                    " operazione, dataop) VALUES (1, 'A1', ?, ?, ?, ?, ?)",
                    {prezzo, operazione == 1 ? prezzo : 0, operazione == 1 ? pezzi : -pezzi,
                     operazione, dataop});
    }

    VisGrafico_frm *apri(const char *comando)
    {
        principale_->findChild<QAction *>(comando)->trigger();
        return qobject_cast<VisGrafico_frm *>(principale_->areaLavoro()->activeSubWindow()->widget());
    }

    void aggiorna(const QString &anno)
    {
        principale_->findChild<QLineEdit *>("Text1")->setText(anno);
        principale_->findChild<QPushButton *>("Command1")->click();
    }

    QStringList etichette(const char *a, const char *b, const char *c) const
    {
        return {principale_->findChild<QLabel *>(a)->text(),
                principale_->findChild<QLabel *>(b)->text(),
                principale_->findChild<QLabel *>(c)->text()};
    }

    // Hovers over a month's name and returns what the three value labels show.
    QStringList valoriDelMese(int mese)
    {
        QLabel *nome = principale_->findChild<QLabel *>(QStringLiteral("Mese_lbl_%1").arg(mese));
        QMouseEvent passaggio(QEvent::MouseMove, QPointF(3, 3), nome->mapToGlobal(QPointF(3, 3)),
                              Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(nome, &passaggio);
        return etichette("Label7", "Label9", "Label11");
    }

private slots:
    void init()
    {
        db_ = std::make_unique<DatabaseDiProva>();
        principale_ = std::make_unique<MDIVorendi>();
        // After the main window, which installs the message boxes.
        registro_ = std::make_unique<RegistroRapporti>();
        SlotStatistiche = {};
        ModoStatistiche = 0;
    }

    void cleanup()
    {
        registro_.reset();
        principale_.reset();
        db_.reset();
    }

    void valoriConteggiEAggiorna()
    {
        movimento(ANNO, 3, 4, 1, 1000);
        movimento(ANNO, 3, 20, 2, 1500);
        movimento(ANNO, 5, 2, 1, 1000);
        movimento(ANNO, 5, 3, 2, 500, 5);
        movimento(ANNO - 1, 3, 4, 1, 9999);
        movimento(2001, 12, 1, 1, 800);
        movimento(2001, 12, 2, 1, 800);
        movimento(2001, 12, 31, 2, 950, 3);
        VisGrafico_frm *finestra = apri("contab");
        QCOMPARE(principale_->findChild<QLineEdit *>("Text1")->text(), QString::number(ANNO));
        QCOMPARE(etichette("Label6", "Label8", "Label10"),
                 QStringList({"Totale Spese:", "Totale vendite:", "Tot. Guadagno:"}));
        QCOMPARE(altezza(finestra, 2, G::Vendite), 4000.0);
        QCOMPARE(finestra->grafico().barra(4, G::Differenza).colore, QColor(128, 0, 128));
        QCOMPARE(valoriDelMese(2), QStringList({"1.000", "1.500", "500"}));
        QCOMPARE(valoriDelMese(4), QStringList({"1.000", "500", "-500"})); // 5 pieces, price once
        QCOMPARE(valoriDelMese(3), QStringList({"", "", ""}));

        QCOMPARE(apri("vendit"), finestra); // the same window, recomputed
        QCOMPARE(etichette("Label6", "Label8", "Label10"),
                 QStringList({"Num. acquisti:", "Num. vendite:", "Differenza:"}));
        QCOMPARE(valoriDelMese(4), QStringList({"1", "1", ""})); // five pieces, one sale

        aggiorna(QStringLiteral("2001"));
        QCOMPARE(valoriDelMese(11), QStringList({"2", "1", "-1"}));
        QCOMPARE(valoriDelMese(4), QStringList({"", "", ""}));
        QCOMPARE(altezza(finestra, 11, G::Acquisti), 4000.0);
        QCOMPARE(altezza(finestra, 11, G::Vendite), 2000.0);
        QVERIFY(registro_->rapporti().isEmpty());
    }

    void annoSenzaMovimenti_data()
    {
        QTest::addColumn<QString>("anno");
        QTest::newRow("anno senza movimenti") << QString::number(ANNO + 1);
        QTest::newRow("lettere: anno 0") << QStringLiteral("abc");
        QTest::newRow("numero seguito da lettere") << QStringLiteral("19x");
    }

    // The purple December must not linger either.
    void annoSenzaMovimenti()
    {
        QFETCH(QString, anno);
        movimento(ANNO, 12, 31, 1, 700);
        movimento(ANNO, 12, 31, 2, 100);
        VisGrafico_frm *finestra = apri("contab");
        QCOMPARE(finestra->grafico().barra(11, G::Differenza).colore, QColor(128, 0, 128));
        aggiorna(anno);
        QVERIFY(registro_->rapporti().isEmpty());
        QCOMPARE(finestra->grafico().scala(), qint64(1));
        QCOMPARE(altezza(finestra, 11, G::Acquisti), 0.0);
        QCOMPARE(finestra->grafico().barra(11, G::Differenza).colore, G::colore(G::Differenza));
        QCOMPARE(valoriDelMese(11), QStringList({"", "", ""}));
    }
};

QTEST_MAIN(TestVisGrafico)
#include "tst_VisGrafico_frm.moc"
