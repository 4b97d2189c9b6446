#include "counter/Ricevute_frm.h"
#include "counter/VisCarrello_frm.h"
#include "reports/Operazioni_frm.h"
#include "reports/VisGrafico_frm.h"
#include "reports/statistiche.h"
#include "shell/Info_frm.h"
#include "stock/AggCarrello_frm.h"
#include "stock/Prodotto_frm.h"
#include "stock/VisTipi_frm.h"
#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

// Every window command that reaches the file, with the file gone or not a
// database any more since the window opened: one zone report per command,
// never two, and no crash.

namespace {

struct ComandoFinestra
{
    const char *nome;
    std::function<QWidget *()> crea;
    std::function<void(QWidget &)> prima; // on the sound file
    std::function<void(QWidget &, RisponditoreDialoghi &)> esegui;
};

void premi(QWidget &f, const char *pulsante)
{
    QTest::mouseClick(f.findChild<QPushButton *>(QLatin1String(pulsante)), Qt::LeftButton);
}

QTableView *griglia(QWidget &f)
{
    return f.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
}

void vaiARiga(QWidget &f, int riga)
{
    griglia(f)->setCurrentIndex(griglia(f)->model()->index(riga, 0));
}

// As the user does: open the list and click the entry.
void scegliDalMenu(QWidget &f, const QString &codice)
{
    auto *tipo = f.findChild<QComboBox *>(QStringLiteral("Combo1"));
    QAbstractItemView *elenco = tipo->view();
    tipo->showPopup();
    QTRY_VERIFY(elenco->isVisible());
    const QRect voce = elenco->visualRect(tipo->model()->index(tipo->findText(codice), 0));
    QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, voce.center());
    QTRY_VERIFY(!elenco->isVisible());
}

void doppioClic(QWidget &f, int riga)
{
    QTableView *vista = griglia(f);
    const QPoint cella = vista->visualRect(vista->model()->index(riga, 0)).center();
    QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, cella);
    QTest::mouseDClick(vista->viewport(), Qt::LeftButton, {}, cella);
}

void niente(QWidget &) {}

template <typename Finestra>
std::function<QWidget *()> crea()
{
    return [] { return new Finestra; };
}

