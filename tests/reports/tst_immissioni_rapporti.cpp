#include "counter/Ricevute_frm.h"
#include "reports/Operazioni_frm.h"
#include "reports/VisGrafico_frm.h"
#include "reports/statistiche.h"
#include "support/comandi_di_prova.h"
#include "support/immissioni.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QTest>

#include <memory>

// Hostile texts in the filters of the receipts and operations registers and
// the year of the statistics: nothing is ever written; a filter either
// selects what it says or is refused with a message that leaves the list as
// it was.

namespace {

const int ANNO = QDate::currentDate().year();
const QString DATA_NON_CORRETTA =
    QStringLiteral("Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA");

// The numbers, then a day that does not exist and one that does.
QList<ValoreOstile> giorni(const QString &valido)
{
    return numeriOstili() << ValoreOstile{"giorno inesistente", "31/02/2000"}
                          << ValoreOstile{"giorno valido", valido};
}

} // namespace

class TestImmissioniRapporti : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ricevute_data();
    void ricevute();
    void operazioni_data();
    void operazioni();
    void statistiche_data();
    void statistiche();

private:
    std::unique_ptr<Banco> b_;
    QByteArray file_;
};

void TestImmissioniRapporti::init()
{
    b_ = std::make_unique<Banco>();
    b_->db.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Viti'), ('Dadi')"));
    b_->db.esegui(QStringLiteral("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto,"
                                 " pezzi, operazione, dataop) VALUES"
                                 " (1, 'V-1', 200, 100, 5, 1, '2000-12-05'),"
                                 " (2, 'D-1', 30, 10, 9, 1, '2000-12-06'),"
                                 " (1, 'V-2', 500, 250, 1, 1, ?)"),
                  {QDate(ANNO, 3, 1).toString(Qt::ISODate)});
    b_->db.esegui(QStringLiteral("INSERT INTO ricevuta (codice, dataop, totale) VALUES"
                                 " (4, '2000-12-05', 1500), (2, '2000-12-31', 0),"
                                 " (1234, '2000-12-05', 2500000)"));
    file_ = byteDelFile(b_->db.percorso());
}

void TestImmissioniRapporti::cleanup()
{
    QCOMPARE(b_->registro.rapporti().size(), 0);
    QVERIFY(byteDelFile(b_->db.percorso()) == file_);
    b_.reset();
}

void TestImmissioniRapporti::ricevute_data()
{
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<QStringList>("elencate"); // receipt numbers; none after a refusal
    for (const ValoreOstile &v : giorni(QStringLiteral("05/12/2000"))) {
        QStringList elencate;
        if (v.testo.isEmpty())
            elencate = QStringList{"4", "1.234", "2", ""};
        else if (v.nome == QLatin1String("giorno valido"))
            elencate = QStringList{"4", "1.234", ""};
        QTest::newRow(qPrintable(v.nome)) << v << elencate;
    }
}

void TestImmissioniRapporti::ricevute()
{
    QFETCH(ValoreOstile, valore);
    QFETCH(QStringList, elencate);
    Ricevute_frm finestra;
    QVERIFY(mostra(finestra));
    premi(finestra, "Command1");
    const QStringList prima = griglia(finestra, 1);
    QCOMPARE(prima, QStringList({"4", "1.234", "2", ""}));
    immetti(campo(finestra, "Text1"), valore);
    QCOMPARE(campo(finestra, "Text1")->text(), valore.testo);

    premi(finestra, "Command1");

    QCOMPARE(b_->risponditore.testi(),
             elencate.isEmpty() ? QStringList{DATA_NON_CORRETTA} : QStringList());
    QCOMPARE(griglia(finestra, 1), elencate.isEmpty() ? prima : elencate);
    QCOMPARE(campo(finestra, "Text1")->text(), valore.testo);
}

void TestImmissioniRapporti::operazioni_data()
{
    QTest::addColumn<QString>("filtro");
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<QStringList>("elencati"); // movement ids; none after a refusal

    const QStringList tutti{"1", "2", "3", ""};
    for (const ValoreOstile &v : giorni(QStringLiteral("06/12/2000"))) {
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
    QFETCH(QString, filtro);
    QFETCH(ValoreOstile, valore);
    QFETCH(QStringList, elencati);
    Operazioni_frm finestra;
    QVERIFY(mostra(finestra));
    selettore(finestra, "Combo2")->setCurrentIndex(0);
    premi(finestra, "Command1");
    const QStringList prima = griglia(finestra, 0);
    QCOMPARE(prima, QStringList({"1", "2", "3", ""}));
    QLineEdit *bersaglio = filtro == QLatin1String("Combo1") ? selettore(finestra)->lineEdit()
                                                             : campo(finestra, "Text1");
    immetti(bersaglio, valore);
    // The day field holds ten characters at most.
    const QString mostrato = filtro == QLatin1String("Text1") ? valore.testo.left(10) : valore.testo;
    QCOMPARE(bersaglio->text(), mostrato);

    premi(finestra, "Command1");

    QCOMPARE(b_->risponditore.testi(),
             elencati.isEmpty() ? QStringList{DATA_NON_CORRETTA} : QStringList());
    QCOMPARE(griglia(finestra, 0), elencati.isEmpty() ? prima : elencati);
    if (filtro == QLatin1String("Text1"))
        QCOMPARE(bersaglio->text(), mostrato);
    else
        QCOMPARE(selettore(finestra)->currentText(), QStringLiteral(">>> Seleziona TIPO <<<"));
}

void TestImmissioniRapporti::statistiche_data()
{
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<bool>("barre"); // this year's March purchase is drawn
    // The year is the leading number of what the field shows (four
    // characters at most); no other year has movements.
    for (const ValoreOstile &v : numeriOstili())
        QTest::newRow(qPrintable(v.nome)) << v << false;
    QTest::newRow("anno in corso") << ValoreOstile{"anno in corso", QString::number(ANNO)} << true;
}

void TestImmissioniRapporti::statistiche()
{
    QFETCH(ValoreOstile, valore);
    QFETCH(bool, barre);
    ModoStatistiche = 1;
    VisGrafico_frm finestra;
    QVERIFY(mostra(finestra));
    immetti(campo(finestra, "Text1"), valore);
    QCOMPARE(campo(finestra, "Text1")->text(), valore.testo.left(4));

    premi(finestra, "Command1");

    QCOMPARE(b_->risponditore.testi(), QStringList{});
    QCOMPARE(campo(finestra, "Text1")->text(), valore.testo.left(4));
    const GraficoStatistiche::Barra &marzo = finestra.grafico().barra(2, GraficoStatistiche::Acquisti);
    QCOMPARE(marzo.cima != marzo.base, barre);
    QCOMPARE(SlotStatistiche.acquisti[2], barre ? qint64(250) : qint64(0));
}

QTEST_MAIN(TestImmissioniRapporti)
#include "tst_immissioni_rapporti.moc"
