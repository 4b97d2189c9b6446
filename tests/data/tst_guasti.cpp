#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

// Every routine against a file that is missing, not a database, short of a
// table, read-only, locked by another program or on a full disk: one zone
// report each, no crash, and not a byte written.

namespace {

enum Guasto { Mancante, NonDatabase, SenzaTabella };

// The helper's lines once it has ended, its zone reports cut to "rapporto zona numero".
QStringList uscita(ProcessoProva &processo)
{
    if (!processo.finisci())
        return {QStringLiteral("non finito")};
    QStringList righe = processo.righe();
    for (QString &riga : righe) {
        if (riga.startsWith(QLatin1String("rapporto ")))
            riga = riga.section(u' ', 0, 2);
    }
    return righe;
}

} // namespace

class TestGuasti : public QObject
{
    Q_OBJECT

private slots:
    void fileGuasto_data();
    void fileGuasto();
    void solaLettura_data();
    void solaLettura();
    void fileBloccato_data();
    void fileBloccato();
    void discoPieno_data();
    void discoPieno();
};

void TestGuasti::fileGuasto_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<int>("guasto");
    for (const ComandoDiProva &c : comandiDiProva()) {
        QTest::addRow("%s, file mancante", qPrintable(c.nome)) << c.nome << int(Mancante);
        QTest::addRow("%s, non un database", qPrintable(c.nome)) << c.nome << int(NonDatabase);
        QTest::addRow("%s, senza %s", qPrintable(c.nome), qPrintable(c.tabella)) << c.nome << int(SenzaTabella);
    }
}

void TestGuasti::fileGuasto()
{
    QFETCH(QString, nome);
    QFETCH(int, guasto);
    const ComandoDiProva &comando = *comandoDiProva(nome);
    DatabaseDiProva prova(guasto == Mancante ? DatabaseDiProva::Inizio::SenzaFile
                                             : DatabaseDiProva::Inizio::FileNuovo);
    if (guasto == NonDatabase)
        prova.sostituisciConTesto(QByteArray("Questo non è un database.\n").repeated(200));
    if (guasto == SenzaTabella) {
        preparaNegozio(prova);
        prova.esegui(QStringLiteral("DROP TABLE \"%1\"").arg(comando.tabella));
    }
    const QByteArray prima = byteDelFile(prova.percorso());
    RegistroRapporti registro;

    QVERIFY(!comando.esegui());

    QCOMPARE(registro.zone(), QList<int>{guasto == SenzaTabella ? comando.zonaTabella : comando.zona});
    // SQLITE_CANTOPEN, SQLITE_NOTADB, SQLITE_ERROR
    QCOMPARE(registro.rapporti().first().numero, QList<int>({14, 26, 1}).at(guasto));
    if (guasto == SenzaTabella)
        QCOMPARE(registro.rapporti().first().descrizione, "no such table: " + comando.tabella);
    QCOMPARE(QFileInfo::exists(prova.percorso()), guasto != Mancante);
    QVERIFY2(byteDelFile(prova.percorso()) == prima, "a failed routine wrote to the file");
}

void TestGuasti::solaLettura_data()
{
    QTest::addColumn<QString>("nome");
    for (const ComandoDiProva &c : comandiDiProva())
        QTest::newRow(qPrintable(c.nome)) << c.nome;
}

