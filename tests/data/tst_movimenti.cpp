#include "common/formati.h"
#include "data/database_routines.h"
#include "data/movimenti.h"
#include "data/routine.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QTest>

class TestMovimenti : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void primoAcquistoCreaRimanenza();
    void secondoAcquistoSommaESostituisce();
    void venditaAbbassaRimanenza();
    void valoriConApiciRegistrati();
    void movimentoNonRegistrabile_data();
    void movimentoNonRegistrabile();
    void rimanenzaBloccata_data();
    void rimanenzaBloccata();
    void piuMovimentiInUnaTransazione();
    void suggerimenti_data();
    void suggerimenti();
    void senzaFile();

private:
    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
};

namespace {

const QString OGGI = QStringLiteral("14/03/2024");

QVariantList rimanenza(const DatabaseDiProva &db, const QString &codice)
{
    const QList<QVariantList> righe = db.righe(
        QStringLiteral("SELECT codice, tipo, pezzi, prezzo FROM rimanenze WHERE codice=?"),
        {codice});
    return righe.isEmpty() ? QVariantList() : righe.first();
}

int conta(const DatabaseDiProva &db, const QString &tabella)
{
    return db.valore(QStringLiteral("SELECT count(*) FROM ") + tabella).toInt();
}

} // namespace

void TestMovimenti::init()
{
    db_ = new DatabaseDiProva;
    registro_ = new RegistroRapporti;
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
}

void TestMovimenti::cleanup()
{
    delete registro_;
    delete db_;
}

void TestMovimenti::primoAcquistoCreaRimanenza()
{
    QVERIFY(RegistraProdotto(QStringLiteral("Viti"), QStringLiteral("V-100"), 800, 1500, 5,
                             OPERAZIONE_ACQUISTO, OGGI));
    const QList<QVariantList> movimenti = db_->righe(QStringLiteral(
        "SELECT tipo, codice, prezzovendita, prezzoacquisto, pezzi, operazione, dataop"
        " FROM prodotto"));
    QCOMPARE(movimenti.size(), 1);
    QCOMPARE(movimenti[0], (QVariantList{1, "V-100", 1500, 800, 5, 1, "2024-03-14"}));
    QCOMPARE(rimanenza(*db_, QStringLiteral("V-100")), (QVariantList{"V-100", 1, 5, 1500}));
    QVERIFY(registro_->rapporti().isEmpty());
}

void TestMovimenti::secondoAcquistoSommaESostituisce()
{
    QVERIFY(RegistraProdotto(QStringLiteral("Viti"), QStringLiteral("V-100"), 800, 1500, 5,
                             OPERAZIONE_ACQUISTO, OGGI));
    // Codes match without regard to case: the same stock row.
    QVERIFY(RegistraProdotto(QStringLiteral("BULLONI"), QStringLiteral("v-100"), 900, 1800, 3,
                             OPERAZIONE_ACQUISTO, QStringLiteral("15/03/2024")));
    QCOMPARE(rimanenza(*db_, QStringLiteral("V-100")), (QVariantList{"V-100", 2, 8, 1800}));
    QCOMPARE(conta(*db_, QStringLiteral("prodotto")), 2);
    QCOMPARE(conta(*db_, QStringLiteral("rimanenze")), 1);
    QCOMPARE(db_->valore(QStringLiteral("SELECT dataop FROM prodotto WHERE id=2")).toString(),
             QStringLiteral("2024-03-15"));
}

void TestMovimenti::venditaAbbassaRimanenza()
{
    QVERIFY(RegistraProdotto(QStringLiteral("Viti"), QStringLiteral("V-100"), 800, 1500, 5,
                             OPERAZIONE_ACQUISTO, OGGI));
    QVERIFY(RegistraProdotto(QStringLiteral("Viti"), QStringLiteral("V-100"), 0, 1500, -3,
                             OPERAZIONE_VENDITA, OGGI));
    QCOMPARE(rimanenza(*db_, QStringLiteral("V-100")), (QVariantList{"V-100", 1, 2, 1500}));
    QCOMPARE(db_->righe(QStringLiteral("SELECT pezzi, operazione, prezzoacquisto FROM prodotto"
                                       " WHERE id=2")),
             (QList<QVariantList>{{-3, 2, 0}}));
    // A sale of an article never bought makes a stock row below zero.
    QVERIFY(RegistraProdotto(QStringLiteral("Viti"), QStringLiteral("V-200"), 0, 700, -2,
                             OPERAZIONE_VENDITA, OGGI));
    QCOMPARE(rimanenza(*db_, QStringLiteral("V-200")), (QVariantList{"V-200", 1, -2, 700}));
}

