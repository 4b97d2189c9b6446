#include "counter/VisCarrello_frm.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

void scorta(const DatabaseDiProva &prova, const QString &codice, int tipo, qint64 prezzo, int pezzi = 10)
{
    prova.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES (?, ?, ?, ?)"),
                 {codice, tipo, pezzi, prezzo});
}

QVariantList rigaCarrello(const DatabaseDiProva &prova, const QString &codice)
{
    const QList<QVariantList> righe = prova.righe(
        QStringLiteral("SELECT tipo, prezzo, pezzi, totale FROM carrello WHERE codice=?"), {codice});
    return righe.isEmpty() ? QVariantList() : righe.first();
}

QStringList cellaPerCella(const QTableView *griglia)
{
    QStringList righe;
    const QAbstractItemModel *m = griglia->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList celle;
        for (int c = 0; c < m->columnCount(); ++c)
            celle << m->index(r, c).data().toString();
        righe << celle.join(u'|');
    }
    return righe;
}

QString etichetta(const QWidget &finestra, const char *nome)
{
    return finestra.findChild<QLabel *>(QLatin1String(nome))->text();
}

void premi(QWidget &finestra, const char *nome)
{
    QTest::mouseClick(finestra.findChild<QPushButton *>(QLatin1String(nome)), Qt::LeftButton);
}

} // namespace

class TestCarrello : public QObject
{
    Q_OBJECT

private slots:
    void aggiunte_data();
    void aggiunte();
    void codiceSconosciuto();
    void finestraOrdineConteggioTotale();
    void carrelloVuoto();
    void cancella_data();
    void cancella();
};

void TestCarrello::aggiunte_data()
{
    QTest::addColumn<QList<int>>("aggiunte");
    QTest::addColumn<qint64>("nuovoPrezzoScorta"); // set after the first addition; 0 = unchanged
    QTest::addColumn<int>("esitoUltima");
    QTest::addColumn<QVariantList>("riga"); // tipo, prezzo, pezzi, totale; empty = no line

    const int aggiunto = int(EsitoCarrello::Aggiunto);
    const int rifiutato = int(EsitoCarrello::PezziInsufficienti);
    QTest::newRow("nuova riga") << QList<int>{2} << qint64(0) << aggiunto
                                << QVariantList{7, 1000, 2, 2000};
    QTest::newRow("pezzi sommati") << QList<int>{2, 3} << qint64(0) << aggiunto
                                   << QVariantList{7, 1000, 5, 5000};
    QTest::newRow("sotto uno rifiutato") << QList<int>{5, -5} << qint64(0) << rifiutato
                                         << QVariantList{7, 1000, 5, 5000};
    QTest::newRow("fino a uno") << QList<int>{5, -4} << qint64(0) << aggiunto
                                << QVariantList{7, 1000, 1, 1000};
    QTest::newRow("prezzo di scorta cambiato") << QList<int>{2, 1} << qint64(1200) << aggiunto
                                               << QVariantList{7, 1000, 3, 3600};
    QTest::newRow("prima aggiunta nulla") << QList<int>{0} << qint64(0) << rifiutato << QVariantList{};
    QTest::newRow("prima aggiunta negativa") << QList<int>{-3} << qint64(0) << rifiutato
                                             << QVariantList{};
    QTest::newRow("massimo dei pezzi") << QList<int>{32767} << qint64(0) << aggiunto
                                       << QVariantList{7, 1000, 32767, 32767000};
}

void TestCarrello::aggiunte()
{
    QFETCH(QList<int>, aggiunte);
    QFETCH(qint64, nuovoPrezzoScorta);
    QFETCH(int, esitoUltima);
    QFETCH(QVariantList, riga);
    DatabaseDiProva prova;
    scorta(prova, QStringLiteral("A-1"), 7, 1000);
    RegistroRapporti registro;

    EsitoCarrello esito = EsitoCarrello::Errore;
    for (qsizetype i = 0; i < aggiunte.size(); ++i) {
        if (i == 1 && nuovoPrezzoScorta)
            prova.esegui(QStringLiteral("UPDATE rimanenze SET prezzo=?"), {nuovoPrezzoScorta});
        // Codes match whatever their case.
        esito = AggiungiCarrello(i % 2 ? QStringLiteral("a-1") : QStringLiteral("A-1"),
                                 qint16(aggiunte.at(i)));
    }

    QCOMPARE(int(esito), esitoUltima);
    QCOMPARE(rigaCarrello(prova, QStringLiteral("A-1")), riga);
    QCOMPARE(prova.valore(QStringLiteral("SELECT COUNT(*) FROM carrello")).toInt(), riga.isEmpty() ? 0 : 1);
    QVERIFY(registro.rapporti().isEmpty());
}

void TestCarrello::codiceSconosciuto()
{
    DatabaseDiProva prova;
    scorta(prova, QStringLiteral("A"), 1, 500);
    RegistroRapporti registro;

    QCOMPARE(AggiungiCarrello(QStringLiteral("B"), 1), EsitoCarrello::Errore);

    QCOMPARE(registro.zone(), QList<int>{5});
    QCOMPARE(prova.valore(QStringLiteral("SELECT COUNT(*) FROM carrello")).toInt(), 0);
}

