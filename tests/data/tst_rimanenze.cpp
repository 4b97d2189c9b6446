#include "common/formati.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QTest>

#include <functional>

class TestRimanenze : public QObject
{
    Q_OBJECT

private slots:
    void elencoDiUnTipo();
    void prezzoECancellazioneToccanoUnCodice();
    void senzaFile_data();
    void senzaFile();
};

namespace {

QStringList comeTesto(const QList<RigaRimanenza> &righe)
{
    QStringList testi;
    for (const RigaRimanenza &r : righe)
        testi.append(QStringLiteral("%1|%2|%3").arg(r.codice).arg(r.prezzo).arg(r.pezzi));
    return testi;
}

} // namespace

void TestRimanenze::elencoDiUnTipo()
{
    DatabaseDiProva db;
    RegistroRapporti registro;
    db.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES"
                             " ('b-2', 1, 0, 1500), ('Dell''Orto', 1, -3, 0), ('A-1', 1, 40000, 2147483647),"
                             " ('a-0', 1, 1, 1), ('X', 2, 5, 5)"));

    // Code order without regard to case, only the type asked for; pieces
    // summed past 16 bits and prices at the 32-bit limit come back whole.
    QCOMPARE(comeTesto(VisualizzaRimanenze(1)),
             QStringList({"a-0|1|1", "A-1|2147483647|40000", "b-2|1500|0", "Dell'Orto|0|-3"}));
    QCOMPARE(comeTesto(VisualizzaRimanenze(2)), QStringList{"X|5|5"});
    QVERIFY(VisualizzaRimanenze(3).isEmpty());
    QVERIFY(registro.rapporti().isEmpty());
}

void TestRimanenze::prezzoECancellazioneToccanoUnCodice()
{
    DatabaseDiProva db;
    RegistroRapporti registro;
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    for (const char *codice : {"A'1", "B"})
        QVERIFY(RegistraProdotto(QStringLiteral("Viti"), QLatin1String(codice), 100, 1000, 4,
                                 OPERAZIONE_ACQUISTO, dataOggi()));
    QCOMPARE(AggiungiCarrello(QStringLiteral("A'1"), 2), EsitoCarrello::Aggiunto);

    QVERIFY(AggiornaPrezzo(QStringLiteral("a'1"), 1250));
    QCOMPARE(comeTesto(VisualizzaRimanenze(1)), QStringList({"A'1|1250|4", "B|1000|4"}));
    QVERIFY(CancellaRimanenza(QStringLiteral("A'1")));
    QCOMPARE(comeTesto(VisualizzaRimanenze(1)), QStringList{"B|1000|4"});

    // The movements and the cart line of the deleted code stay.
    QCOMPARE(db.valore(QStringLiteral("SELECT COUNT(*) FROM prodotto")).toInt(), 2);
    QCOMPARE(db.valore(QStringLiteral("SELECT prezzo FROM carrello WHERE codice='A''1'")).toInt(),
             1000);
    QVERIFY(registro.rapporti().isEmpty());
}

void TestRimanenze::senzaFile_data()
{
    QTest::addColumn<int>("zona");
    QTest::addColumn<std::function<bool()>>("chiamata");
    QTest::newRow("CancellaRimanenza") << 20 << std::function<bool()>([] {
        return CancellaRimanenza(QStringLiteral("A"));
    });
    QTest::newRow("AggiornaPrezzo") << 21 << std::function<bool()>([] {
        return AggiornaPrezzo(QStringLiteral("A"), 5);
    });
    QTest::newRow("VisualizzaRimanenze") << 24 << std::function<bool()>([] {
        return !VisualizzaRimanenze(1).isEmpty();
    });
}

void TestRimanenze::senzaFile()
{
    QFETCH(int, zona);
    QFETCH(std::function<bool()>, chiamata);
    DatabaseDiProva db(DatabaseDiProva::Inizio::SenzaFile);
    RegistroRapporti registro;

    QVERIFY(!chiamata());
    QCOMPARE(registro.zone(), QList<int>{zona});
}

QTEST_MAIN(TestRimanenze)
#include "tst_rimanenze.moc"
