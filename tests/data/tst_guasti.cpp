#include "data/copie.h"
#include "data/database_routines.h"
#include "data/percorso.h"
#include "data/schema.h"
#include "support/banco_dati.h"
#include "support/server_prova.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QRandomGenerator>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <thread>

// What only the file has: a kill at any moment, a disk that fills up, a
// file this user may not write, the day's copy, a new file.

namespace {

// Types "Prova" and "Altro"; COD-01..COD-20 with a large stock, and in the
// table prova_carrello the cart the helper sells: line k of k pieces.
void preparaCarrello(const BancoDati &b)
{
    b.esegui("INSERT INTO tipo (codice) VALUES ('Prova'), ('Altro')");
    b.esegui("CREATE TABLE prova_carrello AS SELECT * FROM carrello");
    for (int k = 1; k <= 20; ++k) {
        const QVariantList riga{QStringLiteral("COD-%1").arg(k, 2, 10, QChar(u'0')), k % 2 + 1, 100 * k + 5, k,
                                k * (100 * k + 5)};
        b.esegui("INSERT INTO rimanenze VALUES (?, ?, 1000000, ?)", riga.mid(0, 3));
        b.esegui("INSERT INTO prova_carrello VALUES (?, ?, ?, ?, ?)", riga);
    }
}

// Queries and their values after n whole steps: 20-line sales, or purchases
// (movement i + 1 is purchase i).
QList<std::pair<QString, qint64>> attesi(bool vendite, qint64 n)
{
    if (vendite)
        return {
            {"SELECT count(*) IN (0, 20) FROM carrello", 1},
            {"SELECT count(*) FROM prodotto", 20 * n},
            {"SELECT count(*) FROM prodotto p JOIN prova_carrello c ON p.codice = c.codice AND p.tipo = c.tipo"
             " AND p.prezzovendita = c.prezzo AND p.pezzi = -c.pezzi AND p.operazione = 2", 20 * n},
            {"SELECT count(*) FROM rimanenze r JOIN prova_carrello c ON c.codice = r.codice AND"
             " r.prezzo = c.prezzo WHERE r.pezzi = 1000000 - " + QString::number(n) + " * c.pezzi", 20},
            {"SELECT count(*) FROM ricevuta WHERE totale = (SELECT sum(totale) FROM prova_carrello)", n},
            {"SELECT coalesce(max(codice), 0) FROM ricevuta", n},
        };
    return {
        {"SELECT count(*) FROM prodotto", n},
        {"SELECT count(*) FROM prodotto WHERE operazione = 1 AND prezzovendita = id AND prezzoacquisto = id - 1"
         " AND pezzi = (id - 1) % 7 + 1 AND codice = 'ART-' || ((id - 1) % 10)", n},
        // Each code's stock is the sum of its movements, at the latest price.
        {"SELECT count(*) FROM rimanenze r JOIN (SELECT codice, sum(pezzi) AS pezzi, max(id) AS ultimo"
         " FROM prodotto GROUP BY codice) p ON p.codice = r.codice WHERE r.pezzi = p.pezzi"
         " AND r.prezzo = p.ultimo", qMin<qint64>(n, 10)},
    };
}

QStringList uscita(const QStringList &argomenti)
{
    ProcessoProva processo(argomenti);
    QStringList righe = processo.finisci() ? processo.righe() : QStringList{"non finito"};
    return righe;
}

} // namespace

class TestGuasti : public QObject
{
    Q_OBJECT

private slots:
    void passi_data()
    {
        QTest::addColumn<bool>("vendite");
        QTest::newRow("vendite") << true;
        QTest::newRow("acquisti") << false;
    }

