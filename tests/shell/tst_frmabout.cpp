#include "shell/frmAbout.h"
#include "shell/informazioni_sistema.h"
#include "support/risponditore_dialoghi.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void contenuto();
    void senzaRegistroNienteDaAvviare();
    void ricercaDelProgramma_data();
    void ricercaDelProgramma();
    void decodifica_data();
    void decodifica();
};

void TestFrmAbout::contenuto()
{
    frmAbout finestra;
    QCOMPARE(finestra.windowTitle(), QStringLiteral("Informazioni su Vorendi"));
    QCOMPARE(finestra.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Vorendi"));
    QCOMPARE(finestra.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Versione 2.0.0"));
    const QStringList righe =
        finestra.findChild<QLabel *>(QStringLiteral("lblDescription"))->text().split(u'\n');
    QCOMPARE(righe.size(), 4);
    QVERIFY(righe.at(1).isEmpty());
    QVERIFY(!righe.at(0).isEmpty() && !righe.at(2).isEmpty() && !righe.at(3).isEmpty());
    QCOMPARE(finestra.findChild<QLabel *>(QStringLiteral("lblDisclaimer"))->text(), QString());
    QVERIFY(!finestra.findChild<QLabel *>(QStringLiteral("picIcon"))->pixmap().isNull());
    QCOMPARE(finestra.findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->text(),
             QStringLiteral("&System Info..."));
}

void TestFrmAbout::senzaRegistroNienteDaAvviare()
{
    RisponditoreDialoghi risponditore;
    frmAbout finestra;
    QTest::mouseClick(finestra.findChild<QPushButton *>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    QCOMPARE(risponditore.testi(),
             QStringList{"Le informazioni sul sistema non sono attualmente disponibili."});
    QCOMPARE(risponditore.visti().first().titolo, QStringLiteral("Vorendi"));
    QCOMPARE(risponditore.visti().first().icona, QMessageBox::NoIcon);

    QString valore = QStringLiteral("vecchio");
    QVERIFY(!GetKeyValue(HKEY_LOCAL_MACHINE_RADICE, QStringLiteral("SOFTWARE"), QStringLiteral("X"),
                         valore));
    QCOMPARE(valore, QString());
}

void TestFrmAbout::ricercaDelProgramma_data()
{
    QTest::addColumn<QString>("percorsoMsinfo");   // value of ...\MSINFO PATH, empty = absent
    QTest::addColumn<QString>("cartellaStrumenti"); // value of ...Location MSINFO, empty = absent
    QTest::addColumn<bool>("fileEsiste");
    QTest::addColumn<QString>("avviato");
    QTest::newRow("percorso diretto") << "C:\\Prog\\msinfo32.exe" << "" << false
                                      << "C:\\Prog\\msinfo32.exe";
    QTest::newRow("dalla cartella") << "" << "C:\\Strumenti" << true << "C:\\Strumenti\\MSINFO32.EXE";
    QTest::newRow("cartella senza file") << "" << "C:\\Strumenti" << false << "";
    QTest::newRow("nessuna voce") << "" << "" << false << "";
}

void TestFrmAbout::ricercaDelProgramma()
{
    QFETCH(QString, percorsoMsinfo);
    QFETCH(QString, cartellaStrumenti);
    QFETCH(bool, fileEsiste);
    QFETCH(QString, avviato);
    const LettoreRegistro leggi = [&](quint32 radice, const QString &chiave, const QString &nome,
                                      QString &valore) {
        valore.clear();
        if (radice != HKEY_LOCAL_MACHINE_RADICE)
            return false;
        if (chiave == QLatin1String("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO")
            && nome == QLatin1String("PATH"))
            valore = percorsoMsinfo;
        else if (chiave == QLatin1String("SOFTWARE\\Microsoft\\Shared Tools Location")
                 && nome == QLatin1String("MSINFO"))
            valore = cartellaStrumenti;
        return !valore.isEmpty();
    };
    QStringList avvii;
    RisponditoreDialoghi risponditore;

    StartSysInfo(nullptr, leggi, [&](const QString &) { return fileEsiste; },
                 [&](const QString &percorso) {
                     avvii << percorso;
                     return true;
                 });

    QCOMPARE(avvii, avviato.isEmpty() ? QStringList() : QStringList{avviato});
    QCOMPARE(risponditore.testi(),
             avviato.isEmpty()
                 ? QStringList{"Le informazioni sul sistema non sono attualmente disponibili."}
                 : QStringList());
}

void TestFrmAbout::decodifica_data()
{
    QTest::addColumn<quint32>("tipo");
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<quint32>("lunghezza");
    QTest::addColumn<QString>("atteso");
    const QByteArray testo("C:\\Programmi\\MSINFO\0spazzatura", 29);
    QTest::newRow("testo con NUL contato") << REG_SZ_TIPO << testo << 20u << "C:\\Programmi\\MSINFO";
    QTest::newRow("testo senza NUL") << REG_SZ_TIPO << testo << 19u << "C:\\Programmi\\MSINFO";
    QTest::newRow("testo vuoto") << REG_SZ_TIPO << QByteArray(1, '\0') << 1u << "";
    QTest::newRow("numero piccolo") << REG_DWORD_TIPO << QByteArray("\x05\0\0\0", 4) << 4u << "5";
    QTest::newRow("numero con zeri interni") << REG_DWORD_TIPO << QByteArray("\x0a\x01\0\0", 4) << 4u
                                             << "266";
    QTest::newRow("numero massimo") << REG_DWORD_TIPO << QByteArray("\xff\xff\xff\xff", 4) << 4u
                                    << "4294967295";
    QTest::newRow("altro tipo") << 3u << QByteArray("\x01\x02", 2) << 2u << "invariato";
}

void TestFrmAbout::decodifica()
{
    QFETCH(quint32, tipo);
    QFETCH(QByteArray, buffer);
    QFETCH(quint32, lunghezza);
    QFETCH(QString, atteso);
    QString valore = QStringLiteral("invariato");
    decodificaValoreRegistro(tipo, buffer, lunghezza, valore);
    QCOMPARE(valore, atteso);
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
