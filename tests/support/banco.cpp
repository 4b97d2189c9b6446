#include "support/banco.h"

#include "common/lettore.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

class StampanteRegistrata final : public Stampante
{
public:
    explicit StampanteRegistrata(std::shared_ptr<DocumentoStampato> d) : d_(std::move(d)) {}
    void impostaCarattere(const QString &nome) override { riga_.carattere = nome; }
    void impostaDimensione(int punti) override { riga_.punti = punti; }
    void impostaGrassetto(bool attivo) override { riga_.grassetto = attivo; }
    void stampaRiga(const QString &testo) override
    {
        riga_.testo = testo;
        d_->righe << riga_;
    }
    EsitoStampa fineDocumento() override
    {
        d_->concluso = true;
        return {};
    }

private:
    std::shared_ptr<DocumentoStampato> d_;
    RigaStampata riga_;
};

// The box on screen, left as a user leaves it: its close button, or Esc
// after typing the text given.
void lascia(const QString &risposta)
{
    QWidget *scatola = QApplication::activeModalWidget();
    // Keys go where the focus is, shortcuts first: the box must be in front.
    scatola->activateWindow();
    if (!QTest::qWaitFor([scatola] { return QApplication::activeWindow() == scatola; }))
        QTest::qFail("la finestra di dialogo non è venuta davanti", __FILE__, __LINE__);
    if (risposta == "chiudi") {
        scatola->close();
        return;
    }
    QWidget *bersaglio = scatola->findChild<QLineEdit *>();
    bersaglio = bersaglio ? bersaglio : scatola;
    QTest::keyClicks(bersaglio, risposta.section(u'=', 1));
    QTest::keyClick(bersaglio, Qt::Key_Escape);
}

} // namespace

QStringList DocumentoStampato::testi() const
{
    QStringList t;
    for (const RigaStampata &r : righe)
        t << r.testo;
    return t;
}

Banco::Banco(int opzioni)
    : BancoDati(opzioni)
{
    if (!(opzioni & StampeVere)) {
        installaFabbricaStampanti([this](const QString &nome) {
            documenti_ << std::make_shared<DocumentoStampato>(DocumentoStampato{nome});
            return std::make_unique<StampanteRegistrata>(documenti_.last());
        });
    }
    risponditorePrecedente_ = installaRisponditore([this](const Scatola &s) -> std::optional<RispostaScatola> {
        visti << Dialogo{s.testo, s.predefinito, s.dettaglio};
        const bool prevista = !risposte_.isEmpty();
        const QString risposta = prevista ? risposte_.takeFirst() : QString();
        if (prevista && (risposta.startsWith("annulla") || risposta == "chiudi")) {
            QTimer::singleShot(0, this, [risposta] { lascia(risposta); });
            return std::nullopt;
        }
        const auto pulsante = risposta == "Si" ? QMessageBox::Yes : risposta == "No" ? QMessageBox::No
                            : risposta == "Ok" || risposta.startsWith(u'=') ? QMessageBox::Ok : QMessageBox::NoButton;
        if (pulsante != QMessageBox::NoButton && s.pulsanti & pulsante
            && (s.tipo == Scatola::Tipo::Testo) == risposta.startsWith(u'='))
            return RispostaScatola{pulsante, risposta.mid(1)};
        QTest::qFail(qPrintable((prevista ? "risposta «" + risposta + "» non adatta a: " : "nessuna risposta per: ")
                                + s.testo), __FILE__, __LINE__);
        return RispostaScatola{QMessageBox::Cancel}; // the box left, nothing done
    });
}

Banco::~Banco()
{
    if (!risposte_.isEmpty() && !QTest::currentTestFailed())
        QTest::qFail(qPrintable("risposte non usate: " + risposte_.join(", ")), __FILE__, __LINE__);
    installaRisponditore(std::move(risponditorePrecedente_));
    installaFabbricaStampanti({});
}

QStringList Banco::testi() const
{
    QStringList t;
    for (const Dialogo &d : visti)
        t << d.testo;
    return t;
}

QList<DocumentoStampato> Banco::stampe() const
{
    QList<DocumentoStampato> copia;
    for (const auto &d : documenti_)
        copia << *d;
    return copia;
}

bool mostra(QWidget &finestra)
{
    finestra.show();
    return QTest::qWaitForWindowExposed(&finestra);
}

QString etichetta(const QWidget &finestra, const char *nome)
{
    return elemento<QLabel>(finestra, nome)->text();
}

QStringList griglia(const QWidget &finestra)
{
    const QAbstractItemModel *m = elemento<QTableView>(finestra, "MSFlexGrid1")->model();
    QStringList righe;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList celle;
        for (int c = 0; c < m->columnCount(); ++c)
            celle << m->index(r, c).data().toString();
        righe << celle.join(u'|');
    }
    return righe;
}

void vaiARiga(const QWidget &finestra, int riga)
{
    auto *v = elemento<QTableView>(finestra, "MSFlexGrid1");
    v->setCurrentIndex(v->model()->index(riga, 0));
}

void attendiLetture(const QWidget &finestra)
{
    for (Lettore *lettore : finestra.findChildren<Lettore *>())
        lettore->attendi();
}

void premi(const QWidget &finestra, const char *pulsante)
{
    QTest::mouseClick(elemento<QPushButton>(finestra, pulsante), Qt::LeftButton);
    attendiLetture(finestra);
}

void premi(const QWidget &finestra, Banco &b, const char *pulsante, int riga, const QStringList &risposte)
{
    if (riga >= 0)
        vaiARiga(finestra, riga);
    b.visti.clear();
    b.rispondi(risposte);
    premi(finestra, pulsante);
}

void doppioClic(const QWidget &finestra, int riga)
{
    auto *v = elemento<QTableView>(finestra, "MSFlexGrid1");
    const QPoint cella = v->visualRect(v->model()->index(riga, 0)).center();
    // The first click of a double-click comes as a click of its own.
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cella);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cella);
}

void scegli(const QWidget &finestra, const QString &voce)
{
    auto *tipo = elemento<QComboBox>(finestra, "Combo1");
    tipo->setCurrentIndex(tipo->findText(voce));
}

void scegliDalMenu(const QWidget &finestra, const QString &voce)
{
    auto *tipo = elemento<QComboBox>(finestra, "Combo1");
    QAbstractItemView *elenco = tipo->view();
    tipo->showPopup();
    QTRY_VERIFY(elenco->isVisible());
    // A long entry is wider than the list: its centre may lie outside.
    const QRect area = elenco->visualRect(tipo->model()->index(tipo->findText(voce), 0));
    QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, {area.left() + 5, area.center().y()});
    QTRY_VERIFY(!elenco->isVisible());
    attendiLetture(finestra);
}