void TestCarrello::finestraOrdineConteggioTotale()
{
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Viti'), ('Dadi'), ('Chiodi')"));
    scorta(prova, QStringLiteral("V-caro"), 1, 2500);
    scorta(prova, QStringLiteral("V-economico"), 1, 300);
    scorta(prova, QStringLiteral("D-1"), 2, 100);
    scorta(prova, QStringLiteral("orfano"), 9, 2000000000);
    scorta(prova, QStringLiteral("zero"), 3, 0);
    for (const char *codice : {"orfano", "V-caro", "D-1", "V-economico", "zero"})
        QCOMPARE(AggiungiCarrello(QLatin1String(codice), 3), EsitoCarrello::Aggiunto);
    prova.esegui(QStringLiteral("UPDATE rimanenze SET prezzo=999"));
    QCOMPARE(AggiungiCarrello(QStringLiteral("D-1"), 1000), EsitoCarrello::Aggiunto);

    VisCarrello_frm finestra;

    QCOMPARE(finestra.windowTitle(), QStringLiteral("Visualizzazione Carrello"));
    auto *griglia = finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
    QCOMPARE(cellaPerCella(griglia),
             QStringList({"V-economico|Viti|300|3|900", "V-caro|Viti|2.500|3|7.500",
                          "D-1|Dadi|100|1.003|1.001.997", "zero|Chiodi||3|",
                          "orfano||2.000.000.000|3|6.000.000.000", "||||"}));
    QCOMPARE(etichetta(finestra, "Label1"), QStringLiteral("5"));
    // Price times pieces of each line, in 64 bits: not the stored totals.
    QCOMPARE(etichetta(finestra, "Label2"), QStringLiteral("6.000.108.700"));
    QCOMPARE(etichetta(finestra, "Label3"), QStringLiteral("Elementi"));
    QCOMPARE(etichetta(finestra, "Label4"), QStringLiteral("Totale: £"));

    prova.esegui(QStringLiteral("DELETE FROM carrello WHERE codice <> 'D-1'"));
    premi(finestra, "Command1");
    QCOMPARE(cellaPerCella(griglia), QStringList({"D-1|Dadi|100|1.003|1.001.997", "||||"}));
    QCOMPARE(etichetta(finestra, "Label2"), QStringLiteral("100.300"));
}

void TestCarrello::carrelloVuoto()
{
    DatabaseDiProva prova;
    VisCarrello_frm finestra;
    QCOMPARE(cellaPerCella(finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"))),
             QStringList{"||||"});
    QCOMPARE(etichetta(finestra, "Label1"), QStringLiteral("0"));
    QCOMPARE(etichetta(finestra, "Label2"), QStringLiteral("0"));
}

void TestCarrello::cancella_data()
{
    QTest::addColumn<int>("riga"); // -1: the grid's own current row after filling
    QTest::addColumn<int>("risposta");
    QTest::addColumn<QString>("codiceChiesto");
    QTest::addColumn<QStringList>("rimasti");
    QTest::newRow("si") << 0 << int(QMessageBox::Yes) << "A" << QStringList{"B"};
    QTest::newRow("no") << 0 << int(QMessageBox::No) << "A" << QStringList{"A", "B"};
    QTest::newRow("riga vuota") << 2 << int(QMessageBox::Yes) << "" << QStringList{"A", "B"};
    QTest::newRow("senza scelta, ultima riga") << -1 << int(QMessageBox::Yes) << "B"
                                               << QStringList{"A"};
}

void TestCarrello::cancella()
{
    QFETCH(int, riga);
    QFETCH(int, risposta);
    QFETCH(QString, codiceChiesto);
    QFETCH(QStringList, rimasti);
    DatabaseDiProva prova;
    scorta(prova, QStringLiteral("A"), 1, 100);
    scorta(prova, QStringLiteral("B"), 1, 200);
    AggiungiCarrello(QStringLiteral("A"), 1);
    AggiungiCarrello(QStringLiteral("B"), 2);
    VisCarrello_frm finestra;
    auto *griglia = finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
    if (riga >= 0)
        griglia->setCurrentIndex(griglia->model()->index(riga, 0));
    RisponditoreDialoghi risponditore;
    risponditore.premi(QMessageBox::StandardButton(risposta));

    premi(finestra, "Command2");

    QCOMPARE(risponditore.testi(),
             QStringList{"Si sta tentando di cancellare il prodotto:\n" + codiceChiesto + "\nContinuare?"});
    QCOMPARE(risponditore.visti().first().pulsanti, QMessageBox::Yes | QMessageBox::No);
    QStringList nelFile;
    for (const QVariantList &r : prova.righe(QStringLiteral("SELECT codice FROM carrello ORDER BY codice")))
        nelFile << r.first().toString();
    QCOMPARE(nelFile, rimasti);
    QCOMPARE(griglia->model()->rowCount(), int(rimasti.size()) + 1);
    // The labels wait for the next refresh.
    QCOMPARE(etichetta(finestra, "Label1"), QStringLiteral("2"));
}

QTEST_MAIN(TestCarrello)
#include "tst_carrello.moc"
