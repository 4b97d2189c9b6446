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

using R = RisponditoreDialoghi;
using Passo = std::function<void(QWidget &, R &)>;

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

Passo poi(const Passo &a, const Passo &b)
{
    return [=](QWidget &f, R &r) {
        a(f, r);
        b(f, r);
    };
}

Passo clic(const char *pulsante, QMessageBox::StandardButton risposta = QMessageBox::NoButton)
{
    return [=](QWidget &f, R &r) {
        if (risposta != QMessageBox::NoButton)
            r.premi(risposta);
        premi(f, pulsante);
    };
}

Passo scrivi(const QStringList &nomi, const QString &testo)
{
    return [=](QWidget &f, R &) {
        for (const QString &nome : nomi)
            campo(f, qPrintable(nome))->setText(testo);
    };
}

const Passo niente = [](QWidget &, R &) {};
const Passo primaRiga = [](QWidget &f, R &) { vaiARiga(f, 0); };
const Passo cancella = poi(primaRiga, clic("Command2", QMessageBox::Yes));
const Passo tipoProva = [](QWidget &f, R &) { scegli(f, QStringLiteral("Prova")); };
const Passo menuProva = [](QWidget &f, R &) { scegliDalMenu(f, QStringLiteral("Prova")); };
const Passo acquisti = [](QWidget &f, R &) { selettore(f, "Combo2")->setCurrentIndex(0); };

const QList<ComandoFinestra> &comandi()
{
    static const QList<ComandoFinestra> elenco = {
        {"Info_frm Salva", crea<Info_frm>(), niente, clic("Command1")},
        {"VisTipi_frm Aggiorna", crea<VisTipi_frm>(), niente, clic("Command1")},
        {"VisTipi_frm Aggiungi", crea<VisTipi_frm>(), niente,
         poi(scrivi({"Text1"}, QStringLiteral("Nuovo")), clic("Command3"))},
        {"VisTipi_frm Cancella", crea<VisTipi_frm>(), niente, cancella},
        {"Prodotto_frm codice digitato", crea<Prodotto_frm>(), tipoProva,
         [](QWidget &f, R &) { QTest::keyClick(campo(f, "Text1"), Qt::Key_A); }},
        {"Prodotto_frm Invio nei tipi", crea<Prodotto_frm>(), niente,
         [](QWidget &f, R &) { QTest::keyClick(selettore(f), Qt::Key_Return); }},
        {"Prodotto_frm Salva", crea<Prodotto_frm>(),
         poi(tipoProva, scrivi({"Text1", "Text2", "Text3", "Text4"}, QStringLiteral("1"))),
         clic("Command1")},
        {"AggCarrello_frm scelta del tipo", crea<AggCarrello_frm>(), niente, menuProva},
        {"AggCarrello_frm Modifica", crea<AggCarrello_frm>(), menuProva,
         poi(primaRiga, [](QWidget &f, R &r) {
             r.premi(QMessageBox::Yes);
             r.scrivi(QStringLiteral("150"));
             premi(f, "Command1");
         })},
        {"AggCarrello_frm Cancella", crea<AggCarrello_frm>(), menuProva, cancella},
        {"AggCarrello_frm doppio clic", crea<AggCarrello_frm>(), menuProva,
         [](QWidget &f, R &r) {
             r.scrivi(QStringLiteral("1"));
             doppioClic(f, 0);
         }},
        {"VisCarrello_frm Aggiorna", crea<VisCarrello_frm>(), niente, clic("Command1")},
        {"VisCarrello_frm Cancella", crea<VisCarrello_frm>(), niente, cancella},
        {"VisCarrello_frm Stampa, Si", crea<VisCarrello_frm>(), niente,
         clic("Command3", QMessageBox::Yes)},
        {"VisCarrello_frm Stampa, No", crea<VisCarrello_frm>(), niente,
         clic("Command3", QMessageBox::No)},
        {"Ricevute_frm Aggiorna", crea<Ricevute_frm>(), niente, clic("Command1")},
        {"Ricevute_frm Cancella", crea<Ricevute_frm>(), clic("Command1"), cancella},
        {"Ricevute_frm Stampa", crea<Ricevute_frm>(), clic("Command1"), clic("Command3")},
        {"Operazioni_frm Aggiorna", crea<Operazioni_frm>(), poi(acquisti, tipoProva),
         clic("Command1")},
        {"Operazioni_frm Cancella", crea<Operazioni_frm>(), poi(acquisti, clic("Command1")),
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
