#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

// Every routine, run in the helper process, against a file that is missing,
// not a database, short of a table, read-only, locked by another program or
// on a full disk: one zone report each, no crash, and not a byte written.

namespace {

enum Guasto { Mancante, NonDatabase, SenzaTabella, SolaLettura, Scrittura, Commit };

// The helper's lines once it has ended, its zone reports cut to "rapporto zona numero".
QStringList uscita(const QStringList &argomenti)
{
    ProcessoProva processo(argomenti);
    if (!processo.finisci())
        return {QStringLiteral("non finito")};
    QStringList righe = processo.righe();
    for (QString &riga : righe) {
        if (riga.startsWith(QLatin1String("rapporto ")))
            riga = riga.section(u' ', 0, 2);
    }
    return righe;
}

QStringList rapporto(int zona, int numero)
{
    return {QStringLiteral("rapporto %1 %2").arg(zona).arg(numero), QStringLiteral("esito 0")};
}

} // namespace

class TestGuasti : public QObject
{
    Q_OBJECT

private slots:
    void fileGuasto_data();
    void fileGuasto();
    void discoPieno_data();
    void discoPieno();
};

void TestGuasti::fileGuasto_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<int>("guasto");
    QTest::addColumn<QStringList>("attese"); // the helper's lines
    for (const ComandoDiProva &c : comandiDiProva()) {
        const QByteArray nome = c.nome.toUtf8();
        const char *n = nome.constData();
        // SQLITE_CANTOPEN, SQLITE_NOTADB, SQLITE_ERROR, SQLITE_READONLY
        QTest::addRow("%s, file mancante", n) << c.nome << int(Mancante) << rapporto(c.zona, 14);
        QTest::addRow("%s, non un database", n) << c.nome << int(NonDatabase) << rapporto(c.zona, 26);
        QTest::addRow("%s, senza %s", n, qPrintable(c.tabella))
            << c.nome << int(SenzaTabella) << rapporto(c.zonaTabella, 1);
        // Reading a read-only file is no fault at all.
        QTest::addRow("%s, sola lettura", n)
            << c.nome << int(SolaLettura) << (c.scrive ? rapporto(c.zona, 8) : QStringList{"esito 1"});
    }
    // A write transaction under way keeps writers out; one that is committing
    // (an exclusive lock) keeps readers out as well: SQLITE_BUSY.
    QTest::newRow("acquisto, file bloccato") << "RegistraProdotto" << int(Scrittura) << rapporto(1, 5);
    QTest::newRow("vendita, file bloccato") << "RegistraVendita" << int(Scrittura) << rapporto(1, 5);
    QTest::newRow("lettura durante un commit") << "VisualizzaTipi" << int(Commit) << rapporto(11, 5);
}

void TestGuasti::fileGuasto()
{
    QFETCH(QString, nome);
    QFETCH(int, guasto);
    QFETCH(QStringList, attese);
    DatabaseDiProva prova(guasto == Mancante ? DatabaseDiProva::Inizio::SenzaFile
                                             : DatabaseDiProva::Inizio::FileNuovo);
    if (guasto == NonDatabase)
        prova.sostituisciConTesto(QByteArray("Questo non è un database.\n").repeated(200));
    else if (guasto != Mancante)
        preparaNegozio(prova);
    if (guasto == SenzaTabella)
        prova.esegui(QStringLiteral("DROP TABLE \"%1\"").arg(comandoDiProva(nome)->tabella));
    // Run as another user where this one is root, who writes through any
    // permission: the folder must let that user reach the file.
    const QFile::Permissions lettura = QFile::ReadOwner | QFile::ReadOther;
    if (guasto == SolaLettura) {
        QFile::setPermissions(prova.cartella(),
                              lettura | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);
        QFile::setPermissions(prova.percorso(), lettura);
    }
    std::unique_ptr<ProcessoProva> altro;
    if (guasto == Scrittura || guasto == Commit) {
        altro = std::make_unique<ProcessoProva>(QStringList{
            "blocca", prova.percorso(), "60000", guasto == Commit ? "EXCLUSIVE" : "IMMEDIATE"});
        QVERIFY(altro->attendi(QStringLiteral("bloccato")));
    }
    const QByteArray prima = byteDelFile(prova.percorso());
    QElapsedTimer attesa;
    attesa.start();

    const QStringList righe = uscita({QStringLiteral("esegui"), prova.percorso(), nome,
                                      guasto == SolaLettura ? "nessuno" : ""});

    QFile::setPermissions(prova.percorso(), QFile::ReadOwner | QFile::WriteOwner);
    if (righe.contains(QStringLiteral("errore utente non cambiato")))
        QSKIP("root here cannot become another user, and root writes through read-only files");
    QCOMPARE(righe, attese);
    QCOMPARE(QFileInfo::exists(prova.percorso()), guasto != Mancante);
    QVERIFY2(byteDelFile(prova.percorso()) == prima, "a failed routine wrote to the file");
    if (!altro)
        return;
    // It waited a few seconds for the other program. Once that program dies
    // in the middle, the same command works, and what it had begun to write
    // is not in the file.
    QVERIFY2(attesa.elapsed() >= ATTESA_PROVA.count() * 3 / 4,
             qPrintable(QString::number(attesa.elapsed())));
    altro->uccidi();
    QCOMPARE(uscita({QStringLiteral("esegui"), prova.percorso(), nome}), QStringList{"esito 1"});
    QCOMPARE(prova.valore(QStringLiteral("SELECT count(*) FROM tipo WHERE codice = 'bloccante'"))
                 .toInt(), 0);
    QCOMPARE(prova.valore(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

void TestGuasti::discoPieno_data()
{
    QTest::addColumn<QString>("passo");
    QTest::newRow("acquisti") << "acquisti";
    QTest::newRow("vendite") << "vendite";
}

void TestGuasti::discoPieno()
{
    QFETCH(QString, passo);
    DatabaseDiProva prova;
    preparaCarrello(prova);
    const auto conta = [&](const char *sql) { return prova.valore(QLatin1String(sql)).toLongLong(); };
    const qint64 scorta = conta("SELECT sum(pezzi) FROM rimanenze");

    // The helper repeats the step until the file cannot grow; the step that
    // does not fit must leave it exactly as it was. The size limit refuses
    // the write with EFBIG, which reads as SQLITE_IOERR_WRITE.
    const QStringList righe = uscita({QStringLiteral("pieno"), prova.percorso(), passo});

    QCOMPARE(righe.size(), 3);
    QCOMPARE(righe.at(0), QStringLiteral("rapporto 1 778"));
    QCOMPARE(righe.at(2), QStringLiteral("invariato 1"));
    const qint64 n = righe.at(1).section(u' ', 1).toLongLong();
    qInfo("%s: %lld riusciti prima del disco pieno", qPrintable(passo), n);
    QCOMPARE(prova.valore(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    if (passo == QLatin1String("acquisti")) {
        QCOMPARE(conta("SELECT count(*) FROM prodotto"), n);
        QCOMPARE(conta("SELECT sum(pezzi) FROM rimanenze") - scorta,
                 conta("SELECT sum(pezzi) FROM prodotto"));
    } else {
        QCOMPARE(conta("SELECT count(*) FROM ricevuta"), n);
        QCOMPARE(conta("SELECT count(*) FROM prodotto"), 20 * n);
        QCOMPARE(conta("SELECT count(*) FROM carrello"), 20);
        QCOMPARE(conta("SELECT sum(pezzi) FROM rimanenze"), scorta - 210 * n);
    }
}

QTEST_GUILESS_MAIN(TestGuasti)
#include "tst_guasti.moc"
