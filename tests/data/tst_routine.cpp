#include "data/database_routines.h"
#include "data/percorso.h"
#include "data/routine.h"
#include "data/schema.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <functional>

using Routine = std::function<bool()>;
Q_DECLARE_METATYPE(Routine)

class TestRoutine : public QObject
{
    Q_OBJECT

private slots:
    void testoRapporto();
    void fileMancante_data();
    void fileMancante();
    void fileGuasto_data();
    void fileGuasto();
    void risultatoVuotoNonSegnala();
    void valoreNulloInterrompeLaLettura();
    void transazioneAnnullataDaUnErrore();
    void percorsoNellaCartellaDiLavoro();
    void nuovoFile();
};

void TestRoutine::testoRapporto()
{
    const RapportoZona rapporto{2, 3022, QStringLiteral("descrizione")};
    QCOMPARE(rapporto.testo(), QStringLiteral("Si è verificato in zona 2:\nErrore n. 3022 descrizione"));
}

namespace {

void routineSpina()
{
    QTest::addColumn<int>("zona");
    QTest::addColumn<Routine>("routine");
    QTest::newRow("LeggiGeneralita") << 12 << Routine([] { return LeggiGeneralita(); });
    QTest::newRow("SalvaGeneralita") << 17 << Routine([] {
        return SalvaGeneralita(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                               QStringLiteral("d"), QStringLiteral("e"));
    });
}

} // namespace

void TestRoutine::fileMancante_data()
{
    routineSpina();
}

void TestRoutine::fileMancante()
{
    QFETCH(int, zona);
    QFETCH(Routine, routine);
    DatabaseDiProva prova(DatabaseDiProva::Inizio::SenzaFile);
    RegistroRapporti registro;

    QVERIFY(!routine());

    QCOMPARE(registro.rapporti().size(), 1);
    const RapportoZona &r = registro.rapporti().first();
    QCOMPARE(r.zona, zona);
    QCOMPARE(r.numero, 14); // SQLITE_CANTOPEN
    QCOMPARE(r.testo(), QStringLiteral("Si è verificato in zona %1:\nErrore n. 14 %2")
                            .arg(zona)
                            .arg(r.descrizione));
    QVERIFY(!r.descrizione.isEmpty());
    QVERIFY2(!QFileInfo::exists(prova.percorso()), "the routine must never create the file");
}

void TestRoutine::fileGuasto_data()
{
    QTest::addColumn<QString>("guasto");
    QTest::addColumn<int>("zona");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("descrizione");
    QTest::addColumn<Routine>("routine");
    const Routine leggi = [] { return LeggiGeneralita(); };
    const Routine salva = [] {
        return SalvaGeneralita(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                               QStringLiteral("d"), QStringLiteral("e"));
    };
    QTest::newRow("non database, lettura") << "testo" << 12 << 26 << "file is not a database" << leggi;
    QTest::newRow("non database, scrittura") << "testo" << 17 << 26 << "file is not a database" << salva;
    QTest::newRow("tabella mancante") << "tabella" << 12 << 1 << "no such table: generalità" << leggi;
    QTest::newRow("colonna mancante") << "colonna" << 17 << 1 << "no such column: info4" << salva;
}

void TestRoutine::fileGuasto()
{
    QFETCH(QString, guasto);
    QFETCH(int, zona);
    QFETCH(int, numero);
    QFETCH(QString, descrizione);
    QFETCH(Routine, routine);
    DatabaseDiProva prova;
    if (guasto == QLatin1String("testo")) {
        prova.sostituisciConTesto(QByteArray("Questo non è un database, ma un file di testo.\n").repeated(40));
    } else if (guasto == QLatin1String("tabella")) {
        prova.esegui(QStringLiteral("DROP TABLE \"generalità\""));
    } else {
        prova.esegui(QStringLiteral("ALTER TABLE \"generalità\" DROP COLUMN info4"));
    }
    RegistroRapporti registro;

    QVERIFY(!routine());

    QCOMPARE(registro.zone(), QList<int>{zona});
    QCOMPARE(registro.rapporti().first().numero, numero);
    QCOMPARE(registro.rapporti().first().descrizione, descrizione);
}

void TestRoutine::risultatoVuotoNonSegnala()
{
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("DELETE FROM \"generalità\""));
    AziendaNome = QStringLiteral("precedente");
    RegistroRapporti registro;

    QVERIFY(LeggiGeneralita());

    QVERIFY(registro.rapporti().isEmpty());
    QCOMPARE(AziendaNome, QStringLiteral("precedente"));
}

void TestRoutine::valoreNulloInterrompeLaLettura()
{
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("UPDATE \"generalità\" SET nome='Negozio', info1='Via Roma', info2=NULL,"
                                " info3='x', info4='y'"));
    AziendaInfo2 = AziendaInfo3 = QStringLiteral("vecchio");
    RegistroRapporti registro;

    QVERIFY(!LeggiGeneralita());

    QCOMPARE(registro.zone(), QList<int>{12});
    QCOMPARE(AziendaNome, QStringLiteral("Negozio"));
    QCOMPARE(AziendaInfo1, QStringLiteral("Via Roma"));
    QCOMPARE(AziendaInfo2, QStringLiteral("vecchio"));
    QCOMPARE(AziendaInfo3, QStringLiteral("vecchio"));
}

void TestRoutine::transazioneAnnullataDaUnErrore()
{
    DatabaseDiProva prova;
    RegistroRapporti registro;

    const bool riuscita = eseguiRoutine(99, [](Sessione &s) {
        Transazione t(s);
        s.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES (?)"), {QStringLiteral("A")});
        s.esegui(QStringLiteral("INSERT INTO tabella_che_non_esiste VALUES (1)"));
        t.conferma();
    });

    QVERIFY(!riuscita);
    QCOMPARE(registro.zone(), QList<int>{99});
    QCOMPARE(prova.valore(QStringLiteral("SELECT COUNT(*) FROM tipo")).toInt(), 0);
}

void TestRoutine::percorsoNellaCartellaDiLavoro()
{
    DatabaseDiProva prova;
    QCOMPARE(percorsoPredefinito(),
             QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + "Vorendi.mdb");
    QCOMPARE(QFileInfo(percorsoDatabase()).canonicalFilePath(),
             QFileInfo(prova.percorso()).canonicalFilePath());
}

void TestRoutine::nuovoFile()
{
    DatabaseDiProva prova;
    QFile file(prova.percorso());
    const qint64 dimensione = file.size();

    QString errore;
    QVERIFY(!creaDatabase(prova.percorso(), &errore));
    QVERIFY(errore.contains(QStringLiteral("esiste già")));
    QCOMPARE(file.size(), dimensione);

    // One company row; counters never reuse a number; codes ignore case.
    QCOMPARE(prova.valore(QStringLiteral("SELECT COUNT(*) FROM \"generalità\"")).toInt(), 1);
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Viti')"));
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Dadi')"));
    prova.esegui(QStringLiteral("DELETE FROM tipo WHERE id=2"));
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Bulloni')"));
    QCOMPARE(prova.valore(QStringLiteral("SELECT MAX(id) FROM tipo")).toInt(), 3);
    QCOMPARE(prova.valore(QStringLiteral("SELECT id FROM tipo WHERE codice='VITI'")).toInt(), 1);
    for (const QString &tabella : {QStringLiteral("rimanenze"), QStringLiteral("prodotto"),
                                   QStringLiteral("carrello"), QStringLiteral("ricevuta")})
        QCOMPARE(prova.valore(QStringLiteral("SELECT COUNT(*) FROM ") + tabella).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestRoutine)
#include "tst_routine.moc"