void TestMovimenti::valoriConApiciRegistrati()
{
    QVERIFY(AggiungiTipo(QStringLiteral("Dell'Orto")));
    const QString codice = QStringLiteral("x'); DROP TABLE prodotto; --");
    QVERIFY(RegistraProdotto(QStringLiteral("Dell'Orto"), codice, 10, 20, 1, OPERAZIONE_ACQUISTO,
                             OGGI));
    QCOMPARE(rimanenza(*db_, codice), (QVariantList{codice, 3, 1, 20}));
    QCOMPARE(conta(*db_, QStringLiteral("prodotto")), 1);
    QVERIFY(registro_->rapporti().isEmpty());
}

void TestMovimenti::movimentoNonRegistrabile_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("giorno");
    QTest::newRow("nessun tipo scelto") << "" << OGGI;
    QTest::newRow("tipo inesistente") << "Dadi" << OGGI;
    QTest::newRow("giorno non valido") << "Viti" << "31/02/2024";
    QTest::newRow("giorno in altra forma") << "Viti" << "2024-03-14";
}

void TestMovimenti::movimentoNonRegistrabile()
{
    QFETCH(QString, tipo);
    QFETCH(QString, giorno);
    QVERIFY(!RegistraProdotto(tipo, QStringLiteral("V-100"), 800, 1500, 5, OPERAZIONE_ACQUISTO,
                              giorno));
    QCOMPARE(registro_->zone(), QList<int>{1});
    QCOMPARE(conta(*db_, QStringLiteral("prodotto")), 0);
    QCOMPARE(conta(*db_, QStringLiteral("rimanenze")), 0);
}

void TestMovimenti::rimanenzaBloccata_data()
{
    QTest::addColumn<bool>("giaInMagazzino");
    QTest::newRow("nuova rimanenza") << false;
    QTest::newRow("rimanenza esistente") << true;
}

void TestMovimenti::rimanenzaBloccata()
{
    QFETCH(bool, giaInMagazzino);
    if (giaInMagazzino)
        QVERIFY(RegistraProdotto(QStringLiteral("Viti"), QStringLiteral("V-100"), 800, 1500, 5,
                                 OPERAZIONE_ACQUISTO, OGGI));
    const QList<QVariantList> movimentiPrima = db_->righe(QStringLiteral("SELECT * FROM prodotto"));
    const QVariantList rimanenzaPrima = rimanenza(*db_, QStringLiteral("V-100"));
    for (const char *evento : {"INSERT", "UPDATE"}) {
        db_->esegui(QStringLiteral("CREATE TRIGGER blocca_%1 BEFORE %1 ON rimanenze"
                                   " BEGIN SELECT RAISE(ABORT, 'rimanenze bloccate'); END")
                        .arg(QLatin1String(evento)));
    }

    QVERIFY(!RegistraProdotto(QStringLiteral("Viti"), QStringLiteral("V-100"), 900, 1800, 3,
                              OPERAZIONE_ACQUISTO, OGGI));
    QCOMPARE(registro_->zone(), QList<int>{4});
    QVERIFY(registro_->rapporti().first().descrizione.contains(QStringLiteral("rimanenze bloccate")));
    QCOMPARE(db_->righe(QStringLiteral("SELECT * FROM prodotto")), movimentiPrima);
    QCOMPARE(rimanenza(*db_, QStringLiteral("V-100")), rimanenzaPrima);
}

