#include "reports/grafico_statistiche.h"

#include <QTest>

namespace {

using G = GraficoStatistiche;

double altezza(const G::Barra &barra)
{
    return barra.base.y() - barra.cima.y();
}

} // namespace

class TestGraficoStatistiche : public QObject
{
    Q_OBJECT

private slots:
    void barre_data();
    void barre();
};

void TestGraficoStatistiche::barre_data()
{
    QTest::addColumn<int>("mese");
    QTest::addColumn<qint64>("acquisti");
    QTest::addColumn<qint64>("vendite");
    QTest::addColumn<double>("hAcquisti");
    QTest::addColumn<double>("hVendite");
    QTest::addColumn<double>("hDifferenza");
    QTest::addColumn<bool>("viola");
    QTest::addColumn<qint64>("scala");
    QTest::newRow("esempio di marzo") << 2 << qint64(1000) << qint64(1500) << 2666.667 << 4000.0
                                      << 1333.333 << false << qint64(1500);
    QTest::newRow("acquisti oltre vendite") << 0 << qint64(2000) << qint64(500) << 4000.0
                                            << 1000.0 << 3000.0 << true << qint64(2000);
    QTest::newRow("pareggio a dicembre") << 11 << qint64(700) << qint64(700) << 4000.0 << 4000.0
                                         << 0.0 << false << qint64(700);
    QTest::newRow("tutto zero") << 5 << qint64(0) << qint64(0) << 0.0 << 0.0 << 0.0 << false
                                << qint64(1);
    QTest::newRow("oltre 536.870.911") << 6 << qint64(600000000) << qint64(150000000) << 4000.0
                                       << 1000.0 << 3000.0 << true << qint64(600000000);
    QTest::newRow("oltre 32 bit") << 7 << qint64(3000000000LL) << qint64(9000000000LL)
                                  << 1333.333 << 4000.0 << 2666.667 << false
                                  << qint64(9000000000LL);
}

void TestGraficoStatistiche::barre()
{
    QFETCH(int, mese);
    QFETCH(qint64, acquisti);
    QFETCH(qint64, vendite);
    QFETCH(double, hAcquisti);
    QFETCH(double, hVendite);
    QFETCH(double, hDifferenza);
    QFETCH(bool, viola);
    QFETCH(qint64, scala);
    SlotMensili slot;
    slot.acquisti[mese] = acquisti;
    slot.vendite[mese] = vendite;
    // Drawn over a chart that showed a purple month, which must not linger.
    SlotMensili prima;
    prima.acquisti.fill(50);
    G grafico;
    grafico.aggiorna(prima);
    grafico.aggiorna(slot);

    QCOMPARE(grafico.scala(), scala);
    const double altezze[3] = {hAcquisti, hVendite, hDifferenza};
    const QColor colori[3] = {QColor(192, 0, 0), QColor(0, 0, 192),
                              viola ? QColor(128, 0, 128) : QColor(255, 128, 0)};
    for (int k = 0; k < 12; ++k) {
        for (int serie = G::Acquisti; serie <= G::Differenza; ++serie) {
            const G::Barra &barra = grafico.barra(k, G::Serie(serie));
            QCOMPARE(barra.base, QPointF(660 + 120 * serie + 720 * k, 4680));
            QCOMPARE(barra.cima.x(), barra.base.x());
            // Single precision, like the ends the chart keeps.
            QCOMPARE(barra.cima.y(), double(float(barra.cima.y())));
            if (k == mese) {
                QVERIFY2(qAbs(altezza(barra) - altezze[serie]) < 0.01,
                         qPrintable(QString::number(altezza(barra))));
                QCOMPARE(barra.colore, colori[serie]);
            } else {
                QCOMPARE(barra.cima, barra.base);
                QCOMPARE(barra.colore, G::colore(G::Serie(serie)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestGraficoStatistiche)
#include "tst_grafico_statistiche.moc"
