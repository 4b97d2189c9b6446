#include "shell/frmAbout.h"
#include "shell/informazioni_sistema.h"
#include "support/risponditore_dialoghi.h"

#include <QPushButton>
#include <QTest>

namespace {
const QString NON_DISPONIBILI =
    QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili.");
}

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void senzaRegistroNienteDaAvviare()
    {
        RisponditoreDialoghi risponditore;
        frmAbout finestra;
        finestra.findChild<QPushButton *>("cmdSysInfo")->click();
        QCOMPARE(risponditore.testi(), QStringList{NON_DISPONIBILI});
    }

    void ricercaDelProgramma_data()
    {
        QTest::addColumn<QString>("percorso");   // ...\MSINFO PATH, empty if absent
        QTest::addColumn<QString>("cartella");   // ...Location MSINFO, empty if absent
        QTest::addColumn<bool>("fileEsiste");
        QTest::addColumn<QString>("avviato");
        QTest::newRow("percorso diretto") << "C:\\P\\msinfo32.exe" << "" << false
                                          << "C:\\P\\msinfo32.exe";
        QTest::newRow("dalla cartella") << "" << "C:\\S" << true << "C:\\S\\MSINFO32.EXE";
        QTest::newRow("cartella senza file") << "" << "C:\\S" << false << "";
        QTest::newRow("nessuna voce") << "" << "" << false << "";
    }

    void ricercaDelProgramma()
    {
        QFETCH(QString, percorso);
        QFETCH(QString, cartella);
        QFETCH(bool, fileEsiste);
        QFETCH(QString, avviato);
        const QHash<QString, QString> registro{
            {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH", percorso},
            {"SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO", cartella}};
        const auto leggi = [&](quint32 radice, const QString &chiave, const QString &nome,
                               QString &valore) {
            valore = radice == HKEY_LOCAL_MACHINE_RADICE ? registro.value(chiave + u'|' + nome)
                                                         : QString();
            return !valore.isEmpty();
        };
        QStringList avvii;
        RisponditoreDialoghi risponditore;
        StartSysInfo(nullptr, leggi, [&](const QString &) { return fileEsiste; },
                     [&](const QString &programma) { avvii << programma; return true; });
        QCOMPARE(avvii, avviato.isEmpty() ? QStringList() : QStringList{avviato});
        QCOMPARE(risponditore.testi(), avviato.isEmpty() ? QStringList{NON_DISPONIBILI} : QStringList());
    }

    void decodifica_data()
    {
        QTest::addColumn<quint32>("tipo");
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<quint32>("lunghezza");
        QTest::addColumn<QString>("atteso");
        const QByteArray testo("C:\\MSINFO\0spazzatura", 20);
        QTest::newRow("testo con NUL contato") << REG_SZ_TIPO << testo << 10u << "C:\\MSINFO";
        QTest::newRow("testo senza NUL") << REG_SZ_TIPO << testo << 9u << "C:\\MSINFO";
        QTest::newRow("testo vuoto") << REG_SZ_TIPO << QByteArray(1, '\0') << 1u << "";
        QTest::newRow("numero, byte basso prima") << REG_DWORD_TIPO << QByteArray("\x0a\x01\0\0", 4)
                                                  << 4u << "266";
        QTest::newRow("numero massimo") << REG_DWORD_TIPO << QByteArray("\xff\xff\xff\xff", 4) << 4u
                                        << "4294967295";
        QTest::newRow("altro tipo") << 3u << QByteArray("\x01\x02", 2) << 2u << "invariato";
    }

    void decodifica()
    {
        QFETCH(quint32, tipo);
        QFETCH(QByteArray, buffer);
        QFETCH(quint32, lunghezza);
        QFETCH(QString, atteso);
        QString valore = QStringLiteral("invariato");
        decodificaValoreRegistro(tipo, buffer, lunghezza, valore);
        QCOMPARE(valore, atteso);
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
