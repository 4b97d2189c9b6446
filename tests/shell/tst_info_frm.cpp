#include "data/database_routines.h"
#include "shell/Info_frm.h"
#include "support/database_di_prova.h"
#include "support/risponditore_dialoghi.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

QStringList campi(const QWidget &finestra)
{
    QStringList testi;
    for (int i = 1; i <= 5; ++i)
        testi << finestra.findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i))->text();
    return testi;
}

void scriviCampi(QWidget &finestra, const QStringList &testi)
{
    for (int i = 1; i <= 5; ++i)
        finestra.findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i))->setText(testi.at(i - 1));
}

void premi(QWidget &finestra, const char *nome)
{
    QTest::mouseClick(finestra.findChild<QPushButton *>(QLatin1String(nome)), Qt::LeftButton);
}

QStringList rigaSalvata(const DatabaseDiProva &prova)
{
    QStringList testi;
    const QList<QVariantList> righe =
        prova.righe(QStringLiteral("SELECT nome, info1, info2, info3, info4 FROM \"generalità\""));
    if (righe.size() != 1)
        return {QStringLiteral("righe: %1").arg(righe.size())};
    for (const QVariant &v : righe.first())
        testi << v.toString();
    return testi;
}

} // namespace

class TestInfoFrm : public QObject
{
    Q_OBJECT

private slots:
    void caricaIValoriSalvati();
    void resettaNonToccaIlFile();
    void salvaCampiVuoti();
    void testiParticolari_data();
    void testiParticolari();
    void tabellaVuota();
    void salvataggioFallito();
};

void TestInfoFrm::caricaIValoriSalvati()
{
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("UPDATE \"generalità\" SET nome='Ferramenta Rossi', info1='Via Po 1',"
                                " info2='10100 Torino', info3='Tel. 011 000', info4='P. IVA 1'"));
    Info_frm finestra;
    QCOMPARE(finestra.windowTitle(), QStringLiteral("Informazioni Azienda"));
    QCOMPARE(campi(finestra), QStringList({"Ferramenta Rossi", "Via Po 1", "10100 Torino",
                                           "Tel. 011 000", "P. IVA 1"}));
    QCOMPARE(AziendaNome, QStringLiteral("Ferramenta Rossi"));
}

void TestInfoFrm::resettaNonToccaIlFile()
{
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("UPDATE \"generalità\" SET nome='N', info1='1', info2='2', info3='3',"
                                " info4='4'"));
    {
        Info_frm finestra;
        premi(finestra, "Command2");
        QCOMPARE(campi(finestra), QStringList(5, QString()));
    }
    QCOMPARE(rigaSalvata(prova), QStringList({"N", "1", "2", "3", "4"}));
    Info_frm riaperta;
    QCOMPARE(campi(riaperta), QStringList({"N", "1", "2", "3", "4"}));
}

void TestInfoFrm::salvaCampiVuoti()
{
    DatabaseDiProva prova;
    RisponditoreDialoghi risponditore;
    Info_frm finestra;
    scriviCampi(finestra, {"", "Via Dante 3", "", "", ""});

    premi(finestra, "Command1");

    QCOMPARE(campi(finestra), QStringList({"-", "Via Dante 3", "-", "-", "-"}));
    QCOMPARE(rigaSalvata(prova), QStringList({"-", "Via Dante 3", "-", "-", "-"}));
    QVERIFY(risponditore.visti().isEmpty());
}

void TestInfoFrm::testiParticolari_data()
{
    QTest::addColumn<QString>("testo");
    QTest::newRow("apostrofo") << "L'Emporio dell'Usato";
    QTest::newRow("virgolette") << "Il \"Bazar\"";
    QTest::newRow("accenti") << "Caffè Perché Più Città — «sì»";
    QTest::newRow("caratteri di ricerca") << "100% _tutto_ * \\ ;--";
    QTest::newRow("emoji") << "Negozio 🛒";
    QTest::newRow("lungo") << QString(1000, QLatin1Char('x'));
}

void TestInfoFrm::testiParticolari()
{
    QFETCH(QString, testo);
    DatabaseDiProva prova;
    RisponditoreDialoghi risponditore;
    {
        Info_frm finestra;
        scriviCampi(finestra, {testo, testo, "b", "c", testo});
        premi(finestra, "Command1");
    }
    QVERIFY(risponditore.visti().isEmpty());
    QCOMPARE(rigaSalvata(prova), QStringList({testo, testo, "b", "c", testo}));
    Info_frm riaperta;
    QCOMPARE(campi(riaperta), QStringList({testo, testo, "b", "c", testo}));
    QCOMPARE(AziendaNome, testo);
    QCOMPARE(AziendaInfo4, testo);
}

void TestInfoFrm::tabellaVuota()
{
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("DELETE FROM \"generalità\""));
    AziendaNome = AziendaInfo1 = AziendaInfo2 = AziendaInfo3 = AziendaInfo4 = QString();
    RisponditoreDialoghi risponditore;
    Info_frm finestra;
    QCOMPARE(campi(finestra), QStringList(5, QString()));

    scriviCampi(finestra, {"Nuovo", "a", "b", "c", "d"});
    premi(finestra, "Command1");

    // The typed values are kept: the missing row is written.
    QCOMPARE(rigaSalvata(prova), QStringList({"Nuovo", "a", "b", "c", "d"}));
    QVERIFY(risponditore.visti().isEmpty());
}

void TestInfoFrm::salvataggioFallito()
{
    DatabaseDiProva prova;
    auto finestra = std::make_unique<Info_frm>();
    prova.esegui(QStringLiteral("DROP TABLE \"generalità\""));
    scriviCampi(*finestra, {"Nome", "", "x", "y", "z"});
    RisponditoreDialoghi risponditore;

    premi(*finestra, "Command1");

    QCOMPARE(risponditore.visti().size(), 1);
    QVERIFY(risponditore.visti().first().testo.startsWith(
        QStringLiteral("Si è verificato in zona 17:\nErrore n. 1 ")));
    QCOMPARE(campi(*finestra), QStringList({"Nome", "-", "x", "y", "z"}));
}

QTEST_MAIN(TestInfoFrm)
#include "tst_info_frm.moc"
