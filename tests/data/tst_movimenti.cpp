#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QDate>
#include <QTest>

namespace {

const QDate OGGI(2024, 3, 14);

bool registra(const QString &tipo, qint64 acquisto, qint64 vendita, qint16 pezzi,
              int operazione = OPERAZIONE_ACQUISTO, const QString &codice = "V'100",
              const QDate &giorno = OGGI)
{
    return RegistraProdotto(tipo, codice, acquisto, vendita, pezzi, operazione, giorno);
}

} // namespace

class TestMovimenti : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        db_ = new DatabaseDiProva;
        registro_ = new RegistroRapporti;
        QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
        QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
    }

    void cleanup()
    {
        delete registro_;
        delete db_;
    }

    void acquistiEVendita()
    {
        const QString rimanenze = QStringLiteral("SELECT codice, tipo, pezzi, prezzo FROM rimanenze");
        QVERIFY(registra("Viti", 800, 1500, 5));
        QCOMPARE(db_->righe(rimanenze), (QList<QVariantList>{{"V'100", 1, 5, 1500}}));

        // Same code whatever its case: pieces added, price and type replaced.
        QVERIFY(registra("BULLONI", 900, 1800, 3, OPERAZIONE_ACQUISTO, "v'100", QDate(2024, 3, 15)));
        QCOMPARE(db_->righe(rimanenze), (QList<QVariantList>{{"V'100", 2, 8, 1800}}));

        // A sale takes pieces only: the stock keeps its price and type.
        QVERIFY(registra("Viti", 0, 1500, -3, OPERAZIONE_VENDITA));
        QCOMPARE(db_->righe(rimanenze), (QList<QVariantList>{{"V'100", 2, 5, 1800}}));

        QCOMPARE(db_->righe("SELECT tipo, codice, prezzovendita, prezzoacquisto, pezzi, operazione,"
                            " dataop FROM prodotto ORDER BY id"),
                 (QList<QVariantList>{{1, "V'100", 1500, 800, 5, 1, "2024-03-14"},
                                      {2, "v'100", 1800, 900, 3, 1, "2024-03-15"},
                                      {1, "V'100", 1500, 0, -3, 2, "2024-03-14"}}));
        QVERIFY(registro_->rapporti().isEmpty());
    }

    void movimentoNonRegistrabile_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QDate>("giorno");
        QTest::newRow("nessun tipo scelto") << "" << OGGI;
        QTest::newRow("tipo inesistente") << "Dadi" << OGGI;
        QTest::newRow("giorno non valido") << "Viti" << QDate();
    }

    void movimentoNonRegistrabile()
    {
        QFETCH(QString, tipo);
        QFETCH(QDate, giorno);
        QVERIFY(!registra(tipo, 800, 1500, 5, OPERAZIONE_ACQUISTO, "V-100", giorno));
        QCOMPARE(registro_->zone(), QList<int>{1});
        QCOMPARE(db_->valore("SELECT count(*) FROM prodotto").toInt(), 0);
        QCOMPARE(db_->valore("SELECT count(*) FROM rimanenze").toInt(), 0);
    }

    void rimanenzaBloccata_data()
    {
        QTest::addColumn<bool>("giaInMagazzino");
        QTest::newRow("nuova rimanenza") << false;
        QTest::newRow("rimanenza esistente") << true;
    }

    void rimanenzaBloccata()
    {
        QFETCH(bool, giaInMagazzino);
        if (giaInMagazzino)
            QVERIFY(registra("Viti", 800, 1500, 5));
        const auto prima = [this] {
            return db_->righe("SELECT * FROM prodotto")
                + db_->righe("SELECT * FROM rimanenze");
        };
        const QList<QVariantList> righePrima = prima();
        for (const char *evento : {"INSERT", "UPDATE"})
            db_->esegui(QStringLiteral("CREATE TRIGGER blocca_%1 BEFORE %1 ON rimanenze"
                                       " BEGIN SELECT RAISE(ABORT, 'rimanenze bloccate'); END")
                            .arg(QLatin1String(evento)));

        QVERIFY(!registra("Viti", 900, 1800, 3));
        QCOMPARE(registro_->zone(), QList<int>{4});
        QVERIFY(registro_->rapporti().first().descrizione.contains("rimanenze bloccate"));
        QCOMPARE(prima(), righePrima);
    }

    void suggerimenti_data()
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
        QTest::newRow("nessuno") << 1 << "q" << QStringList{};
    }

    void suggerimenti()
    {
        QFETCH(qint32, tipo);
        QFETCH(QString, prefisso);
        QFETCH(QStringList, attesi);
        db_->esegui("INSERT INTO rimanenze (codice, tipo) VALUES ('AC', 1), ('ab', 1), ('a_2', 1),"
                    " ('A%1', 1), ('AZ', 2), ('b!x', 1), ('bx', 1), ('d''uno', 1), ('xa', 1)");
        QCOMPARE(SuggerimentiCodice(tipo, prefisso), attesi);
        QVERIFY(registro_->rapporti().isEmpty());
    }

    void senzaFile()
    {
        delete db_;
        db_ = new DatabaseDiProva(DatabaseDiProva::Inizio::SenzaFile);
        QVERIFY(!registra("Viti", 1, 1, 1));
        QVERIFY(!AggiornaRimanenze("V", 1, 1, 1));
        QVERIFY(SuggerimentiCodice(1, "V").isEmpty());
        QCOMPARE(registro_->zone(), (QList<int>{1, 4, 19}));
    }

private:
    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
};

QTEST_GUILESS_MAIN(TestMovimenti)
#include "tst_movimenti.moc"
