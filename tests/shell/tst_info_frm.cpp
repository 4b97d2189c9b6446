#include "data/database_routines.h"
#include "shell/Info_frm.h"
#include "support/database_di_prova.h"
#include "support/risponditore_dialoghi.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString TABELLA = QStringLiteral("\"generalità\"");

QLineEdit *campo(const QWidget &finestra, int i)
{
    return finestra.findChild<QLineEdit *>(QStringLiteral("Text%1").arg(i + 1));
}

QStringList campi(const QWidget &finestra)
{
    QStringList testi;
    for (int i = 0; i < 5; ++i)
        testi << campo(finestra, i)->text();
    return testi;
}

// The one row of the company table, fields joined by "|".
QString salvate(const DatabaseDiProva &prova)
{
    return prova.valore("SELECT group_concat(nome || '|' || info1 || '|' || info2 || '|' || info3"
                        " || '|' || info4, ';') FROM " + TABELLA).toString();
}

} // namespace

class TestInfoFrm : public QObject
{
    Q_OBJECT

private slots:
    void caricaEResetta()
    {
        DatabaseDiProva prova;
        prova.esegui("UPDATE " + TABELLA + " SET nome='Ferramenta Rossi', info1='Via Po 1',"
                     " info2='Torino', info3='Tel. 011', info4='P. IVA 1'");
        const QStringList riga{"Ferramenta Rossi", "Via Po 1", "Torino", "Tel. 011", "P. IVA 1"};
        {
            Info_frm finestra;
            QCOMPARE(campi(finestra), riga);
            QCOMPARE(AziendaNome, riga[0]);
            finestra.findChild<QPushButton *>("Command2")->click();
            QCOMPARE(campi(finestra), QStringList(5, QString()));
        }
        QCOMPARE(salvate(prova), riga.join(u'|'));
        QCOMPARE(campi(Info_frm()), riga);
    }

    void salva_data()
    {
        QTest::addColumn<bool>("tabellaVuota");
        QTest::addColumn<QStringList>("scritti");
        QTest::addColumn<QStringList>("attesi");
        const QStringList vuoti{"", "Via Dante 3", "", "", ""};
        const QStringList trattini{"-", "Via Dante 3", "-", "-", "-"};
        QTest::newRow("campi vuoti") << false << vuoti << trattini;
        QTest::newRow("tabella vuota") << true << vuoti << trattini;
        for (const QString &t : {QStringLiteral("L'Emporio dell'Usato"), QStringLiteral("Il \"Bazar\""),
                                 QStringLiteral("Caffè Più Città «sì»"),
                                 QStringLiteral("100% _tutto_ * \\ ;--"), QStringLiteral("Negozio 🛒"),
                                 QString(1000, u'x')}) {
            const QStringList testi{t, t, "b", "c", t};
            QTest::newRow(qPrintable(t.left(20))) << false << testi << testi;
        }
    }

    void salva()
    {
        QFETCH(bool, tabellaVuota);
        QFETCH(QStringList, scritti);
        QFETCH(QStringList, attesi);
        DatabaseDiProva prova;
        if (tabellaVuota) {
            prova.esegui("DELETE FROM " + TABELLA);
            AziendaNome = AziendaInfo1 = AziendaInfo2 = AziendaInfo3 = AziendaInfo4 = QString();
        }
        RisponditoreDialoghi risponditore;
        {
            Info_frm finestra;
            if (tabellaVuota)
                QCOMPARE(campi(finestra), QStringList(5, QString()));
            for (int i = 0; i < 5; ++i)
                campo(finestra, i)->setText(scritti[i]);
            finestra.findChild<QPushButton *>("Command1")->click();
            QCOMPARE(campi(finestra), attesi);
        }
        QVERIFY(risponditore.visti().isEmpty());
        QCOMPARE(salvate(prova), attesi.join(u'|'));
        QCOMPARE(campi(Info_frm()), attesi);
        QCOMPARE(AziendaNome, attesi[0]);
        QCOMPARE(AziendaInfo4, attesi[4]);
    }
};

QTEST_MAIN(TestInfoFrm)
#include "tst_info_frm.moc"