const QList<ComandoFinestra> &comandi()
{
    using R = RisponditoreDialoghi;
    static const QList<ComandoFinestra> elenco = {
        {"Info_frm Salva", crea<Info_frm>(), niente, [](QWidget &f, R &) { premi(f, "Command1"); }},
        {"VisTipi_frm Aggiorna", crea<VisTipi_frm>(), niente,
         [](QWidget &f, R &) { premi(f, "Command1"); }},
        {"VisTipi_frm Aggiungi", crea<VisTipi_frm>(), niente,
         [](QWidget &f, R &) {
             f.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("Nuovo"));
             premi(f, "Command3");
         }},
        {"VisTipi_frm Cancella", crea<VisTipi_frm>(), niente,
         [](QWidget &f, R &r) {
             vaiARiga(f, 0);
             r.premi(QMessageBox::Yes);
             premi(f, "Command2");
         }},
        {"Prodotto_frm codice digitato", crea<Prodotto_frm>(),
         [](QWidget &f) {
             auto *tipo = f.findChild<QComboBox *>(QStringLiteral("Combo1"));
             tipo->setCurrentIndex(tipo->findText(QStringLiteral("Prova")));
         },
         [](QWidget &f, R &) {
             QTest::keyClick(f.findChild<QLineEdit *>(QStringLiteral("Text1")), Qt::Key_A);
         }},
        {"Prodotto_frm Invio nei tipi", crea<Prodotto_frm>(), niente,
         [](QWidget &f, R &) {
             QTest::keyClick(f.findChild<QComboBox *>(QStringLiteral("Combo1")), Qt::Key_Return);
         }},
        {"Prodotto_frm Salva", crea<Prodotto_frm>(),
         [](QWidget &f) {
             auto *tipo = f.findChild<QComboBox *>(QStringLiteral("Combo1"));
             tipo->setCurrentIndex(tipo->findText(QStringLiteral("Prova")));
             const char *campi[] = {"Text1", "Text2", "Text4", "Text3"};
             const char *valori[] = {"ART-9", "10", "20", "1"};
             for (int i = 0; i < 4; ++i)
                 f.findChild<QLineEdit *>(QLatin1String(campi[i]))->setText(QLatin1String(valori[i]));
         },
         [](QWidget &f, R &) { premi(f, "Command1"); }},
        {"AggCarrello_frm scelta del tipo", crea<AggCarrello_frm>(), niente,
         [](QWidget &f, R &) { scegliDalMenu(f, QStringLiteral("Prova")); }},
        {"AggCarrello_frm Modifica", crea<AggCarrello_frm>(),
         [](QWidget &f) { scegliDalMenu(f, QStringLiteral("Prova")); },
         [](QWidget &f, R &r) {
             vaiARiga(f, 0);
             r.premi(QMessageBox::Yes);
             r.scrivi(QStringLiteral("150"));
             premi(f, "Command1");
         }},
        {"AggCarrello_frm Cancella", crea<AggCarrello_frm>(),
         [](QWidget &f) { scegliDalMenu(f, QStringLiteral("Prova")); },
         [](QWidget &f, R &r) {
             vaiARiga(f, 0);
             r.premi(QMessageBox::Yes);
             premi(f, "Command2");
         }},
        {"AggCarrello_frm doppio clic", crea<AggCarrello_frm>(),
         [](QWidget &f) { scegliDalMenu(f, QStringLiteral("Prova")); },
         [](QWidget &f, R &r) {
             r.scrivi(QStringLiteral("1"));
             doppioClic(f, 0);
         }},
        {"VisCarrello_frm Aggiorna", crea<VisCarrello_frm>(), niente,
         [](QWidget &f, R &) { premi(f, "Command1"); }},
        {"VisCarrello_frm Cancella", crea<VisCarrello_frm>(), niente,
         [](QWidget &f, R &r) {
             vaiARiga(f, 0);
             r.premi(QMessageBox::Yes);
             premi(f, "Command2");
         }},
        {"VisCarrello_frm Stampa, Si", crea<VisCarrello_frm>(), niente,
         [](QWidget &f, R &r) {
             r.premi(QMessageBox::Yes);
             premi(f, "Command3");
         }},
        {"VisCarrello_frm Stampa, No", crea<VisCarrello_frm>(), niente,
         [](QWidget &f, R &r) {
             r.premi(QMessageBox::No);
             premi(f, "Command3");
         }},
        {"Ricevute_frm Aggiorna", crea<Ricevute_frm>(), niente,
         [](QWidget &f, R &) { premi(f, "Command1"); }},
        {"Ricevute_frm Cancella", crea<Ricevute_frm>(),
         [](QWidget &f) { premi(f, "Command1"); },
         [](QWidget &f, R &r) {
             vaiARiga(f, 0);
             r.premi(QMessageBox::Yes);
             premi(f, "Command2");
         }},
        {"Ricevute_frm Stampa", crea<Ricevute_frm>(), [](QWidget &f) { premi(f, "Command1"); },
         [](QWidget &f, R &) { premi(f, "Command3"); }},
        {"Operazioni_frm Aggiorna", crea<Operazioni_frm>(),
         [](QWidget &f) {
             f.findChild<QComboBox *>(QStringLiteral("Combo2"))->setCurrentIndex(0);
             auto *tipo = f.findChild<QComboBox *>(QStringLiteral("Combo1"));
             tipo->setCurrentIndex(tipo->findText(QStringLiteral("Prova")));
         },
         [](QWidget &f, R &) { premi(f, "Command1"); }},
        {"Operazioni_frm Cancella", crea<Operazioni_frm>(),
         [](QWidget &f) {
             f.findChild<QComboBox *>(QStringLiteral("Combo2"))->setCurrentIndex(0);
             premi(f, "Command1");
         },
         [](QWidget &f, R &r) {
             vaiARiga(f, 0);
             r.premi(QMessageBox::Yes);
             premi(f, "Command2");
         }},
        {"Operazioni_frm Stampa", crea<Operazioni_frm>(), niente,
         [](QWidget &f, R &) { premi(f, "Command3"); }},
        {"VisGrafico_frm Aggiorna", crea<VisGrafico_frm>(), niente,
         [](QWidget &f, R &) { premi(f, "Command1"); }},
    };
    return elenco;
}

} // namespace

class TestGuastiFinestre : public QObject
{
    Q_OBJECT

private slots:
    void unRapportoPerComando_data();
    void unRapportoPerComando();
};

void TestGuastiFinestre::unRapportoPerComando_data()
{
    QTest::addColumn<int>("indice");
    QTest::addColumn<bool>("mancante"); // else replaced by text
    for (int i = 0; i < comandi().size(); ++i) {
        QTest::addRow("%s, file mancante", comandi().at(i).nome) << i << true;
        QTest::addRow("%s, non un database", comandi().at(i).nome) << i << false;
    }
}

void TestGuastiFinestre::unRapportoPerComando()
{
    QFETCH(int, indice);
    QFETCH(bool, mancante);
    const ComandoFinestra &comando = comandi().at(indice);
    DatabaseDiProva prova;
    preparaNegozio(prova);
    ModoStatistiche = 1;
    RegistroRapporti registro;
    RegistroStampe stampe;
    RisponditoreDialoghi risponditore;
    std::unique_ptr<QWidget> finestra(comando.crea());
    finestra->show();
    QVERIFY(QTest::qWaitForWindowExposed(finestra.get()));
    comando.prima(*finestra);
    QCOMPARE(registro.rapporti().size(), 0);
    risponditore.azzera();

    if (mancante)
        QVERIFY(QFile::remove(prova.percorso()));
    else
        prova.sostituisciConTesto(QByteArray("Questo non è un database.\n").repeated(100));
    const QByteArray guasto = byteDelFile(prova.percorso());

    comando.esegui(*finestra, risponditore);

    QCOMPARE(registro.rapporti().size(), 1);
    QCOMPARE(registro.rapporti().first().numero, mancante ? 14 : 26);
    QCOMPARE(risponditore.rispostePendenti(), 0);
    QCOMPARE(QFile::exists(prova.percorso()), !mancante);
    QVERIFY(byteDelFile(prova.percorso()) == guasto);
}

QTEST_MAIN(TestGuastiFinestre)
#include "tst_guasti_finestre.moc"
