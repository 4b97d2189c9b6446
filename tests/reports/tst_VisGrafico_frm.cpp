#include "common/formati.h"
#include "reports/VisGrafico_frm.h"
#include "reports/statistiche.h"
#include "shell/MDIVorendi.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QAction>
#include <QDate>
#include <QFile>
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

QString giorno(int anno, int mese, int giorno)
{
    return QDate(anno, mese, giorno).toString(Qt::ISODate);
}

} // namespace

class TestVisGrafico : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void caricamento();
    void valori();
    void conteggiEAggiorna();
    void annoSenzaMovimenti_data();
    void annoSenzaMovimenti();
    void erroreLasciaIlGrafico();

private:
    void movimento(const QString &dataop, int operazione, qint64 prezzo, int pezzi = 1);
    VisGrafico_frm *apri(const char *comando);
    void aggiorna(const QString &anno);
    // Hovers over month k and returns what the three value labels show.
    QStringList valoriDelMese(int mese);
    QString testo(const char *etichetta) const;

    std::unique_ptr<DatabaseDiProva> db_;
    std::unique_ptr<MDIVorendi> principale_;
    std::unique_ptr<RegistroRapporti> registro_;
};

void TestVisGrafico::init()
{
    db_ = std::make_unique<DatabaseDiProva>();
    principale_ = std::make_unique<MDIVorendi>();
    // After the main window, which installs the message boxes.
    registro_ = std::make_unique<RegistroRapporti>();
    SlotStatistiche = {};
    ModoStatistiche = 0;
}

void TestVisGrafico::cleanup()
{
    registro_.reset();
    principale_.reset();
    db_.reset();
}

void TestVisGrafico::movimento(const QString &dataop, int operazione, qint64 prezzo, int pezzi)
{
    db_->esegui(QStringLiteral("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto,"
                               " pezzi, operazione, dataop) VALUES (1, 'A1', ?, ?, ?, ?, ?)"),
                {prezzo, operazione == 1 ? prezzo : 0, operazione == 1 ? pezzi : -pezzi,
                 operazione, dataop});
}

VisGrafico_frm *TestVisGrafico::apri(const char *comando)
{
    principale_->findChild<QAction *>(QLatin1String(comando))->trigger();
    QMdiSubWindow *attiva = principale_->areaLavoro()->activeSubWindow();
    return attiva ? qobject_cast<VisGrafico_frm *>(attiva->widget()) : nullptr;
}

void TestVisGrafico::aggiorna(const QString &anno)
{
    principale_->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(anno);
    QTest::mouseClick(principale_->findChild<QPushButton *>(QStringLiteral("Command1")),
                      Qt::LeftButton);
}

