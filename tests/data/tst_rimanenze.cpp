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
    void elencoPrezzoCancellazione()
    {
        DatabaseDiProva db;
        RegistroRapporti registro;
        db.esegui("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('b-2', 1, 0, 1500),"
                  " ('Dell''Orto', 1, -3, 0), ('A-1', 1, 40000, 2147483647), ('a-0', 1, 1, 1),"
                  " ('X', 2, 5, 5)");
        db.esegui("INSERT INTO carrello VALUES ('b-2', 1, 1500, 2, 3000)");
        db.esegui("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto, pezzi,"
                  " operazione, dataop) VALUES (1, 'b-2', 1500, 900, 2, 1, '2024-01-01')");

        // Code order without regard to case, only the type asked for, values whole.
        QCOMPARE(comeTesto(VisualizzaRimanenze(1)),
                 QStringList({"a-0|1|1", "A-1|2147483647|40000", "b-2|1500|0", "Dell'Orto|0|-3"}));
        QVERIFY(VisualizzaRimanenze(3).isEmpty());

        // Price and deletion touch one code, whatever its case.
        QVERIFY(AggiornaPrezzo("dell'orto", 1250));
        QVERIFY(CancellaRimanenza("B-2"));
        QCOMPARE(comeTesto(VisualizzaRimanenze(1)),
                 QStringList({"a-0|1|1", "A-1|2147483647|40000", "Dell'Orto|1250|-3"}));
        // The movements and the cart line of the deleted code stay.
        QCOMPARE(db.valore("SELECT COUNT(*) FROM prodotto").toInt(), 1);
        QCOMPARE(db.valore("SELECT COUNT(*) FROM carrello").toInt(), 1);
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
