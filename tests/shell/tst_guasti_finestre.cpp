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
#include "support/immissioni.h"
#include "support/registro_stampe.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <memory>

// Every window command that reaches the file, with the file gone or not a
// database any more since the window opened: one zone report per command,
// never two, and no crash.

namespace {

using Passo = std::function<void(QWidget &, RisponditoreDialoghi &)>;

struct ComandoFinestra
{
    const char *nome;
    std::function<QWidget *()> crea;
    Passo prima; // on the sound file
    Passo esegui;
};

template <typename Finestra>
std::function<QWidget *()> crea()
{
    return [] { return new Finestra; };
}

const Passo niente = [](QWidget &, RisponditoreDialoghi &) {};

Passo clic(const char *pulsante, QMessageBox::StandardButton risposta = QMessageBox::NoButton)
{
    return [=](QWidget &f, RisponditoreDialoghi &r) {
        if (risposta != QMessageBox::NoButton)
            r.premi(risposta);
        premi(f, pulsante);
    };
}

// The first row, deleted with Yes to the question.
const Passo cancella = [](QWidget &f, RisponditoreDialoghi &r) {
    vaiARiga(f, 0);
    clic("Command2", QMessageBox::Yes)(f, r);
};

const Passo tipoProva = [](QWidget &f, RisponditoreDialoghi &) { scegli(f, QStringLiteral("Prova")); };
const Passo menuProva = [](QWidget &f, RisponditoreDialoghi &) { scegliDalMenu(f, QStringLiteral("Prova")); };

const QList<ComandoFinestra> &comandi()
{
    using R = RisponditoreDialoghi;
    static const QList<ComandoFinestra> elenco = {
        {"Info_frm Salva", crea<Info_frm>(), niente, clic("Command1")},
        {"VisTipi_frm Aggiorna", crea<VisTipi_frm>(), niente, clic("Command1")},
        {"VisTipi_frm Aggiungi", crea<VisTipi_frm>(), niente,
         [](QWidget &f, R &r) {
             campo(f, "Text1")->setText(QStringLiteral("Nuovo"));
             clic("Command3")(f, r);
         }},
        {"VisTipi_frm Cancella", crea<VisTipi_frm>(), niente, cancella},
        {"Prodotto_frm codice digitato", crea<Prodotto_frm>(), tipoProva,
         [](QWidget &f, R &) { QTest::keyClick(campo(f, "Text1"), Qt::Key_A); }},
        {"Prodotto_frm Invio nei tipi", crea<Prodotto_frm>(), niente,
         [](QWidget &f, R &) { QTest::keyClick(selettore(f), Qt::Key_Return); }},
        {"Prodotto_frm Salva", crea<Prodotto_frm>(),
         [](QWidget &f, R &r) {
             tipoProva(f, r);
             for (const char *nome : {"Text1", "Text2", "Text4", "Text3"})
                 campo(f, nome)->setText(QStringLiteral("1"));
         },
         clic("Command1")},
        {"AggCarrello_frm scelta del tipo", crea<AggCarrello_frm>(), niente, menuProva},
        {"AggCarrello_frm Modifica", crea<AggCarrello_frm>(), menuProva,
         [](QWidget &f, R &r) {
             vaiARiga(f, 0);
             r.premi(QMessageBox::Yes);
             r.scrivi(QStringLiteral("150"));
             premi(f, "Command1");
         }},
        {"AggCarrello_frm Cancella", crea<AggCarrello_frm>(), menuProva, cancella},
        {"AggCarrello_frm doppio clic", crea<AggCarrello_frm>(), menuProva,
         [](QWidget &f, R &r) {
             r.scrivi(QStringLiteral("1"));
             doppioClic(f, 0);
         }},
        {"VisCarrello_frm Aggiorna", crea<VisCarrello_frm>(), niente, clic("Command1")},
        {"VisCarrello_frm Cancella", crea<VisCarrello_frm>(), niente, cancella},
        {"VisCarrello_frm Stampa, Si", crea<VisCarrello_frm>(), niente, clic("Command3", QMessageBox::Yes)},
        {"VisCarrello_frm Stampa, No", crea<VisCarrello_frm>(), niente, clic("Command3", QMessageBox::No)},
        {"Ricevute_frm Aggiorna", crea<Ricevute_frm>(), niente, clic("Command1")},
        {"Ricevute_frm Cancella", crea<Ricevute_frm>(), clic("Command1"), cancella},
        {"Ricevute_frm Stampa", crea<Ricevute_frm>(), clic("Command1"), clic("Command3")},
        {"Operazioni_frm Aggiorna", crea<Operazioni_frm>(),
         [](QWidget &f, R &r) {
             selettore(f, "Combo2")->setCurrentIndex(0);
             tipoProva(f, r);
         },
         clic("Command1")},
        {"Operazioni_frm Cancella", crea<Operazioni_frm>(),
         [](QWidget &f, R &r) {
             selettore(f, "Combo2")->setCurrentIndex(0);
             clic("Command1")(f, r);
         },
         cancella},
        {"Operazioni_frm Stampa", crea<Operazioni_frm>(), niente, clic("Command3")},
        {"VisGrafico_frm Aggiorna", crea<VisGrafico_frm>(), niente, clic("Command1")},
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
    QTest::addColumn<bool>("mancante"); // else not a database
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
    Banco banco;
    preparaNegozio(banco.db);
    ModoStatistiche = 1;
    RegistroStampe stampe;
    std::unique_ptr<QWidget> finestra(comando.crea());
    QVERIFY(mostra(*finestra));
    comando.prima(*finestra, banco.risponditore);
    QCOMPARE(banco.registro.rapporti().size(), 0);
    banco.risponditore.azzera();

    if (mancante)
        QVERIFY(QFile::remove(banco.db.percorso()));
    else
        banco.db.sostituisciConTesto(QByteArray("Questo non è un database.\n").repeated(100));
    const QByteArray guasto = byteDelFile(banco.db.percorso());

    comando.esegui(*finestra, banco.risponditore);

    QCOMPARE(banco.registro.rapporti().size(), 1);
    QCOMPARE(banco.registro.rapporti().first().numero, mancante ? 14 : 26);
    QCOMPARE(banco.risponditore.rispostePendenti(), 0);
    QCOMPARE(QFile::exists(banco.db.percorso()), !mancante);
    QVERIFY(byteDelFile(banco.db.percorso()) == guasto);
}

QTEST_MAIN(TestGuastiFinestre)
#include "tst_guasti_finestre.moc"
