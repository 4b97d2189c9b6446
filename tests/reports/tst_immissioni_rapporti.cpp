#include "reports/Operazioni_frm.h"
#include "reports/VisGrafico_frm.h"
#include "reports/statistiche.h"
#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"
#include "support/immissioni.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

// Hostile texts in the filters of the operations register and the year of
// the statistics: nothing is ever written; a filter either selects what it
// says or is refused with a message that leaves the list as it was.

namespace {

const QString DATA_NON_CORRETTA =
    QStringLiteral("Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA");
const QString INVITO = QStringLiteral(">>> Seleziona TIPO <<<");
const int ANNO = QDate::currentDate().year();

QStringList identificativi(const Operazioni_frm &finestra)
{
    const QAbstractItemModel *m =
        finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"))->model();
    QStringList testi;
    for (int r = 0; r < m->rowCount(); ++r)
        testi << m->index(r, 0).data().toString();
    return testi;
}

} // namespace

class TestImmissioniRapporti : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void operazioni_data();
    void operazioni();
    void statistiche_data();
    void statistiche();

private:
    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
    RisponditoreDialoghi *risponditore_ = nullptr;
};

void TestImmissioniRapporti::init()
{
    db_ = new DatabaseDiProva;
    db_->esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Viti'), ('Dadi')"));
    db_->esegui(QStringLiteral("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto,"
                               " pezzi, operazione, dataop) VALUES"
                               " (1, 'V-1', 200, 100, 5, 1, '2000-12-05'),"
                               " (2, 'D-1', 30, 10, 9, 1, '2000-12-06'),"
                               " (1, 'V-2', 500, 250, 1, 1, ?)"),
                {QDate(ANNO, 3, 1).toString(Qt::ISODate)});
    registro_ = new RegistroRapporti;
    risponditore_ = new RisponditoreDialoghi;
}

void TestImmissioniRapporti::cleanup()
{
    QCOMPARE(registro_->rapporti().size(), 0);
    delete risponditore_;
    delete registro_;
    delete db_;
}

void TestImmissioniRapporti::operazioni_data()
{
    QTest::addColumn<QString>("campo");
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<QStringList>("elencati"); // movement ids; none after a refusal

    const QStringList tutti{"1", "2", "3", ""};
    QList<ValoreOstile> giorni = numeriOstili();
    giorni += {
        {QStringLiteral("giorno inesistente"), QStringLiteral("31/02/2000"), false},
        {QStringLiteral("giorno valido"), QStringLiteral("06/12/2000"), false},
    };
    for (const ValoreOstile &v : giorni) {
        QStringList elencati;
        if (v.testo.isEmpty())
            elencati = tutti;
        else if (v.nome == QLatin1String("giorno valido"))
            elencati = QStringList{"2", ""};
        QTest::addRow("Text1: %s", qPrintable(v.nome)) << "Text1" << v << elencati;
    }
    // Text that names no type leaves the list unfiltered, like the prompt.
    for (const ValoreOstile &v : testiOstili())
        QTest::addRow("Combo1: %s", qPrintable(v.nome)) << "Combo1" << v << tutti;
}

void TestImmissioniRapporti::operazioni()
{
    QFETCH(QString, campo);
    QFETCH(ValoreOstile, valore);
    QFETCH(QStringList, elencati);
    Operazioni_frm finestra;
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    finestra.findChild<QComboBox *>(QStringLiteral("Combo2"))->setCurrentIndex(0);
    auto *aggiorna = finestra.findChild<QPushButton *>(QStringLiteral("Command1"));
    QTest::mouseClick(aggiorna, Qt::LeftButton);
    const QStringList prima = identificativi(finestra);
    QCOMPARE(prima, QStringList({"1", "2", "3", ""}));
    const QByteArray file = byteDelFile(db_->percorso());
    auto *tipo = finestra.findChild<QComboBox *>(QStringLiteral("Combo1"));
    QLineEdit *bersaglio = campo == QLatin1String("Combo1")
        ? tipo->lineEdit()
        : finestra.findChild<QLineEdit *>(QStringLiteral("Text1"));
    bersaglio->clear();
    bersaglio->setFocus();
    immetti(bersaglio, valore);
    // The day field holds ten characters at most.
    const QString mostrato = campo == QLatin1String("Text1") ? valore.testo.left(10) : valore.testo;
    QCOMPARE(bersaglio->text(), mostrato);

    QTest::mouseClick(aggiorna, Qt::LeftButton);

    if (elencati.isEmpty()) {
        QCOMPARE(risponditore_->testi(), QStringList{DATA_NON_CORRETTA});
        QCOMPARE(identificativi(finestra), prima);
    } else {
        QCOMPARE(risponditore_->testi(), QStringList{});
        QCOMPARE(identificativi(finestra), elencati);
    }
    if (campo == QLatin1String("Text1"))
        QCOMPARE(bersaglio->text(), mostrato);
    else
        QCOMPARE(tipo->currentText(), INVITO);
    QVERIFY(byteDelFile(db_->percorso()) == file);
}

void TestImmissioniRapporti::statistiche_data()
{
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<bool>("barre"); // this year's March purchase is drawn
    // The year is the leading number of what the field shows (four
    // characters at most); no other year has movements.
    for (const ValoreOstile &v : numeriOstili())
        QTest::newRow(qPrintable(v.nome)) << v << false;
    QTest::newRow("anno in corso") << ValoreOstile{QStringLiteral("anno in corso"), QString::number(ANNO), false}
                                   << true;
}

void TestImmissioniRapporti::statistiche()
{
    QFETCH(ValoreOstile, valore);
    QFETCH(bool, barre);
    ModoStatistiche = 1;
    VisGrafico_frm finestra;
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    auto *anno = finestra.findChild<QLineEdit *>(QStringLiteral("Text1"));
    const QByteArray file = byteDelFile(db_->percorso());
    anno->clear();
    anno->setFocus();
    immetti(anno, valore);
    QCOMPARE(anno->text(), valore.testo.left(4));

    QTest::mouseClick(finestra.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);

    QCOMPARE(risponditore_->testi(), QStringList{});
    QCOMPARE(anno->text(), valore.testo.left(4));
    const GraficoStatistiche::Barra &marzo = finestra.grafico().barra(2, GraficoStatistiche::Acquisti);
    QCOMPARE(marzo.cima != marzo.base, barre);
    QCOMPARE(SlotStatistiche.acquisti[2], barre ? qint64(250) : qint64(0));
    QVERIFY(byteDelFile(db_->percorso()) == file);
}

QTEST_MAIN(TestImmissioniRapporti)
#include "tst_immissioni_rapporti.moc"