QStringList TestVisGrafico::valoriDelMese(int mese)
{
    QLabel *etichetta = principale_->findChild<QLabel *>(QStringLiteral("Mese_lbl_%1").arg(mese));
    const QPointF punto(3, 3);
    QMouseEvent movimento(QEvent::MouseMove, punto, etichetta->mapToGlobal(punto), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(etichetta, &movimento);
    return {testo("Label7"), testo("Label9"), testo("Label11")};
}

QString TestVisGrafico::testo(const char *etichetta) const
{
    return principale_->findChild<QLabel *>(QLatin1String(etichetta))->text();
}

void TestVisGrafico::caricamento()
{
    VisGrafico_frm finestra;
    QCOMPARE(finestra.windowTitle(), QStringLiteral("Statistiche"));
    auto *anno = finestra.findChild<QLineEdit *>(QStringLiteral("Text1"));
    QCOMPARE(anno->text(), dataOggi().mid(6, 4));
    QCOMPARE(anno->maxLength(), 4);
    const QStringList mesi = {"Gennaio", "Febbraio", "Marzo",     "Aprile",  "Maggio",   "Giugno",
                              "Luglio",  "Agosto",   "Settembre", "Ottobre", "Novembre", "Dicembre"};
    for (int k = 0; k < 12; ++k) {
        auto *mese = finestra.findChild<QLabel *>(QStringLiteral("Mese_lbl_%1").arg(k));
        QCOMPARE(mese->text(), mesi[k]);
        QCOMPARE(mese->font().family(), QStringLiteral("Arial"));
        QCOMPARE(mese->geometry(), QRect((480 + 720 * k) / 15, 4800 / 15, 615 / 15, 195 / 15));
        QVERIFY(mese->fontMetrics().horizontalAdvance(mesi[k]) <= mese->width());
        for (int serie = G::Acquisti; serie <= G::Differenza; ++serie)
            QCOMPARE(finestra.grafico().barra(k, G::Serie(serie)).cima,
                     finestra.grafico().barra(k, G::Serie(serie)).base);
    }
    const QStringList didascalie = {"Valore spese:", "Valore vendite:", "Valore guadagno:"};
    const QStringList nomi = {"Label6", "Label8", "Label10"};
    for (int i = 0; i < 3; ++i) {
        auto *didascalia = finestra.findChild<QLabel *>(nomi[i]);
        QCOMPARE(didascalia->text(), didascalie[i]);
        QVERIFY(didascalia->fontMetrics().horizontalAdvance(didascalie[i]) <= didascalia->width());
    }
}

void TestVisGrafico::valori()
{
    movimento(giorno(ANNO, 3, 4), 1, 1000);
    movimento(giorno(ANNO, 3, 20), 2, 1500);
    movimento(giorno(ANNO, 5, 2), 1, 1000);
    movimento(giorno(ANNO, 5, 3), 2, 500, 5);
    movimento(giorno(ANNO - 1, 3, 4), 1, 9999);
    VisGrafico_frm *finestra = apri("contab");
    QVERIFY(finestra);
    QCOMPARE(ModoStatistiche, 1);
    QCOMPARE(testo("Label6"), QStringLiteral("Totale Spese:"));
    QCOMPARE(testo("Label8"), QStringLiteral("Totale vendite:"));
    QCOMPARE(testo("Label10"), QStringLiteral("Tot. Guadagno:"));

    const G &grafico = finestra->grafico();
    QCOMPARE(grafico.barra(2, G::Vendite).cima, QPointF(2220, 680));
    QVERIFY(qAbs(grafico.barra(2, G::Acquisti).cima.y() - (4680 - 2666.667)) < 0.01);
    QVERIFY(qAbs(grafico.barra(2, G::Differenza).cima.y() - (4680 - 1333.333)) < 0.01);
    QCOMPARE(grafico.barra(2, G::Differenza).colore, QColor(255, 128, 0));
    QCOMPARE(grafico.barra(4, G::Differenza).colore, QColor(128, 0, 128));

    QCOMPARE(valoriDelMese(2), QStringList({"1.000", "1.500", "500"}));
    QCOMPARE(valoriDelMese(4), QStringList({"1.000", "500", "-500"})); // 5 pieces, price once
    QCOMPARE(valoriDelMese(3), QStringList({"", "", ""}));
    QVERIFY(registro_->rapporti().isEmpty());
}

void TestVisGrafico::conteggiEAggiorna()
{
    movimento(giorno(ANNO, 6, 1), 2, 900, 5);
    movimento(giorno(2001, 12, 1), 1, 800);
    movimento(giorno(2001, 12, 2), 1, 800);
    movimento(giorno(2001, 12, 31), 2, 950, 3);
    VisGrafico_frm *finestra = apri("contab");
    QCOMPARE(apri("vendit"), finestra); // the same window, recomputed
    QCOMPARE(principale_->findChildren<VisGrafico_frm *>().size(), 1);
    QCOMPARE(ModoStatistiche, 2);
    QCOMPARE(testo("Label6"), QStringLiteral("Num. acquisti:"));
    QCOMPARE(testo("Label8"), QStringLiteral("Num. vendite:"));
    QCOMPARE(testo("Label10"), QStringLiteral("Differenza:"));
    QCOMPARE(valoriDelMese(5), QStringList({"", "1", "1"})); // five pieces, one sale

    aggiorna(QStringLiteral("2001"));
    QCOMPARE(valoriDelMese(11), QStringList({"2", "1", "-1"}));
    QCOMPARE(valoriDelMese(5), QStringList({"", "", ""}));
    QCOMPARE(finestra->grafico().barra(11, G::Acquisti).cima.y(), 680.0);
    QCOMPARE(finestra->grafico().barra(11, G::Vendite).cima.y(), 2680.0);
    QCOMPARE(testo("Label6"), QStringLiteral("Num. acquisti:"));
}

void TestVisGrafico::annoSenzaMovimenti_data()
{
    QTest::addColumn<QString>("anno");
    QTest::newRow("anno senza movimenti") << QString::number(ANNO + 1);
    QTest::newRow("lettere: anno 0") << QStringLiteral("abc");
    QTest::newRow("campo vuoto: anno 0") << QString();
    QTest::newRow("numero seguito da lettere") << QStringLiteral("19x");
}

void TestVisGrafico::annoSenzaMovimenti()
{
    QFETCH(QString, anno);
    movimento(giorno(ANNO, 12, 31), 1, 700);
    movimento(giorno(ANNO, 12, 31), 2, 100);
    VisGrafico_frm *finestra = apri("contab");
    QCOMPARE(finestra->grafico().barra(11, G::Acquisti).cima.y(), 680.0);
    QCOMPARE(finestra->grafico().barra(11, G::Differenza).colore, QColor(128, 0, 128));

    aggiorna(anno);
    QVERIFY(registro_->rapporti().isEmpty());
    QCOMPARE(finestra->grafico().scala(), qint64(1));
    for (int mese = 0; mese < 12; ++mese) {
        for (int serie = G::Acquisti; serie <= G::Differenza; ++serie) {
            const G::Barra &barra = finestra->grafico().barra(mese, G::Serie(serie));
            QCOMPARE(barra.cima, barra.base);
            QCOMPARE(barra.colore, G::colore(G::Serie(serie)));
        }
    }
    QCOMPARE(valoriDelMese(11), QStringList({"", "", ""}));
}

void TestVisGrafico::erroreLasciaIlGrafico()
{
    movimento(giorno(ANNO, 4, 1), 1, 100);
    VisGrafico_frm *finestra = apri("vendit");
    QCOMPARE(finestra->grafico().barra(3, G::Acquisti).cima.y(), 680.0);

    QVERIFY(QFile::remove(db_->percorso()));
    aggiorna(QString::number(ANNO));
    QCOMPARE(registro_->zone(), QList<int>{18});
    QCOMPARE(finestra->grafico().barra(3, G::Acquisti).cima.y(), 680.0);
    QCOMPARE(testo("Label6"), QStringLiteral("Num. acquisti:"));
    QCOMPARE(valoriDelMese(3), QStringList({"", "", ""}));
}

QTEST_MAIN(TestVisGrafico)
#include "tst_VisGrafico_frm.moc"
