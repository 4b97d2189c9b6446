#include "data/database_routines.h"
#include "shell/Info_frm.h"
#include "support/database_di_prova.h"
#include "support/immissioni.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Hostile texts typed and pasted into the five company fields: each is
// stored, read back and shown exactly; an empty field is saved as "-".

namespace {

QStringList campi(const Info_frm &finestra)
{
    QStringList testi;
    for (int i = 1; i <= 5; ++i)
        testi << finestra.findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i))->text();
    return testi;
}

} // namespace

class TestImmissioniInfo : public QObject
{
    Q_OBJECT

private slots:
    void campiAzienda_data();
    void campiAzienda();
};

void TestImmissioniInfo::campiAzienda_data()
{
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<QString>("salvato");
    for (const ValoreOstile &v : testiOstili())
        QTest::newRow(qPrintable(v.nome)) << v << (v.testo.isEmpty() ? QStringLiteral("-") : v.testo);
}

void TestImmissioniInfo::campiAzienda()
{
    QFETCH(ValoreOstile, valore);
    QFETCH(QString, salvato);
    DatabaseDiProva prova;
    RegistroRapporti registro;
    RisponditoreDialoghi risponditore;
    {
        Info_frm finestra;
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        for (int i = 1; i <= 5; ++i) {
            auto *campo = finestra.findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i));
            campo->clear();
            campo->setFocus();
            immetti(campo, valore);
        }
        QCOMPARE(campi(finestra), QStringList(5, valore.testo));

        QTest::mouseClick(finestra.findChild<QPushButton *>(QStringLiteral("Command1")),
                          Qt::LeftButton);

        QCOMPARE(campi(finestra), QStringList(5, salvato));
    }
    QCOMPARE(risponditore.testi(), QStringList{});
    QCOMPARE(registro.rapporti().size(), 0);
    const QList<QVariantList> righe =
        prova.righe(QStringLiteral("SELECT nome, info1, info2, info3, info4 FROM \"generalità\""));
    QCOMPARE(righe.size(), 1);
    for (const QVariant &colonna : righe.first())
        QCOMPARE(colonna.toString(), salvato);
    Info_frm riaperta;
    QCOMPARE(campi(riaperta), QStringList(5, salvato));
    QCOMPARE(AziendaNome, salvato);
    QCOMPARE(AziendaInfo4, salvato);
}

QTEST_MAIN(TestImmissioniInfo)
#include "tst_immissioni_info.moc"
