#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QTest>

namespace {

void aggiungi(const QStringList &codici)
{
    for (const QString &codice : codici)
        QVERIFY(AggiungiTipo(codice));
}

} // namespace

class TestTipi : public QObject
{
    Q_OBJECT

private slots:
    void elenco()
    {
        DatabaseDiProva db;
        RegistroRapporti registro;
        QVERIFY(CaricaTipi().isEmpty());
        QVERIFY(VisualizzaTipi().isEmpty());
        aggiungi({"Viti", "bulloni", "Attrezzi", "chiodi", "Viti"});

        // Code order without regard to case; equal codes by id.
        QCOMPARE(CaricaTipi(), QStringList({"Attrezzi", "bulloni", "chiodi", "Viti", "Viti"}));
        QList<qint32> id;
        for (const RigaTipo &r : VisualizzaTipi())
            id.append(r.id);
        QCOMPARE(id, QList<qint32>({3, 2, 4, 1, 5}));
        QVERIFY(registro.rapporti().isEmpty());
    }

    void ricerche_data()
    {
        QTest::addColumn<QString>("codice");
        QTest::addColumn<qint32>("id");
        QTest::newRow("maiuscole e minuscole") << "VITI" << 1;
        QTest::newRow("codici uguali: il più vecchio") << "Bulloni" << 2;
        QTest::newRow("codice sconosciuto") << "Dadi" << 0;
        QTest::newRow("prefisso non basta") << "Vit" << 0;
        QTest::newRow("apici") << "Dell'Orto \"extra\"" << 3;
    }

    void ricerche()
    {
        QFETCH(QString, codice);
        QFETCH(qint32, id);
        DatabaseDiProva db;
        RegistroRapporti registro;
        QCOMPARE(IdTipo(codice), 0);
        aggiungi({"Viti", "Bulloni", "Dell'Orto \"extra\"", "Bulloni"});

        QCOMPARE(IdTipo(codice), id);
        if (id != 0)
            QCOMPARE(CodiceTipo(id).toUpper(), codice.toUpper());
        QVERIFY(registro.rapporti().isEmpty());
    }

    void cancellazione()
    {
        DatabaseDiProva db;
        RegistroRapporti registro;
        aggiungi({"Viti", "Bulloni"});
        db.esegui("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('B1', 2, 4, 100)");

        QVERIFY(CancellaTipo(2));
        QCOMPARE(CodiceTipo(2), QString());
        QCOMPARE(IdTipo("Bulloni"), 0);
        QCOMPARE(CaricaTipi(), QStringList{"Viti"});
        QCOMPARE(db.valore("SELECT tipo FROM rimanenze").toInt(), 2); // its rows keep the id
        QVERIFY(CancellaTipo(2)); // an id that is not there is no failure
        aggiungi({"Bulloni"});
        QCOMPARE(IdTipo("Bulloni"), 3); // never the number of the last one deleted
        QVERIFY(registro.rapporti().isEmpty());
    }

    void senzaFile()
    {
        DatabaseDiProva db(DatabaseDiProva::Inizio::SenzaFile);
        RegistroRapporti registro;
        QVERIFY(!AggiungiTipo("Viti"));
        QVERIFY(CaricaTipi().isEmpty());
        QVERIFY(!CancellaTipo(1));
        QVERIFY(CodiceTipo(1).isEmpty());
        QCOMPARE(IdTipo("Viti"), 0);
        QVERIFY(VisualizzaTipi().isEmpty());
        QCOMPARE(registro.zone(), QList<int>({2, 3, 6, 7, 8, 11}));
    }
};

QTEST_GUILESS_MAIN(TestTipi)
#include "tst_tipi.moc"
