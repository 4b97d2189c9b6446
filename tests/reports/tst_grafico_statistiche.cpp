#include "reports/grafico_statistiche.h"
#include "reports/statistiche.h"

#include <QTest>

using G = GraficoStatistiche;

class TestGraficoStatistiche : public QObject
{
    Q_OBJECT

private slots:
    void barre_data()
    {
        QTest::addColumn<int>("mese");
        QTest::addColumn<qint64>("acquisti");
        QTest::addColumn<qint64>("vendite");
        QTest::addColumn<QList<double>>("altezze"); // purchases, sales, difference
        QTest::addColumn<bool>("viola");
        QTest::newRow("esempio di marzo") << 2 << qint64(1000) << qint64(1500)
                                          << QList<double>{2666.667, 4000, 1333.333} << false;
        QTest::newRow("acquisti oltre vendite") << 0 << qint64(2000) << qint64(500)
                                                << QList<double>{4000, 1000, 3000} << true;
        QTest::newRow("pareggio a dicembre") << 11 << qint64(700) << qint64(700)
                                             << QList<double>{4000, 4000, 0} << false;
        QTest::newRow("oltre 536.870.911") << 6 << qint64(600000000) << qint64(150000000)
                                           << QList<double>{4000, 1000, 3000} << true;
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
        // Drawn over a chart that showed purple months, which must not linger.
        SlotMensili prima;
        prima.acquisti.fill(50);
        G grafico;
        grafico.aggiorna(prima);
        SlotMensili slot;
        slot.acquisti[mese] = acquisti;
        slot.vendite[mese] = vendite;
        grafico.aggiorna(slot);

        QCOMPARE(grafico.scala(), qMax(acquisti, vendite));
        const QColor colori[3] = {QColor(192, 0, 0), QColor(0, 0, 192),
                                  viola ? QColor(128, 0, 128) : QColor(255, 128, 0)};
        for (int k = 0; k < 12; ++k) {
            for (G::Serie serie : {G::Acquisti, G::Vendite, G::Differenza}) {
                const G::Barra &barra = grafico.barra(k, serie);
                const double altezza = barra.base.y() - barra.cima.y();
                QVERIFY2(qAbs(altezza - (k == mese ? altezze[serie] : 0)) < 0.01,
                         qPrintable(QString::number(altezza)));
                QCOMPARE(barra.colore, k == mese ? colori[serie] : G::colore(serie));
            }
        }
    }

    // The year typed for the statistics: its leading number, halves to even.
    void anno_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("anno");
        QTest::newRow("intero") << "2024" << 2024;
        QTest::newRow("mezzo, al pari in su") << "2023.5" << 2024;
        QTest::newRow("mezzo, al pari in giù") << "2024.5" << 2024;
        QTest::newRow("lettere dopo") << " 2024x" << 2024;
        QTest::newRow("lettere") << "abc" << 0;
        QTest::newRow("oltre un int") << "1e20" << 0;
    }

    void anno()
    {
        QFETCH(QString, testo);
        QFETCH(int, anno);
        QCOMPARE(annoScelto(testo), anno);
    }
};

QTEST_GUILESS_MAIN(TestGraficoStatistiche)
#include "tst_grafico_statistiche.moc"
