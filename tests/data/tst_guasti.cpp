#include "data/database_routines.h"
#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

// Every routine against a file that is missing, not a database, short of a
// table, read-only, locked by another program or on a full disk: one zone
// report each, no crash, and not a byte written.

namespace {

const QString NON_UN_DATABASE = QStringLiteral("Questo non è un database.\n");

// What the helper process said: its zone reports and its last word.
struct Uscita
{
    QList<QStringList> rapporti; // zone, number, description
    QStringList altre;
    bool finito = false;
};

Uscita leggiUscita(QProcess &processo)
{
    Uscita uscita;
    uscita.finito = processo.exitStatus() == QProcess::NormalExit && processo.exitCode() == 0;
    const QStringList righe =
        QString::fromUtf8(processo.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &riga : righe) {
        if (riga.startsWith(QLatin1String("rapporto ")))
            uscita.rapporti.append({riga.section(u' ', 1, 1), riga.section(u' ', 2, 2),
                                    riga.section(u' ', 3)});
        else
            uscita.altre.append(riga);
    }
    return uscita;
}

Uscita eseguiAParte(const QStringList &argomenti)
{
    QProcess processo;
    processo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    processo.start(programmaProcessoProva(), argomenti);
    if (!processo.waitForFinished(60000))
        processo.kill();
    return leggiUscita(processo);
}

void righeComandi(bool soloScritture = false)
{
    QTest::addColumn<QString>("nome");
    for (const ComandoDiProva &c : comandiDiProva()) {
        if (!soloScritture || c.scrive)
            QTest::newRow(qPrintable(c.nome)) << c.nome;
    }
}

// A routine that locks out the others for as long as it lives.
class Blocco final
{
public:
    Blocco(const QString &percorso, bool esclusivo)
    {
        processo_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processo_.start(programmaProcessoProva(),
                        {QStringLiteral("blocca"), percorso, QStringLiteral("60000"),
                         esclusivo ? QStringLiteral("esclusiva") : QStringLiteral("immediata")});
    }
    ~Blocco() { togli(); }

    bool attivo()
    {
        while (!processo_.canReadLine()) {
            if (!processo_.waitForReadyRead(10000))
                return false;
        }
        return processo_.readLine().trimmed() == "bloccato";
    }

    // As if the other program died in the middle: its journal stays behind.
    void togli()
    {
        if (processo_.state() == QProcess::NotRunning)
            return;
        processo_.kill();
        processo_.waitForFinished(10000);
    }

private:
    QProcess processo_;
};

} // namespace

class TestGuasti : public QObject
{
    Q_OBJECT

private slots:
    void fileMancante_data() { righeComandi(); }
    void fileMancante();
    void nonUnDatabase_data() { righeComandi(); }
    void nonUnDatabase();
    void tabellaMancante_data() { righeComandi(); }
    void tabellaMancante();
    void solaLettura_data() { righeComandi(); }
    void solaLettura();
    void fileBloccato_data();
    void fileBloccato();
    void discoPieno_data();
    void discoPieno();
};

void TestGuasti::fileMancante()
{
    QFETCH(QString, nome);
    const ComandoDiProva *comando = comandoDiProva(nome);
    DatabaseDiProva prova(DatabaseDiProva::Inizio::SenzaFile);
    RegistroRapporti registro;

    QVERIFY(!comando->esegui());

    QCOMPARE(registro.zone(), QList<int>{comando->zona});
    QCOMPARE(registro.rapporti().first().numero, 14); // SQLITE_CANTOPEN
    QVERIFY(!QFileInfo::exists(prova.percorso()));
}

void TestGuasti::nonUnDatabase()
{
    QFETCH(QString, nome);
    const ComandoDiProva *comando = comandoDiProva(nome);
    DatabaseDiProva prova;
    prova.sostituisciConTesto(NON_UN_DATABASE.toUtf8().repeated(200));
    const QByteArray prima = byteDelFile(prova.percorso());
    RegistroRapporti registro;

    QVERIFY(!comando->esegui());

    QCOMPARE(registro.zone(), QList<int>{comando->zona});
    QCOMPARE(registro.rapporti().first().numero, 26); // SQLITE_NOTADB
    QCOMPARE(registro.rapporti().first().descrizione, QStringLiteral("file is not a database"));
    QVERIFY(byteDelFile(prova.percorso()) == prima);
}

