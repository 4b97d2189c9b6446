#include "counter/Ricevute_frm.h"
#include "support/comandi_di_prova.h"
#include "support/immissioni.h"

#include <QLineEdit>
#include <QTest>

// Hostile texts in the receipts register's day filter: the empty text lists
// every receipt, a real day lists its own, anything else is refused with the
// date message and changes neither the list nor the file.

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
    valori << ValoreOstile{"giorno inesistente", "30/02/2000"} << ValoreOstile{"giorno valido", "05/12/2000"};
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
    Banco banco;
    banco.db.esegui(QStringLiteral("INSERT INTO ricevuta (codice, dataop, totale) VALUES"
                                   " (4, '2000-12-05', 1500), (2, '2000-12-31', 0),"
                                   " (1234, '2000-12-05', 2500000)"));
    Ricevute_frm finestra;
    QVERIFY(mostra(finestra));
    premi(finestra, "Command1");
    const QStringList prima = griglia(finestra, 1);
    QCOMPARE(prima, QStringList({"4", "1.234", "2", ""}));
    const QByteArray file = byteDelFile(banco.db.percorso());
    immetti(campo(finestra, "Text1"), valore);
    QCOMPARE(campo(finestra, "Text1")->text(), valore.testo);

    premi(finestra, "Command1");

    QCOMPARE(banco.risponditore.testi(),
             elencate.isEmpty() ? QStringList{"Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA"}
                                : QStringList());
    QCOMPARE(griglia(finestra, 1), elencate.isEmpty() ? prima : elencate);
    QCOMPARE(campo(finestra, "Text1")->text(), valore.testo);
    QVERIFY(byteDelFile(banco.db.percorso()) == file);
    QCOMPARE(banco.registro.rapporti().size(), 0);
}

QTEST_MAIN(TestImmissioniRicevute)
#include "tst_immissioni_ricevute.moc"
