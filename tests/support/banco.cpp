#include "support/banco.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

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
    // The modal box on screen is answered once.
    connect(&timer_, &QTimer::timeout, this, [this] {
        QWidget *attivo = QApplication::activeModalWidget();
        if (!attivo || attivo == ultimo_ || !attivo->isVisible())
            return;
        // Keys go where the focus is: the box must be in front first.
        if (QApplication::activeWindow() != attivo) {
            attivo->activateWindow();
            return;
        }
        ultimo_ = attivo;
        const QString risposta = risposte_.value(0);
        if (tasti) {
            // Enter takes the default button or the text typed; Esc says No or cancels.
            if (!risposte_.isEmpty())
                risposte_.removeFirst();
            if (auto *scatola = qobject_cast<QMessageBox *>(attivo))
                visti << Dialogo{scatola->text(), scatola->standardButton(scatola->defaultButton())};
            else if (auto *dialogo = qobject_cast<QInputDialog *>(attivo))
                visti << Dialogo{dialogo->labelText()};
            QWidget *bersaglio = attivo->findChild<QLineEdit *>();
            bersaglio = bersaglio ? bersaglio : attivo;
            QTest::keyClicks(bersaglio, risposta.mid(1));
            // N answers No where Esc leaves the question instead.
            auto *scatola = qobject_cast<QMessageBox *>(attivo);
            const bool lascia = scatola && scatola->button(QMessageBox::Cancel)
                && scatola->button(QMessageBox::Cancel)->isHidden();
            QTest::keyClick(bersaglio, risposta == "annulla" || (risposta == "No" && !lascia)
                                ? Qt::Key_Escape
                                : risposta == "No" ? Qt::Key_N : Qt::Key_Return);
            return;
        }
        if (auto *scatola = qobject_cast<QMessageBox *>(attivo)) {
            visti << Dialogo{scatola->text(), scatola->standardButton(scatola->defaultButton()),
                             scatola->detailedText()};
            if (risposta == "annulla" || risposta == "chiudi") {
                // Esc, or the close button of the box's frame.
                risposte_.removeFirst();
                risposta == "chiudi" ? void(scatola->close()) : QTest::keyClick(scatola, Qt::Key_Escape);
                return;
            }
            auto scelta = scatola->standardButtons() & QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::No;
            if (risposta == "Si" || risposta == "No")
                scelta = risposte_.takeFirst() == "Si" ? QMessageBox::Yes : QMessageBox::No;
            scatola->button(scelta)->click();
        } else if (auto *dialogo = qobject_cast<QInputDialog *>(attivo)) {
            visti << Dialogo{dialogo->labelText()};
            if (risposta.startsWith(u'=') || risposta == "annulla")
                risposte_.removeFirst();
            dialogo->setTextValue(risposta.mid(1));
            risposta.startsWith(u'=') ? dialogo->accept() : dialogo->reject();
        }
    });
    timer_.start(5);
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

void premi(const QWidget &finestra, const char *pulsante)
{
    QTest::mouseClick(elemento<QPushButton>(finestra, pulsante), Qt::LeftButton);
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
}
