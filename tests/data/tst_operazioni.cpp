#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QFile>
#include <QTest>

#include <limits>

namespace {

void movimento(const DatabaseDiProva &db, qint64 id, qint64 idTipo, qint64 vendita,
               qint64 pezzi, const QString &iso)
{
    db.esegui(QStringLiteral("INSERT INTO prodotto (id, tipo, codice, prezzovendita,"
                             " prezzoacquisto, pezzi, operazione, dataop)"
                             " VALUES (?, ?, 'A-1', ?, 0, ?, 1, ?)"),
              {id, idTipo, vendita, pezzi, iso});
}

QList<qint64> id(const ElencoOperazioni &elenco)
{
    QList<qint64> trovati;
    for (const RigaOperazione &r : elenco.righe)
        trovati.append(r.id);
    return trovati;
}

} // namespace

class TestOperazioniRoutine : public QObject
{
    Q_OBJECT

private slots:
    void filtriDelTipo_data();
    void filtriDelTipo();
    void giornoInesistente();
    void sommaOltre64Bit();
    void senzaFile();
};

void TestOperazioniRoutine::filtriDelTipo_data()
{
    QTest::addColumn<QString>("codiceTipo");
    QTest::addColumn<QList<qint64>>("attesi");
    // Equal codes: the oldest type, as IdTipo finds it.
    QTest::newRow("codici uguali") << "Viti" << QList<qint64>{1};
    QTest::newRow("tipo che non c'è") << "Chiodi" << QList<qint64>{};
    QTest::newRow("ogni tipo") << "" << QList<qint64>{1, 2, 3};
}

void TestOperazioniRoutine::filtriDelTipo()
{
    QFETCH(QString, codiceTipo);
    QFETCH(QList<qint64>, attesi);
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    QVERIFY(AggiungiTipo("Viti"));
    QVERIFY(AggiungiTipo("Viti"));
    movimento(db, 1, 1, 100, 1, "2000-01-01");
    movimento(db, 2, 2, 100, 1, "2000-01-02");
    movimento(db, 3, 7, 100, 1, "2000-01-03");
    ElencoOperazioni elenco;
    QVERIFY(VisualizzaOperazioni(OPERAZIONE_ACQUISTO, codiceTipo, QString(), elenco));
    QCOMPARE(id(elenco), attesi);
    QVERIFY(rapporti.rapporti().isEmpty());
}

void TestOperazioniRoutine::giornoInesistente()
{
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    movimento(db, 1, 1, 100, 1, "2000-03-02");
    ElencoOperazioni elenco;
    // The window refuses such a day before asking; the routine reports it.
    QVERIFY(!VisualizzaOperazioni(OPERAZIONE_ACQUISTO, QString(), "31/02/2000", elenco));
    QCOMPARE(rapporti.zone(), QList<int>{16});
    QVERIFY(elenco.righe.isEmpty());
}

void TestOperazioniRoutine::sommaOltre64Bit()
{
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    const qint64 enorme = std::numeric_limits<qint64>::max() / 4;
    movimento(db, 1, 1, enorme, 3, "2000-01-01");
    movimento(db, 2, 1, enorme, 2, "2000-01-02");
    movimento(db, 3, 1, 1, 1, "2000-01-03");
    ElencoOperazioni elenco;
    QVERIFY(!VisualizzaOperazioni(OPERAZIONE_ACQUISTO, QString(), QString(), elenco));
    QCOMPARE(rapporti.zone(), QList<int>{16});
    // The row that overflowed was read and stays; nothing after it.
    QCOMPARE(id(elenco), (QList<qint64>{1, 2}));
}

void TestOperazioniRoutine::senzaFile()
{
    DatabaseDiProva db(DatabaseDiProva::Inizio::SenzaFile);
    RegistroRapporti rapporti;
    ElencoOperazioni elenco;
    QVERIFY(!VisualizzaOperazioni(OPERAZIONE_VENDITA, QString(), QString(), elenco));
    QVERIFY(!CancellaOperazione(1));
    QCOMPARE(rapporti.zone(), QList<int>({16, 22}));
    QVERIFY(!QFile::exists(db.percorso()));
}

QTEST_MAIN(TestOperazioniRoutine)
#include "tst_operazioni.moc"
