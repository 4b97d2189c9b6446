#include "data/database_routines.h"
#include "shell/Info_frm.h"
#include "support/immissioni.h"

#include <QLineEdit>
#include <QTest>

// Hostile texts typed and pasted into the five company fields: each is
// stored, read back and shown exactly; an empty field is saved as "-".

namespace {

QStringList campi(const Info_frm &finestra)
{
    QStringList testi;
    for (const char *nome : {"Text1", "Text2", "Text3", "Text4", "Text5"})
        testi << campo(finestra, nome)->text();
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
    Banco banco;
    {
        Info_frm finestra;
        QVERIFY(mostra(finestra));
        for (const char *nome : {"Text1", "Text2", "Text3", "Text4", "Text5"})
            immetti(campo(finestra, nome), valore);
        QCOMPARE(campi(finestra), QStringList(5, valore.testo));
        premi(finestra, "Command1");
        QCOMPARE(campi(finestra), QStringList(5, salvato));
    }
    QCOMPARE(banco.risponditore.testi(), QStringList{});
    QCOMPARE(banco.registro.rapporti().size(), 0);
    const QString sql = QStringLiteral("SELECT nome, info1, info2, info3, info4 FROM \"generalità\"");
    QCOMPARE(banco.db.righe(sql), QList<QVariantList>{QVariantList(5, salvato)});
    QCOMPARE(campi(Info_frm()), QStringList(5, salvato));
    QCOMPARE(AziendaNome, salvato);
    QCOMPARE(AziendaInfo4, salvato);
}

QTEST_MAIN(TestImmissioniInfo)
#include "tst_immissioni_info.moc"
