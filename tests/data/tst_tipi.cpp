#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QTest>

#include <functional>

class TestTipi : public QObject
{
    Q_OBJECT

private slots:
    void elencoInOrdineDiCodice();
    void ricerche_data();
    void ricerche();
    void codiciUguali();
    void tabellaVuota();
    void cancellazione();
    void senzaFile_data();
    void senzaFile();
};

namespace {

QStringList codiciDi(const QList<RigaTipo> &righe)
{
    QStringList codici;
    for (const RigaTipo &r : righe)
        codici.append(r.codice);
    return codici;
}

} // namespace

void TestTipi::elencoInOrdineDiCodice()
{
    DatabaseDiProva db;
    RegistroRapporti registro;
    for (const QString &codice : {QStringLiteral("Viti"), QStringLiteral("bulloni"),
                                  QStringLiteral("Attrezzi"), QStringLiteral("chiodi")})
        QVERIFY(AggiungiTipo(codice));

    const QStringList attesi = {QStringLiteral("Attrezzi"), QStringLiteral("bulloni"),
                                QStringLiteral("chiodi"), QStringLiteral("Viti")};
    QCOMPARE(CaricaTipi(), attesi);
    const QList<RigaTipo> righe = VisualizzaTipi();
    QCOMPARE(codiciDi(righe), attesi);
    // Ids are the insertion order, whatever the listing order.
    QCOMPARE(righe[0].id, 3);
    QCOMPARE(righe[3].id, 1);
    QVERIFY(registro.rapporti().isEmpty());
}

void TestTipi::ricerche_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<qint32>("id");
    QTest::newRow("codice esatto") << "Viti" << 1;
    QTest::newRow("maiuscole e minuscole") << "VITI" << 1;
    QTest::newRow("secondo tipo") << "Bulloni" << 2;
    QTest::newRow("codice sconosciuto") << "Dadi" << 0;
    QTest::newRow("prefisso non basta") << "Vit" << 0;
    QTest::newRow("apici") << "Dell'Orto \"extra\"" << 3;
}

void TestTipi::ricerche()
{
    QFETCH(QString, codice);
    QFETCH(qint32, id);
    DatabaseDiProva db;
    RegistroRapporti registro;
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
    QVERIFY(AggiungiTipo(QStringLiteral("Dell'Orto \"extra\"")));

    QCOMPARE(IdTipo(codice), id);
    if (id != 0)
        QCOMPARE(CodiceTipo(id).toUpper(), codice.toUpper());
    QVERIFY(registro.rapporti().isEmpty());
}

void TestTipi::codiciUguali()
{
    DatabaseDiProva db;
    RegistroRapporti registro;
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QVERIFY(AggiungiTipo(QStringLiteral("Minuteria")));
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));

    QCOMPARE(CaricaTipi(), (QStringList{"Minuteria", "Viti", "Viti"}));
    const QList<RigaTipo> righe = VisualizzaTipi();
    QCOMPARE(righe.size(), 3);
    QCOMPARE(righe[1].id, 1);
    QCOMPARE(righe[2].id, 3);
    QCOMPARE(IdTipo(QStringLiteral("Viti")), 1);
    QVERIFY(registro.rapporti().isEmpty());
}

void TestTipi::tabellaVuota()
{
    DatabaseDiProva db;
    RegistroRapporti registro;
    QVERIFY(CaricaTipi().isEmpty());
    QVERIFY(VisualizzaTipi().isEmpty());
    QCOMPARE(IdTipo(QStringLiteral("Viti")), 0);
    QCOMPARE(CodiceTipo(1), QString());
    QVERIFY(registro.rapporti().isEmpty());
}

void TestTipi::cancellazione()
{
    DatabaseDiProva db;
    RegistroRapporti registro;
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
    db.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo)"
                             " VALUES ('V1', 1, 4, 100)"));

    QVERIFY(CancellaTipo(1));
    QCOMPARE(CodiceTipo(1), QString());
    QCOMPARE(IdTipo(QStringLiteral("Viti")), 0);
    QCOMPARE(CaricaTipi(), QStringList{"Bulloni"});
    // Rows of the deleted type keep its id.
    QCOMPARE(db.valore(QStringLiteral("SELECT tipo FROM rimanenze")).toInt(), 1);
    // Deleting an id that is not there is no failure.
    QVERIFY(CancellaTipo(1));
    // A new type never takes the deleted number.
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QCOMPARE(IdTipo(QStringLiteral("Viti")), 3);
    QVERIFY(registro.rapporti().isEmpty());
}

void TestTipi::senzaFile_data()
{
    QTest::addColumn<int>("zona");
    QTest::addColumn<std::function<bool()>>("chiama");
    QTest::newRow("AggiungiTipo") << 2 << std::function<bool()>([] {
        return !AggiungiTipo(QStringLiteral("Viti"));
    });
    QTest::newRow("CaricaTipi") << 3 << std::function<bool()>([] { return CaricaTipi().isEmpty(); });
    QTest::newRow("CancellaTipo") << 6 << std::function<bool()>([] { return !CancellaTipo(1); });
    QTest::newRow("CodiceTipo") << 7 << std::function<bool()>([] {
        return CodiceTipo(1).isEmpty();
    });
    QTest::newRow("IdTipo") << 8 << std::function<bool()>([] {
        return IdTipo(QStringLiteral("Viti")) == 0;
    });
    QTest::newRow("VisualizzaTipi") << 11 << std::function<bool()>([] {
        return VisualizzaTipi().isEmpty();
    });
}

void TestTipi::senzaFile()
{
    QFETCH(int, zona);
    QFETCH(std::function<bool()>, chiama);
    DatabaseDiProva db(DatabaseDiProva::Inizio::SenzaFile);
    RegistroRapporti registro;
    QVERIFY(chiama());
    QCOMPARE(registro.zone(), QList<int>{zona});
}

QTEST_GUILESS_MAIN(TestTipi)
#include "tst_tipi.moc"
