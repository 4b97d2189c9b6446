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

    void cancellazione_data()
    {
        QTest::addColumn<QString>("uso"); // rows that carry type 2 (Bulloni)
        QTest::addColumn<int>("articoli"); // articles that hold it back; 0: deleted
        QTest::newRow("solo movimenti")
            << "INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto, pezzi,"
               " operazione, dataop) VALUES (2, 'B1', 100, 50, 4, 1, '2026-01-02')"
            << 0;
        QTest::newRow("in magazzino")
            << "INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('B1', 2, 4, 100),"
               " ('B2', 2, 0, 100), ('V1', 1, 1, 1)"
            << 2;
        // The same article in stock and in the cart counts once.
        QTest::newRow("nel carrello")
            << "INSERT INTO carrello (codice, tipo, prezzo, pezzi, totale) VALUES ('B1', 2, 1, 1, 1);"
               "INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('b1', 2, 4, 100)"
            << 1;
    }

    void cancellazione()
    {
        QFETCH(QString, uso);
        QFETCH(int, articoli);
        DatabaseDiProva db;
        RegistroRapporti registro;
        aggiungi({"Viti", "Bulloni"});
        for (const QString &sql : uso.split(u';'))
            db.esegui(sql);

        const EsitoCancellaTipo esito = CancellaTipo(2);

        QVERIFY(registro.rapporti().isEmpty());
        if (articoli > 0) {
            QCOMPARE(esito.stato, EsitoCancellaTipo::Stato::InUso);
            QCOMPARE(esito.articoli, articoli);
            QCOMPARE(IdTipo("Bulloni"), 2);
            return;
        }
        QCOMPARE(esito.stato, EsitoCancellaTipo::Stato::Cancellato);
        QCOMPARE(CodiceTipo(2), QString());
        QCOMPARE(CaricaTipi(), QStringList{"Viti"});
        QCOMPARE(db.valore("SELECT tipo FROM prodotto").toInt(), 2); // movements keep the id
        aggiungi({"Bulloni"});
        QCOMPARE(IdTipo("Bulloni"), 3); // never the number of the last one deleted
    }

    void senzaFile()
    {
        DatabaseDiProva db(DatabaseDiProva::Inizio::SenzaFile);
        RegistroRapporti registro;
        QVERIFY(!AggiungiTipo("Viti"));
        QVERIFY(CaricaTipi().isEmpty());
        QCOMPARE(CancellaTipo(1).stato, EsitoCancellaTipo::Stato::Errore);
        QVERIFY(CodiceTipo(1).isEmpty());
        QCOMPARE(IdTipo("Viti"), 0);
        QVERIFY(VisualizzaTipi().isEmpty());
        QCOMPARE(registro.zone(), QList<int>({2, 3, 6, 7, 8, 11}));
    }
};

QTEST_GUILESS_MAIN(TestTipi)
#include "tst_tipi.moc"
