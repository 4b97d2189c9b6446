#include "counter/VisCarrello_frm.h"

#include "common/elementi.h"
#include "common/formati.h"
#include "common/griglia.h"
#include "common/messaggi.h"
#include "counter/tracciato.h"
#include "data/database_routines.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <limits>
#include <utility>

VisCarrello_frm::VisCarrello_frm(QWidget *genitore)
    : QWidget(genitore)
{
    setObjectName(QStringLiteral("VisCarrello_frm"));
    setWindowTitle(QStringLiteral("Visualizzazione Carrello"));

    modello_ = new ModelloRighe<RigaCarrello>({QStringLiteral("Codice"), QStringLiteral("Tipo"),
                                               QStringLiteral("Prezzo"), QStringLiteral("q.tà"),
                                               QStringLiteral("Totale")},
                                              cellaCarrello, this);
    for (int colonna : {2, 3, 4})
        modello_->allineaADestra(colonna);
    griglia_ = creaVistaGriglia(modello_, this);
    griglia_->setMinimumSize(620, 260);
    // Every column in view at the window's first size.
    for (const auto &[colonna, larghezza] : {std::pair{0, 170}, {1, 110}, {2, 100}, {3, 70}})
        griglia_->horizontalHeader()->resizeSection(colonna, larghezza);

    elementi_ = nuovaEtichetta(this, QString(), QStringLiteral("Label1"));
    totale_ = nuovaEtichetta(this, QString(), QStringLiteral("Label2"));
    QFont grassetto = totale_->font();
    grassetto.setBold(true);
    totale_->setFont(grassetto);
    elementi_->setFont(grassetto);

    auto *comandoAggiorna =
        nuovoPulsante(this, QStringLiteral("Aggiorna"), QStringLiteral("Command1"));
    auto *comandoCancella =
        nuovoPulsante(this, QStringLiteral("Cancella"), QStringLiteral("Command2"));
    auto *comandoStampa = nuovoPulsante(this, QStringLiteral("Stampa"), QStringLiteral("Command3"));
    connect(comandoAggiorna, &QPushButton::clicked, this, &VisCarrello_frm::aggiorna);
    connect(comandoCancella, &QPushButton::clicked, this, &VisCarrello_frm::cancella);
    connect(comandoStampa, &QPushButton::clicked, this, &VisCarrello_frm::stampa);

    auto *piede = new QHBoxLayout;
    piede->addWidget(nuovaEtichetta(this, QStringLiteral("Elementi"), QStringLiteral("Label3")));
    piede->addWidget(elementi_);
    piede->addSpacing(24);
    piede->addWidget(nuovaEtichetta(this, QStringLiteral("Totale: £"), QStringLiteral("Label4")));
    piede->addWidget(totale_);
    piede->addStretch();
    for (const char *nome : {"Command1", "Command2", "Command3"})
        piede->addWidget(findChild<QPushButton *>(QLatin1String(nome)));

    auto *colonna = new QVBoxLayout(this);
    colonna->addWidget(griglia_);
    colonna->addLayout(piede);

    aggiorna();
}

void VisCarrello_frm::aggiorna()
{
    modello_->imposta(VisualizzaCarrello().value_or(QList<RigaCarrello>()));
    mostraTotali();
    // As after filling: the grid stands on the last line.
    griglia_->setCurrentIndex(modello_->index(qMax(0, modello_->righeElencate() - 1), 0));
}

void VisCarrello_frm::mostraTotali()
{
    elementi_->setText(formatoNumero(modello_->righeElencate(), MODELLO_CONTEGGIO));
    totale_->setText(testoTotaleCarrello(totaleCarrello(modello_->righe())));
}

void VisCarrello_frm::cancella()
{
    const int riga = griglia_->currentIndex().row();
    const RigaCarrello *linea = modello_->riga(riga);
    const QString codice = linea ? linea->codice : QString();
    if (!chiediConferma(this, QStringLiteral("Si sta tentando di cancellare il prodotto:\n") + codice
                                  + QStringLiteral("\nContinuare?"),
                        QMessageBox::No)
        || codice.isEmpty())
        return;
    if (CancellaCarrello(codice)) {
        modello_->rimuovi(riga);
        // The total shown is the one the receipt will carry: it must follow.
        mostraTotali();
    }
}

void VisCarrello_frm::stampa()
{
    // An empty list may only be out of date: lines added since it was read
    // are shown before the question.
    if (modello_->righeElencate() == 0)
        aggiorna();
    // The sale is the list as shown, not the cart as stored now.
    const QList<RigaCarrello> righe = modello_->righe();

    const Risposta risposta = chiediSiNo(this, QStringLiteral("Vuoi scaricare i prodotti dal magazzino?"));
    // Leaving the question sells nothing and prints nothing.
    if (risposta == Risposta::Annullata)
        return;
    EsitoVendita esito;
    if (risposta == Risposta::No) {
        // Receipt 0 when nothing is sold: the list as shown, today.
        esito = {EsitoVendita::Stato::Registrata, 0, oggi(), totaleCarrello(righe)};
    } else {
        if (righe.isEmpty()) {
            mostraMessaggio(this, QStringLiteral("Il carrello è vuoto."));
            return;
        }
        QList<RigaVendita> vendita;
        vendita.reserve(righe.size());
        for (const RigaCarrello &r : righe) {
            if (r.pezzi > std::numeric_limits<qint16>::max()
                || r.prezzo > std::numeric_limits<qint32>::max() || r.prezzo < 0) {
                mostraMessaggio(this, QStringLiteral("Il prodotto %1 supera i limiti di una vendita"
                                                     " (al massimo 32.767 pezzi a 2.147.483.647"
                                                     " lire).\nRidurre i pezzi nel carrello e"
                                                     " riprovare.")
                                          .arg(r.codice));
                return;
            }
            vendita.append({.idTipo = r.idTipo, .codice = r.codice, .prezzo = qint32(r.prezzo),
                            .pezzi = qint16(r.pezzi)});
        }
        esito = RegistraVendita(vendita);
        if (esito.stato == EsitoVendita::Stato::CarrelloCambiato) {
            mostraMessaggio(this, QStringLiteral("Il carrello è cambiato dall'ultimo aggiornamento."
                                                 "\nPremere \"Aggiorna\" e ricontrollare prima di"
                                                 " stampare."));
            return;
        }
        // Nothing was written: the cart stays as it was for another try.
        if (esito.stato != EsitoVendita::Stato::Registrata)
            return;
        // The sold lines are gone from the cart: so from the window.
        aggiorna();
    }
    // The receipt prints what the sale stored: its number, day and total.
    stampaEAvvisa(this, elencoRicevuta(esito.numeroRicevuta, righe, esito.totale, esito.giorno),
                  generalitaDaStampare());
}