void TestGuasti::tabellaMancante()
{
    QFETCH(QString, nome);
    const ComandoDiProva *comando = comandoDiProva(nome);
    DatabaseDiProva prova;
    preparaNegozio(prova);
    prova.esegui(QStringLiteral("DROP TABLE \"%1\"").arg(comando->tabella));
    const QByteArray prima = byteDelFile(prova.percorso());
    RegistroRapporti registro;

    QVERIFY(!comando->esegui());

    QCOMPARE(registro.zone(), QList<int>{comando->zonaTabella});
    QCOMPARE(registro.rapporti().first().numero, 1);
    QCOMPARE(registro.rapporti().first().descrizione,
             QStringLiteral("no such table: ") + comando->tabella);
    QVERIFY2(byteDelFile(prova.percorso()) == prima, "a failed routine wrote to the file");
}

void TestGuasti::solaLettura()
{
    QFETCH(QString, nome);
    const ComandoDiProva *comando = comandoDiProva(nome);
    DatabaseDiProva prova;
    preparaNegozio(prova);
    const QByteArray prima = byteDelFile(prova.percorso());
    // Run by another user where this one is root, who writes through any
    // permission: the folder must let that user reach the file.
    QFile::setPermissions(prova.cartella(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(prova.percorso(), QFile::ReadOwner | QFile::ReadOther);

    const Uscita uscita = eseguiAParte({QStringLiteral("esegui"), prova.percorso(), nome,
                                        QStringLiteral("nessuno")});

    QFile::setPermissions(prova.percorso(), QFile::ReadOwner | QFile::WriteOwner);
    if (uscita.altre.contains(QStringLiteral("errore utente non cambiato")))
        QSKIP("root here cannot become another user, and root writes through read-only files");
    QVERIFY2(uscita.finito, qPrintable(uscita.altre.join(u'\n')));
    if (comando->scrive) {
        QCOMPARE(uscita.rapporti.size(), 1);
        QCOMPARE(uscita.rapporti.first().at(0), QString::number(comando->zona));
        QCOMPARE(uscita.rapporti.first().at(1), QStringLiteral("8")); // SQLITE_READONLY
        QCOMPARE(uscita.altre, QStringList{"esito 0"});
    } else {
        // Reading a read-only file is no fault at all.
        QCOMPARE(uscita.rapporti, QList<QStringList>{});
        QCOMPARE(uscita.altre, QStringList{"esito 1"});
    }
    QVERIFY(byteDelFile(prova.percorso()) == prima);
}

void TestGuasti::fileBloccato_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<bool>("esclusivo");
    // A write transaction under way keeps writers out; one that is committing
    // (an exclusive lock) keeps readers out as well.
    QTest::newRow("acquisto") << "RegistraProdotto" << false;
    QTest::newRow("vendita") << "RegistraVendita" << false;
    QTest::newRow("lettura durante un commit") << "VisualizzaTipi" << true;
}

void TestGuasti::fileBloccato()
{
    QFETCH(QString, nome);
    QFETCH(bool, esclusivo);
    const ComandoDiProva *comando = comandoDiProva(nome);
    DatabaseDiProva prova;
    preparaNegozio(prova);
    const QByteArray prima = byteDelFile(prova.percorso());
    Blocco blocco(prova.percorso(), esclusivo);
    QVERIFY(blocco.attivo());
    RegistroRapporti registro;
    QElapsedTimer attesa;
    attesa.start();

    QVERIFY(!comando->esegui());

    // Waited a few seconds for the other program first.
    QVERIFY2(attesa.elapsed() >= 4000, qPrintable(QString::number(attesa.elapsed())));
    QCOMPARE(registro.zone(), QList<int>{comando->zona});
    QCOMPARE(registro.rapporti().first().numero, 5); // SQLITE_BUSY
    QCOMPARE(registro.rapporti().first().descrizione, QStringLiteral("database is locked"));
    QVERIFY(byteDelFile(prova.percorso()) == prima);

    // The lock goes with the program that held it: the same command works,
    // and what that program had begun to write is not in the file.
    blocco.togli();
    registro.azzera();
    QVERIFY(comando->esegui());
    QCOMPARE(registro.zone(), QList<int>{});
    QCOMPARE(prova.valore(QStringLiteral("SELECT count(*) FROM tipo WHERE codice='bloccante'")).toInt(), 0);
    QCOMPARE(prova.valore(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

void TestGuasti::discoPieno_data()
{
    QTest::addColumn<QString>("passo");
    QTest::addColumn<int>("zona");
    QTest::newRow("acquisti") << "acquisti" << 1;
    QTest::newRow("vendite") << "vendite" << 1;
    QTest::newRow("tipi") << "tipi" << 2;
}

void TestGuasti::discoPieno()
{
    QFETCH(QString, passo);
    QFETCH(int, zona);
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Prova')"));
    prova.esegui(QStringLiteral("CREATE TABLE prova_carrello AS SELECT * FROM carrello"));
    for (int k = 1; k <= 20; ++k) {
        const QString codice = QStringLiteral("COD-%1").arg(k);
        prova.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo)"
                                    " VALUES (?, 1, 1000, ?)"),
                     {codice, 10 * k});
        prova.esegui(QStringLiteral("INSERT INTO prova_carrello (codice, tipo, prezzo, pezzi, totale)"
                                    " VALUES (?, 1, ?, 1, ?)"),
                     {codice, 10 * k, 10 * k});
    }

    // The disk fills up while the helper repeats the step; the step that
    // does not fit must leave the file exactly as it was.
    const Uscita uscita = eseguiAParte({QStringLiteral("pieno"), prova.percorso(), passo});

    QVERIFY2(uscita.finito, qPrintable(uscita.altre.join(u'\n')));
    QCOMPARE(uscita.rapporti.size(), 1);
    QCOMPARE(uscita.rapporti.first().at(0), QString::number(zona));
    // The size limit refuses the write with EFBIG, which the engine reports
    // as a failed write (SQLITE_IOERR_WRITE) where a full disk's ENOSPC
    // would read "database or disk is full".
    QCOMPARE(uscita.rapporti.first().at(1), QStringLiteral("778"));
    QCOMPARE(uscita.rapporti.first().at(2), QStringLiteral("disk I/O error"));
    QCOMPARE(uscita.altre.size(), 2);
    QCOMPARE(uscita.altre.at(1), QStringLiteral("invariato 1"));
    const qint64 riusciti = uscita.altre.at(0).section(u' ', 1).toLongLong();
    qInfo("%s: %lld riusciti prima del disco pieno", qPrintable(passo), riusciti);
    QCOMPARE(prova.valore(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    if (passo == QLatin1String("acquisti")) {
        QCOMPARE(prova.valore(QStringLiteral("SELECT count(*) FROM prodotto")).toLongLong(), riusciti);
        QCOMPARE(prova.valore(QStringLiteral("SELECT sum(pezzi) FROM rimanenze WHERE codice LIKE 'ART-%'"))
                     .toLongLong(),
                 prova.valore(QStringLiteral("SELECT sum(pezzi) FROM prodotto")).toLongLong());
    } else if (passo == QLatin1String("vendite")) {
        QCOMPARE(prova.valore(QStringLiteral("SELECT count(*) FROM ricevuta")).toLongLong(), riusciti);
        QCOMPARE(prova.valore(QStringLiteral("SELECT count(*) FROM prodotto")).toLongLong(), 20 * riusciti);
        QCOMPARE(prova.valore(QStringLiteral("SELECT count(*) FROM carrello")).toLongLong(), 20);
        QCOMPARE(prova.valore(QStringLiteral("SELECT sum(pezzi) FROM rimanenze")).toLongLong(),
                 20 * 1000 - 20 * riusciti);
    } else {
        QCOMPARE(prova.valore(QStringLiteral("SELECT count(*) FROM tipo")).toLongLong(), 1 + riusciti);
    }
}

QTEST_GUILESS_MAIN(TestGuasti)
#include "tst_guasti.moc"