    // SIGKILL at random moments: the file is sound and holds the whole of
    // the step it hit, or none of it.
    void arresti_data() { passi_data(); }
    void arresti()
    {
        QFETCH(bool, vendite);
        BancoDati b;
        preparaCarrello(b);
        const QStringList argomenti{vendite ? "vendite" : "acquisti", b.percorso()};
        const QString conta = vendite ? "SELECT count(*) FROM ricevuta" : "SELECT count(*) FROM prodotto";
        QRandomGenerator caso(semeDiProva());
        // One run times a turn; the kills fall anywhere in one and a half.
        qint64 giro = 0;
        {
            ProcessoProva misura(argomenti);
            QVERIFY(misura.attendi("pronto"));
            QElapsedTimer tempo;
            tempo.start();
            QVERIFY(misura.attendi(vendite ? "v" : "a", 5));
            giro = tempo.nsecsElapsed() / 5000;
        }
        for (int k = 1; k <= (vendite ? 50 : 30); ++k) {
            ProcessoProva vittima(argomenti);
            QVERIFY(vittima.attendi("pronto"));
            std::this_thread::sleep_for(std::chrono::microseconds(caso.bounded(qint64(1), giro * 3 / 2 + 2)));
            QVERIFY(vittima.uccidi());
            const QString ultima = vittima.righe().last();
            QVERIFY2(!ultima.startsWith("errore"), qPrintable(ultima));
            // The first read rolls a hot journal back, as the program's next routine would.
            QCOMPARE(b.valore("PRAGMA integrity_check").toString(), "ok");
            const qint64 n = b.valore(conta).toLongLong();
            if (ultima.startsWith(vendite ? "V " : "A ")) {
                const qint64 prima = ultima.mid(2).toLongLong();
                QVERIFY(n == prima || n == prima + 1);
                if (vendite) // the whole cart before the sale, none after it
                    QCOMPARE(b.valore("SELECT count(*) FROM carrello").toInt(), n == prima ? 20 : 0);
            }
            for (const auto &[sql, atteso] : attesi(vendite, n))
                QVERIFY2(b.valore(sql).toLongLong() == atteso, qPrintable(QString::number(k) + ": " + sql));
        }
    }

    // Steps until the file cannot grow (EFBIG, read as SQLITE_IOERR_WRITE):
    // the one that does not fit leaves it as it was.
    void discoPieno_data() { passi_data(); }
    void discoPieno()
    {
        QFETCH(bool, vendite);
        BancoDati b;
        preparaCarrello(b);
        const QStringList righe = uscita({vendite ? "vendite" : "acquisti", b.percorso(), "pieno"});
        // The steps the file holds, counted apart from what the helper said.
        const qint64 n = b.valore(vendite ? "SELECT count(*) FROM ricevuta" : "SELECT count(*) FROM prodotto").toLongLong();
        const QString disco = "rapporto 1 778 Errore del disco leggendo o scrivendo il file "
            + QDir::toNativeSeparators(b.percorso()) + " (disco pieno o guasto).";
        QCOMPARE(righe.mid(righe.size() - 2), QStringList({disco, QStringLiteral("riusciti %1 invariato 1").arg(n)}));
        QCOMPARE(b.valore("PRAGMA integrity_check").toString(), "ok");
        for (const auto &[sql, atteso] : attesi(vendite, n))
            QCOMPARE(b.valore(sql).toLongLong(), atteso);
    }

    // A read-only file (run as another user where this one is root, who
    // writes through any permission): a purchase is one zone report and not
    // a byte written; reading works.
    void solaLettura()
    {
        BancoDati b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Prova')");
        QFile::setPermissions(b.cartella(), QFile::Permissions(0x7755));
        QFile::setPermissions(b.percorso(), QFile::ReadOwner | QFile::ReadOther);
        const QByteArray prima = b.byte();
        const QStringList righe = uscita({"nessuno", b.percorso()});
        if (righe.contains("errore utente non cambiato"))
            MANCA_STRUMENTO("root qui non può diventare nobody (65534), e root scrive anche i file di sola lettura");
        QCOMPARE(righe, QStringList({"rapporto 1 8 Il file " + QDir::toNativeSeparators(b.percorso())
                                         + " è di sola lettura: non vi si può scrivere.", "esito 0", "esito 1"}));
        QVERIFY(b.byte() == prima);
    }