void TestMovimenti::piuMovimentiInUnaTransazione()
{
    QVERIFY(RegistraProdotto(QStringLiteral("Viti"), QStringLiteral("V-1"), 800, 1500, 5,
                             OPERAZIONE_ACQUISTO, OGGI));
    db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE UPDATE ON rimanenze"
                               " WHEN NEW.codice = 'V-2'"
                               " BEGIN SELECT RAISE(ABORT, 'rimanenze bloccate'); END"));
    db_->esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo)"
                               " VALUES ('V-2', 1, 9, 100)"));

    // The first line is written, the second fails: the caller's transaction
    // takes both back.
    const bool riuscito = eseguiRoutine(13, [](Sessione &s) {
        Transazione t(s);
        registraMovimento(s, {QStringLiteral("Viti"), QStringLiteral("V-1"), 0, 1500, -2,
                              OPERAZIONE_VENDITA, OGGI});
        registraMovimento(s, {QStringLiteral("Viti"), QStringLiteral("V-2"), 0, 100, -1,
                              OPERAZIONE_VENDITA, OGGI});
        t.conferma();
    });
    QVERIFY(!riuscito);
    QCOMPARE(registro_->zone(), QList<int>{4});
    QCOMPARE(conta(*db_, QStringLiteral("prodotto")), 1);
    QCOMPARE(rimanenza(*db_, QStringLiteral("V-1")).value(2).toInt(), 5);
    QCOMPARE(rimanenza(*db_, QStringLiteral("V-2")).value(2).toInt(), 9);
}

void TestMovimenti::suggerimenti_data()
{
    QTest::addColumn<qint32>("tipo");
    QTest::addColumn<QString>("prefisso");
    QTest::addColumn<QStringList>("attesi");
    QTest::newRow("prefisso del tipo") << 1 << "a" << QStringList{"A%1", "a_2", "ab", "AC"};
    QTest::newRow("senza riguardo alle maiuscole") << 1 << "AB" << QStringList{"ab"};
    QTest::newRow("altro tipo") << 2 << "a" << QStringList{"AZ"};
    QTest::newRow("percento letterale") << 1 << "a%" << QStringList{"A%1"};
    QTest::newRow("trattino basso letterale") << 1 << "a_" << QStringList{"a_2"};
    QTest::newRow("punto esclamativo letterale") << 1 << "b!" << QStringList{"b!x"};
    QTest::newRow("apice") << 1 << "d'" << QStringList{"d'uno"};
    QTest::newRow("testo vuoto") << 2 << "" << QStringList{"AZ", "ZZ"};
    QTest::newRow("nessuno") << 1 << "q" << QStringList{};
    QTest::newRow("tipo inesistente") << 9 << "a" << QStringList{};
}

void TestMovimenti::suggerimenti()
{
    QFETCH(qint32, tipo);
    QFETCH(QString, prefisso);
    QFETCH(QStringList, attesi);
    const QList<std::pair<QString, int>> rimanenze = {
        {"AC", 1}, {"ab", 1}, {"a_2", 1}, {"A%1", 1}, {"AZ", 2}, {"ZZ", 2},
        {"b!x", 1}, {"bx", 1}, {"d'uno", 1}, {"xa", 1}};
    for (const auto &[codice, idTipo] : rimanenze)
        QVERIFY(AggiornaRimanenze(codice, idTipo, 1, 1));
    QCOMPARE(SuggerimentiCodice(tipo, prefisso), attesi);
    QVERIFY(registro_->rapporti().isEmpty());
}

void TestMovimenti::senzaFile()
{
    delete db_;
    db_ = new DatabaseDiProva(DatabaseDiProva::Inizio::SenzaFile);
    QVERIFY(!RegistraProdotto(QStringLiteral("Viti"), QStringLiteral("V"), 1, 1, 1,
                              OPERAZIONE_ACQUISTO, OGGI));
    QVERIFY(!AggiornaRimanenze(QStringLiteral("V"), 1, 1, 1));
    QVERIFY(SuggerimentiCodice(1, QStringLiteral("V")).isEmpty());
    QCOMPARE(registro_->zone(), (QList<int>{1, 4, 19}));
}

QTEST_GUILESS_MAIN(TestMovimenti)
#include "tst_movimenti.moc"
