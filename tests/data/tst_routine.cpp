#include "data/database_routines.h"
#include "data/percorso.h"
#include "data/routine.h"
#include "data/schema.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using Routine = std::function<bool()>;
Q_DECLARE_METATYPE(Routine)

class TestRoutine : public QObject
{
    Q_OBJECT

private slots:
    void guasti_data()
    {
        QTest::addColumn<QString>("guasto");
        QTest::addColumn<Routine>("routine");
        QTest::addColumn<int>("zona");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("descrizione"); // empty: whatever the engine says
        const Routine leggi = [] { return LeggiGeneralita(); };
        const Routine salva = [] { return SalvaGeneralita("a", "b", "c", "d", "e"); };
        QTest::newRow("file mancante, lettura") << "mancante" << leggi << 12 << 14 << "";
        QTest::newRow("file mancante, scrittura") << "mancante" << salva << 17 << 14 << "";
        QTest::newRow("non database") << "testo" << leggi << 12 << 26 << "file is not a database";
        QTest::newRow("tabella mancante") << "tabella" << leggi << 12 << 1
                                          << "no such table: generalità";
        QTest::newRow("colonna mancante") << "colonna" << salva << 17 << 1 << "no such column: info4";
    }

    void guasti()
    {
        QFETCH(QString, guasto);
        QFETCH(Routine, routine);
        QFETCH(int, zona);
        QFETCH(int, numero);
        QFETCH(QString, descrizione);
        DatabaseDiProva prova(guasto == "mancante" ? DatabaseDiProva::Inizio::SenzaFile
                                                   : DatabaseDiProva::Inizio::FileNuovo);
        if (guasto == "testo")
            prova.sostituisciConTesto(QByteArray("Questo non è un database.\n").repeated(80));
        else if (guasto == "tabella")
            prova.esegui("DROP TABLE \"generalità\"");
        else if (guasto == "colonna")
            prova.esegui("ALTER TABLE \"generalità\" DROP COLUMN info4");
        RegistroRapporti registro;

        QVERIFY(!routine());

        QCOMPARE(registro.rapporti().size(), 1);
        const RapportoZona &r = registro.rapporti().first();
        QCOMPARE(r.zona, zona);
        QCOMPARE(r.numero, numero);
        QVERIFY(!r.descrizione.isEmpty());
        if (!descrizione.isEmpty())
            QCOMPARE(r.descrizione, descrizione);
        QCOMPARE(r.testo(), QString("Si è verificato in zona %1:\nErrore n. %2 %3")
                                .arg(zona).arg(numero).arg(r.descrizione));
        if (guasto == "mancante")
            QVERIFY2(!QFileInfo::exists(prova.percorso()), "the routine must never create the file");
    }

    void risultatoVuotoNonSegnala()
    {
        DatabaseDiProva prova;
        prova.esegui("DELETE FROM \"generalità\"");
        AziendaNome = QStringLiteral("precedente");
        RegistroRapporti registro;

        QVERIFY(LeggiGeneralita());
        QVERIFY(registro.rapporti().isEmpty());
        QCOMPARE(AziendaNome, QStringLiteral("precedente"));
    }

    void valoreNulloInterrompeLaLettura()
    {
        DatabaseDiProva prova;
        prova.esegui("UPDATE \"generalità\" SET nome='Negozio', info1='Via Roma', info2=NULL");
        AziendaInfo2 = QStringLiteral("vecchio");
        RegistroRapporti registro;

        QVERIFY(!LeggiGeneralita());
        QCOMPARE(registro.zone(), QList<int>{12});
        QCOMPARE(AziendaInfo1, QStringLiteral("Via Roma"));
        QCOMPARE(AziendaInfo2, QStringLiteral("vecchio"));
    }

    void transazioneAnnullataDaUnErrore()
    {
        DatabaseDiProva prova;
        RegistroRapporti registro;

        QVERIFY(!eseguiRoutine(Zona{99}, [](Sessione &s) {
            Transazione t(s);
            s.esegui("INSERT INTO tipo (codice) VALUES (?)", {QStringLiteral("A")});
            s.esegui("INSERT INTO tabella_che_non_esiste VALUES (1)");
            t.conferma();
        }));
        QCOMPARE(registro.zone(), QList<int>{99});
        QCOMPARE(prova.valore("SELECT COUNT(*) FROM tipo").toInt(), 0);
    }

    // A commit in the rollback journal is durable only with EXTRA.
    void commitDurevole()
    {
        DatabaseDiProva prova;
        qint64 sincrono = -1;
        QString giornale;
        QVERIFY(eseguiRoutine(Zona{99}, [&](Sessione &s) {
            QSqlQuery q = s.esegui("PRAGMA synchronous");
            QVERIFY(Sessione::prossima(q));
            sincrono = colonnaIntero(q, 0);
            q = s.esegui("PRAGMA journal_mode");
            QVERIFY(Sessione::prossima(q));
            giornale = colonnaTesto(q, 0);
        }));
        QCOMPARE(sincrono, 3);
        QCOMPARE(giornale, QStringLiteral("delete"));
    }

    void fileNuovo()
    {
        DatabaseDiProva prova;
        QCOMPARE(percorsoPredefinito(),
                 QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + "Vorendi.mdb");
        // An existing file is never overwritten.
        prova.esegui("INSERT INTO tipo (codice) VALUES ('Viti')");
        QString errore;
        QVERIFY(!creaDatabase(prova.percorso(), &errore));
        QVERIFY(errore.contains(QStringLiteral("esiste già")));
        QCOMPARE(prova.valore("SELECT codice FROM tipo").toString(), QStringLiteral("Viti"));
    }

    // The tool that writes a new file: one path at most, never over a file.
    void strumentoNuovoDb_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<int>("uscita");
        QTest::addColumn<QStringList>("file"); // in the folder afterwards
        QTest::newRow("nella cartella") << QStringList{} << 0 << QStringList{"Vorendi.mdb"};
        QTest::newRow("con un nome") << QStringList{"Negozio.mdb"} << 0
                                     << QStringList{"Negozio.mdb"};
        QTest::newRow("due argomenti") << QStringList{"a", "b"} << 2 << QStringList{};
    }

    void strumentoNuovoDb()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(int, uscita);
        QFETCH(QStringList, file);
        QTemporaryDir cartella;
        QProcess strumento;
        strumento.setWorkingDirectory(cartella.path());
        strumento.start(QStringLiteral(VORENDI_NUOVO_DB), argomenti);
        QVERIFY(strumento.waitForFinished(60000));
        QCOMPARE(strumento.exitCode(), uscita);
        QCOMPARE(QDir(cartella.path()).entryList(QDir::Files), file);
        if (file.isEmpty())
            return;
        // A second run leaves the file it finds alone.
        strumento.start(QStringLiteral(VORENDI_NUOVO_DB), argomenti);
        QVERIFY(strumento.waitForFinished(60000));
        QCOMPARE(strumento.exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRoutine)
#include "tst_routine.moc"