    // The file's connection is kept from one routine to the next, while the
    // file at the path is still the one it opened: a file put in its place
    // is read anew, and a deleted one is missing.
    void fileSostituito()
    {
        BancoDati b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Prima')");
        QCOMPARE(CaricaTipi().value_or(QStringList()), QStringList{"Prima"});
        const QString copia = b.cartella() + "/copia.mdb";
        QVERIFY(QFile::copy(b.percorso(), copia));
        QCOMPARE(std::rename(QFile::encodeName(copia).constData(), QFile::encodeName(b.percorso()).constData()), 0);
        b.esegui("INSERT INTO tipo (codice) VALUES ('Seconda')");
        QCOMPARE(CaricaTipi().value_or(QStringList()), QStringList({"Prima", "Seconda"}));
        QVERIFY(b.rapporti.isEmpty());
        QVERIFY(QFile::remove(b.percorso()));
        QVERIFY(!CaricaTipi());
        QCOMPARE(b.zone(), QList<int>{3});
        QVERIFY(!QFile::exists(b.percorso()));
    }

    // A file said made keeps its name through a power cut: the folder that
    // holds it is synced after the rename or link that named it, as strace
    // sees the real routines and tools do it.
    void nomiSulDisco_data()
    {
        QTest::addColumn<QStringList>("comando");
        QTest::addColumn<QString>("dove");
        QTest::addColumn<QString>("filtro");
        QTest::newRow("copia") << QStringList{VORENDI_PROCESSO_PROVA, "copia", "Vorendi.mdb"} << "Backup"
                               << "Vorendi-*.mdb";
        QTest::newRow("pdf") << QStringList{VORENDI_PROCESSO_PROVA, "stampa", ".", "10"} << "." << "*.pdf";
        QTest::newRow("csv") << QStringList{VORENDI_ESPORTA, "ricevute", "-f", "Vorendi.mdb"} << "." << "*.csv";
        QTest::newRow("file nuovo") << QStringList{VORENDI_NUOVO_DB, "N.mdb"} << "." << "N.mdb";
    }

    void nomiSulDisco()
    {
        QFETCH(QStringList, comando);
        QFETCH(QString, dove);
        QFETCH(QString, filtro);
        const QString strace = QStandardPaths::findExecutable("strace");
        if (strace.isEmpty())
            MANCA_STRUMENTO("strace non installato");
        BancoDati b;
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        // Leak checking cannot run under a tracer; everything else still can.
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        if (ambiente.contains("ASAN_OPTIONS"))
            ambiente.insert("ASAN_OPTIONS", ambiente.value("ASAN_OPTIONS") + ":detect_leaks=0");
        p.setProcessEnvironment(ambiente);
        p.start(strace, QStringList{"-f", "-y", "-s", "4096", "-o", "traccia", "-e",
                                    "trace=fsync,fdatasync,rename,renameat,renameat2,link,linkat"} + comando);
        QVERIFY(p.waitForFinished(120000));
        QVERIFY2(p.exitStatus() == QProcess::NormalExit, p.readAll().constData());
        const QFileInfoList fatti = QDir(dove).entryInfoList({filtro}, QDir::Files);
        QCOMPARE(fatti.size(), 1);
        const QStringList traccia = QString::fromUtf8(byteDelFile("traccia")).split(u'\n');
        const QRegularExpression nomina(".*\\b(rename|renameat2?|link|linkat)\\(.*[/\"]"
                                        + QRegularExpression::escape(fatti[0].fileName()) + "\".*");
        const QRegularExpression cartella(".*\\bf(data)?sync\\(\\d+<"
                                          + QRegularExpression::escape(fatti[0].canonicalPath()) + ">.*");
        const qsizetype nominato = traccia.indexOf(nomina);
        QVERIFY2(nominato >= 0, qPrintable(traccia.join(u'\n')));
        QVERIFY2(traccia.indexOf(cartella, nominato) > nominato, qPrintable(traccia.join(u'\n')));
    }