void TestGuasti::solaLettura()
{
    QFETCH(QString, nome);
    const ComandoDiProva &comando = *comandoDiProva(nome);
    DatabaseDiProva prova;
    preparaNegozio(prova);
    const QByteArray prima = byteDelFile(prova.percorso());
    // Run as another user where this one is root, who writes through any
    // permission: the folder must let that user reach the file.
    QFile::setPermissions(prova.cartella(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(prova.percorso(), QFile::ReadOwner | QFile::ReadOther);

    ProcessoProva processo({QStringLiteral("esegui"), prova.percorso(), nome, QStringLiteral("nessuno")});
    const QStringList righe = uscita(processo);

    QFile::setPermissions(prova.percorso(), QFile::ReadOwner | QFile::WriteOwner);
    if (righe.contains(QStringLiteral("errore utente non cambiato")))
        QSKIP("root here cannot become another user, and root writes through read-only files");
    // Reading a read-only file is no fault at all; writing is refused (SQLITE_READONLY).
    const QStringList attese = comando.scrive
        ? QStringList{QStringLiteral("rapporto %1 8").arg(comando.zona), QStringLiteral("esito 0")}
        : QStringList{QStringLiteral("esito 1")};
    QCOMPARE(righe, attese);
    QVERIFY(byteDelFile(prova.percorso()) == prima);
}

void TestGuasti::fileBloccato_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("blocco");
    // A write transaction under way keeps writers out; one that is committing
    // (an exclusive lock) keeps readers out as well.
    QTest::newRow("acquisto") << "RegistraProdotto" << "immediata";
    QTest::newRow("vendita") << "RegistraVendita" << "immediata";
    QTest::newRow("lettura durante un commit") << "VisualizzaTipi" << "esclusiva";
}

void TestGuasti::fileBloccato()
{
    QFETCH(QString, nome);
    QFETCH(QString, blocco);
    const ComandoDiProva &comando = *comandoDiProva(nome);
    DatabaseDiProva prova;
    preparaNegozio(prova);
    const QByteArray prima = byteDelFile(prova.percorso());
    ProcessoProva altro({QStringLiteral("blocca"), prova.percorso(), QStringLiteral("60000"), blocco});
    QVERIFY(altro.attendi(QStringLiteral("bloccato")));
    RegistroRapporti registro;
    QElapsedTimer attesa;
    attesa.start();

    QVERIFY(!comando.esegui());

    QVERIFY2(attesa.elapsed() >= 4000, "did not wait for the other program");
    QCOMPARE(registro.zone(), QList<int>{comando.zona});
    QCOMPARE(registro.rapporti().first().numero, 5); // SQLITE_BUSY
    QVERIFY(byteDelFile(prova.percorso()) == prima);

    // The other program dies in the middle: the same command works, and
    // what that program had begun to write is not in the file.
    altro.uccidi();
    registro.azzera();
    QVERIFY(comando.esegui());
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
    preparaCarrello(prova);
    const auto conta = [&](const char *sql) { return prova.valore(QLatin1String(sql)).toLongLong(); };
    const qint64 scorta = conta("SELECT sum(pezzi) FROM rimanenze");

    // The helper repeats the step until the file cannot grow; the step that
    // does not fit must leave it exactly as it was. The size limit refuses
    // the write with EFBIG, which reads as SQLITE_IOERR_WRITE.
    ProcessoProva processo({QStringLiteral("pieno"), prova.percorso(), passo});
    const QStringList righe = uscita(processo);

    QCOMPARE(righe.size(), 3);
    QCOMPARE(righe.at(0), QStringLiteral("rapporto %1 778").arg(zona));
    QCOMPARE(righe.at(2), QStringLiteral("invariato 1"));
    const qint64 n = righe.at(1).section(u' ', 1).toLongLong();
    qInfo("%s: %lld riusciti prima del disco pieno", qPrintable(passo), n);
    QCOMPARE(prova.valore(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    if (passo == QLatin1String("acquisti")) {
        QCOMPARE(conta("SELECT count(*) FROM prodotto"), n);
        QCOMPARE(conta("SELECT sum(pezzi) FROM rimanenze") - scorta, conta("SELECT sum(pezzi) FROM prodotto"));
    } else if (passo == QLatin1String("vendite")) {
        QCOMPARE(conta("SELECT count(*) FROM ricevuta"), n);
        QCOMPARE(conta("SELECT count(*) FROM prodotto"), 20 * n);
        QCOMPARE(conta("SELECT count(*) FROM carrello"), 20);
        QCOMPARE(conta("SELECT sum(pezzi) FROM rimanenze"), scorta - 210 * n);
    } else {
        QCOMPARE(conta("SELECT count(*) FROM tipo"), 2 + n);
    }
}

QTEST_GUILESS_MAIN(TestGuasti)
#include "tst_guasti.moc"
