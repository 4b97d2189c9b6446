#include "counter/Ricevute_frm.h"
#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"
#include "support/immissioni.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

// Hostile texts in the receipts register's day filter: the empty text lists
// every receipt, a real day lists its own, anything else is refused with the
// date message and changes neither the list nor the file.

namespace {

const QString DATA_NON_CORRETTA =
    QStringLiteral("Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA");

QStringList numeri(const Ricevute_frm &finestra)
{
    const QAbstractItemModel *m =
        finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"))->model();
    QStringList testi;
    for (int r = 0; r < m->rowCount(); ++r)
        testi << m->index(r, 1).data().toString();
    return testi;
}

} // namespace

class TestImmissioniRicevute : public QObject
{
    Q_OBJECT

private slots:
    void filtroGiorno_data();
    void filtroGiorno();
};

void TestImmissioniRicevute::filtroGiorno_data()
{
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<QStringList>("elencate"); // receipt numbers; none after a refusal
    QList<ValoreOstile> valori = numeriOstili();
    valori += {
        {QStringLiteral("giorno inesistente"), QStringLiteral("30/02/2000"), false},
        {QStringLiteral("giorno negativo"), QStringLiteral("-1/12/2000"), false},
        {QStringLiteral("giorno valido"), QStringLiteral("05/12/2000"), false},
    };
    for (const ValoreOstile &v : valori) {
        QStringList elencate;
        if (v.testo.isEmpty())
            elencate = QStringList{"4", "1.234", "2", ""};
        else if (v.nome == QLatin1String("giorno valido"))
            elencate = QStringList{"4", "1.234", ""};
        QTest::newRow(qPrintable(v.nome)) << v << elencate;
    }
}

void TestImmissioniRicevute::filtroGiorno()
{
    QFETCH(ValoreOstile, valore);
    QFETCH(QStringList, elencate);
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("INSERT INTO ricevuta (codice, dataop, totale) VALUES"
                                " (4, '2000-12-05', 1500), (2, '2000-12-31', 0),"
                                " (1234, '2000-12-05', 2500000)"));
    RegistroRapporti registro;
    RisponditoreDialoghi risponditore;
    Ricevute_frm finestra;
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    auto *aggiorna = finestra.findChild<QPushButton *>(QStringLiteral("Command1"));
    QTest::mouseClick(aggiorna, Qt::LeftButton);
    const QStringList prima = numeri(finestra);
    QCOMPARE(prima, QStringList({"4", "1.234", "2", ""}));
    const QByteArray file = byteDelFile(prova.percorso());
    auto *filtro = finestra.findChild<QLineEdit *>(QStringLiteral("Text1"));
    filtro->setFocus();
    immetti(filtro, valore);
    QCOMPARE(filtro->text(), valore.testo);

    QTest::mouseClick(aggiorna, Qt::LeftButton);

    if (elencate.isEmpty()) {
        QCOMPARE(risponditore.testi(), QStringList{DATA_NON_CORRETTA});
        QCOMPARE(numeri(finestra), prima);
    } else {
        QCOMPARE(risponditore.testi(), QStringList{});
        QCOMPARE(numeri(finestra), elencate);
    }
    QCOMPARE(filtro->text(), valore.testo);
    QVERIFY(byteDelFile(prova.percorso()) == file);
    QCOMPARE(registro.rapporti().size(), 0);
}

QTEST_MAIN(TestImmissioniRicevute)
#include "tst_immissioni_ricevute.moc"
