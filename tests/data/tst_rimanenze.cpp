#include "common/formati.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QFile>
#include <QTest>

namespace {

QStringList comeTesto(const QList<RigaRimanenza> &righe)
{
    QStringList testi;
    for (const RigaRimanenza &r : righe)
        testi.append(QStringLiteral("%1|%2|%3").arg(r.codice).arg(r.prezzo).arg(r.pezzi));
    return testi;
}

} // namespace

class TestRimanenze : public QObject
{
    Q_OBJECT

private slots:
    void elencoDiUnTipo()
    {
        DatabaseDiProva db;
        RegistroRapporti registro;
        db.esegui("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('b-2', 1, 0, 1500),"
                  " ('Dell''Orto', 1, -3, 0), ('A-1', 1, 40000, 2147483647), ('a-0', 1, 1, 1),"
                  " ('X', 2, 5, 5)");

        // Code order without regard to case, only the type asked for, values whole.
        QCOMPARE(comeTesto(VisualizzaRimanenze(1)),
                 QStringList({"a-0|1|1", "A-1|2147483647|40000", "b-2|1500|0", "Dell'Orto|0|-3"}));
        QVERIFY(VisualizzaRimanenze(3).isEmpty());
        QVERIFY(registro.rapporti().isEmpty());
    }

    void prezzoECancellazioneToccanoUnCodice()
    {
        DatabaseDiProva db;
        RegistroRapporti registro;
        QVERIFY(AggiungiTipo("Viti"));
        for (const char *codice : {"A'1", "B"})
            QVERIFY(RegistraProdotto("Viti", QLatin1String(codice), 100, 1000, 4, OPERAZIONE_ACQUISTO,
                                     dataOggi()));
        QCOMPARE(AggiungiCarrello("A'1", 2), EsitoCarrello::Aggiunto);

        QVERIFY(AggiornaPrezzo("a'1", 1250));
        QCOMPARE(comeTesto(VisualizzaRimanenze(1)), QStringList({"A'1|1250|4", "B|1000|4"}));
        QVERIFY(CancellaRimanenza("A'1"));
        QCOMPARE(comeTesto(VisualizzaRimanenze(1)), QStringList{"B|1000|4"});
        // The movements and the cart line of the deleted code stay.
        QCOMPARE(db.valore("SELECT COUNT(*) FROM prodotto").toInt(), 2);
        QCOMPARE(db.valore("SELECT prezzo FROM carrello WHERE codice='A''1'").toInt(), 1000);
        QVERIFY(registro.rapporti().isEmpty());
    }

    void senzaFile()
    {
        DatabaseDiProva db(DatabaseDiProva::Inizio::SenzaFile);
        RegistroRapporti registro;
        QVERIFY(!CancellaRimanenza("A"));
        QVERIFY(!AggiornaPrezzo("A", 5));
        QVERIFY(VisualizzaRimanenze(1).isEmpty());
        QCOMPARE(registro.zone(), QList<int>({20, 21, 24}));
        QVERIFY(!QFile::exists(db.percorso()));
    }
};

QTEST_MAIN(TestRimanenze)
#include "tst_rimanenze.moc"