    // A copy made while another connection keeps writing is a sound file that
    // holds what was committed; one a day, the newest 30 kept.
    void copie()
    {
        BancoDati b;
        QDir cartella(b.cartella());
        QVERIFY(cartella.mkpath("Backup"));
        for (int giorno = 1; giorno <= 31; ++giorno)
            QFile(cartella.filePath(QStringLiteral("Backup/Vorendi-2000-01-%1.mdb").arg(giorno, 2, 10, QChar(u'0'))))
                .open(QIODevice::WriteOnly);
        QFile(cartella.filePath("Backup/altro.mdb")).open(QIODevice::WriteOnly);
        for (int i = 0; i < 300; ++i)
            QVERIFY(AggiungiTipo(QStringLiteral("Tipo %1").arg(i)));
        std::atomic<bool> fine = false;
        std::thread scrittore([&] {
            for (int i = 0; !fine; ++i)
                AggiungiTipo(QStringLiteral("Nuovo %1").arg(i));
        });
        const EsitoCopia copia = copiaDelGiorno(b.percorso(), QDate(2026, 12, 6), false, std::chrono::milliseconds(1));
        fine = true;
        scrittore.join();
        QCOMPARE(copia.stato, EsitoCopia::Stato::Fatta);
        QCOMPARE(copia.file, cartella.filePath("Backup/Vorendi-2026-12-06.mdb"));
        QList<QVariantList> copiata;
        interrogaDiretto(apriDiretto("copia", copia.file), "SELECT (SELECT integrity_check FROM pragma_integrity_check),"
                                                           " (SELECT count(*) FROM tipo WHERE codice LIKE 'Tipo %')",
                         {}, &copiata);
        QSqlDatabase::removeDatabase("copia");
        QCOMPARE(copiata, QList<QVariantList>({{"ok", 300}}));
        QCOMPARE(copiaDelGiorno(b.percorso(), QDate(2026, 12, 6)).stato, EsitoCopia::Stato::GiaFatta);
        const QStringList rimaste = QDir(cartella.filePath("Backup")).entryList(QDir::Files, QDir::Name);
        QCOMPARE(rimaste.size(), 31);
        QCOMPARE(rimaste.first() + rimaste.last(), "Vorendi-2000-01-03.mdbaltro.mdb");
        QVERIFY(b.rapporti.isEmpty());
    }

    // The tool and the routine never write a new file over an existing one;
    // the program's and the tool's --help and --version answer without a
    // display and create nothing; a wrong option is told, exit code 2.
    void fileNuovo()
    {
        BancoDati b(BancoDati::SenzaFile);
        QCOMPARE(percorsoPredefinito(), QDir::toNativeSeparators(b.percorso()));
        QProcessEnvironment senzaSchermo = QProcessEnvironment::systemEnvironment();
        for (const char *variabile : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            senzaSchermo.remove(variabile);
        const QString vorendi = VORENDI_PROGRAMMA, nuovo = VORENDI_NUOVO_DB;
        for (const auto &[comando, argomenti, uscita, testo, file] :
             QList<std::tuple<QString, QStringList, int, QString, QStringList>>{
                 {vorendi, {"--version"}, 0, "Vorendi 2.0.0\n", {}}, {vorendi, {"--help"}, 0, "--version", {}},
                 {vorendi, {"--opzione-sbagliata"}, 2, "Per le opzioni: Vorendi --help", {}},
                 {nuovo, {"--help"}, 0, "", {}}, {nuovo, {"--version"}, 0, "", {}}, {nuovo, {"a", "b"}, 2, "", {}},
                 {nuovo, {}, 0, "", {"Vorendi.mdb"}}, {nuovo, {}, 1, "Vorendi.mdb esiste già: non viene sovrascritto.\n", {"Vorendi.mdb"}},
                 {nuovo, {"N.mdb"}, 0, "", {"N.mdb", "Vorendi.mdb"}},
                 {nuovo, {"N.mdb"}, 1, "Il file N.mdb esiste già: non viene sovrascritto.\n", {"N.mdb", "Vorendi.mdb"}}}) {
            QProcess strumento;
            strumento.setProcessEnvironment(senzaSchermo);
            strumento.setProcessChannelMode(QProcess::MergedChannels);
            strumento.start(comando, argomenti);
            QVERIFY(strumento.waitForFinished(60000));
            const QString scritto = QString::fromUtf8(strumento.readAll());
            QVERIFY2(strumento.exitStatus() == QProcess::NormalExit && strumento.exitCode() == uscita
                         && scritto.contains(testo),
                     qPrintable(scritto));
            QCOMPARE(QDir(b.cartella()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), file);
        }
        QVERIFY(AggiungiTipo("Viti") && !creaDatabase(b.percorso()));
        QCOMPARE(CaricaTipi(), QStringList{"Viti"});
        // Type codes compare without regard to case.
        QCOMPARE(b.valore("SELECT count(*) FROM tipo WHERE codice = 'VITI'").toInt(), 1);
    }
};

QTEST_MAIN(TestGuasti)
#include "tst_guasti.moc"
