#include "stock/AggCarrello_frm.h"

#include "common/elementi.h"
#include "common/formati.h"
#include "common/griglia.h"
#include "common/lettore.h"
#include "common/messaggi.h"
#include "common/selettore_tipi.h"
#include "data/database_routines.h"
#include "data/rapporto.h"
#include "stock/valori_prodotto.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr int COLONNA_CODICE = 0;
constexpr int COLONNA_PREZZO = 2;
constexpr int COLONNA_PEZZI = 3;

QString domanda(const QString &inizio, const QString &codice)
{
    return inizio + u'\n' + codice + QStringLiteral("\nContinuare?");
}

} // namespace

AggCarrello_frm::AggCarrello_frm(QWidget *genitore)
    : QWidget(genitore)
{
    setObjectName(QStringLiteral("AggCarrello_frm"));
    setWindowTitle(QStringLiteral("Visualizzazione Prodotti Rimanenti"));
    lettore_ = new Lettore(this);
    QLayout *scelta = creaScelta();
    creaGriglia();
    QLayout *pulsanti = creaComandi();
    auto *colonna = new QVBoxLayout(this);
    colonna->addLayout(scelta);
    colonna->addWidget(griglia_, 1);
    colonna->addLayout(pulsanti);
    caricaTipi();
    collegaTasti();
}

QLayout *AggCarrello_frm::creaScelta()
{
    auto *etichetta = new QLabel(QStringLiteral("Seleziona per Tipi"), this);
    etichetta->setObjectName(QStringLiteral("Label1"));
    tipo_ = new QComboBox(this);
    tipo_->setObjectName(QStringLiteral("Combo1"));
    tipo_->setMinimumWidth(240);
    etichetta->setBuddy(tipo_);
    auto *etichettaTrova = new QLabel(QStringLiteral("&Trova codice"), this);
    trova_ = new QLineEdit(this);
    trova_->setObjectName(QStringLiteral("TrovaCodice"));
    trova_->setClearButtonEnabled(true);
    etichettaTrova->setBuddy(trova_);

    auto *scelta = new QHBoxLayout;
    scelta->addWidget(etichetta);
    scelta->addWidget(tipo_);
    scelta->addStretch();
    scelta->addWidget(etichettaTrova);
    scelta->addWidget(trova_);
    return scelta;
}

void AggCarrello_frm::creaGriglia()
{
    modello_ = new ModelloRighe<RigaRimanenza>(
        {QStringLiteral("Codice"), QStringLiteral("Tipo"), QStringLiteral("Prezzo"),
         QStringLiteral("q.tà")},
        [this](const RigaRimanenza &r, int colonna) {
            switch (colonna) {
            case COLONNA_CODICE:
                return r.codice;
            case COLONNA_PREZZO:
                return formatoNumero(r.prezzo, MODELLO_DENARO);
            case COLONNA_PEZZI:
                return formatoNumero(r.pezzi, MODELLO_DENARO_CORTO);
            default:
                return ricerca_ ? r.tipo : codiceTipo_;
            }
        },
        this);
    modello_->allineaADestra(COLONNA_PREZZO);
    modello_->allineaADestra(COLONNA_PEZZI);
    griglia_ = creaVistaGriglia(modello_, this);
    griglia_->setMinimumSize(540, 300);
    griglia_->horizontalHeader()->resizeSection(0, 180);
    griglia_->horizontalHeader()->resizeSection(1, 120);
    griglia_->horizontalHeader()->resizeSection(2, 110);
}

QLayout *AggCarrello_frm::creaComandi()
{
    auto *pulsanteModifica = nuovoPulsante(this, QStringLiteral("Modifica"), QStringLiteral("Command1"));
    auto *pulsanteCancella = nuovoPulsante(this, QStringLiteral("Cancella"), QStringLiteral("Command2"));
    connect(pulsanteModifica, &QPushButton::clicked, this, &AggCarrello_frm::modifica);
    connect(pulsanteCancella, &QPushButton::clicked, this, &AggCarrello_frm::cancella);
    // Type, search, the grid, then its commands.
    setTabOrder(tipo_, trova_);
    setTabOrder(trova_, griglia_);
    setTabOrder(griglia_, pulsanteModifica);
    setTabOrder(pulsanteModifica, pulsanteCancella);

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(pulsanteModifica);
    pulsanti->addWidget(pulsanteCancella);
    return pulsanti;
}

void AggCarrello_frm::collegaTasti()
{
    // Keys reach the selector itself, which hands them to its line edit.
    tipo_->installEventFilter(this);
    griglia_->installEventFilter(this);
    connect(tipo_, &QComboBox::activated, this,
            [this](int indice) { mostraTipo(tipo_->itemText(indice)); });
    connect(griglia_, &QTableView::doubleClicked, this, &AggCarrello_frm::aggiungiACarrello);
    connect(trova_, &QLineEdit::textChanged, this, &AggCarrello_frm::trova);
    connect(trova_, &QLineEdit::returnPressed, this, &AggCarrello_frm::codiceLetto);
}

void AggCarrello_frm::trova(const QString &testo)
{
    const std::optional<QString> parte = codicePulito(testo);
    if (!parte) {
        avvisaInBarra(QStringLiteral("Il codice non può contenere a capo, tabulazioni o altri"
                                     " caratteri di controllo."),
                      true);
        ricerca_ = true;
        lettore_->annulla();
        modello_->imposta({});
        return;
    }
    if (parte->isEmpty()) {
        // Back to the type chosen, as it was.
        mostraTipo(codiceTipo_);
        return;
    }
    ricerca_ = true;
    lettore_->annulla();
    modello_->imposta(TrovaRimanenze(*parte).value_or(QList<RigaRimanenza>()));
    griglia_->setCurrentIndex(modello_->index(0, 0));
}

// A scanner types the code and Enter: a code that names one article exactly
// goes straight to the cart's pieces question; otherwise the status bar says
// why not, without a box that would swallow the next scan.
void AggCarrello_frm::codiceLetto()
{
    const std::optional<QString> codice = codicePulito(trova_->text());
    if (!codice || codice->isEmpty())
        return;
    const int trovati = modello_->righeElencate();
    for (int riga = 0; riga < trovati; ++riga) {
        if (modello_->riga(riga)->codice.compare(*codice, Qt::CaseInsensitive) == 0) {
            griglia_->setCurrentIndex(modello_->index(riga, 0));
            aggiungiACarrello();
            trova_->selectAll();
            return;
        }
    }
    if (trovati == 0) {
        avvisaInBarra(QStringLiteral("Nessun articolo con il codice %1.").arg(*codice), true);
        trova_->selectAll();
        return;
    }
    griglia_->setCurrentIndex(modello_->index(0, 0));
    griglia_->setFocus();
    avvisaInBarra(trovati == 1
                      ? QStringLiteral("1 articolo: sceglierlo con Invio")
                      : QStringLiteral("%1 articoli: sceglierne uno con le frecce e Invio")
                            .arg(formatoNumero(trovati, MODELLO_CONTEGGIO)));
}

void AggCarrello_frm::caricaTipi()
{
    riempiSelettoreTipi(tipo_, CaricaTipi().value_or(QStringList()));
}

bool AggCarrello_frm::eventFilter(QObject *oggetto, QEvent *evento)
{
    if (oggetto == griglia_ && evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent *>(evento)->key();
        // Enter on a row does what a double-click does.
        if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) {
            aggiungiACarrello();
            return true;
        }
    }
    if (oggetto == tipo_ && evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent *>(evento)->key();
        if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) {
            // Types added meanwhile in another window show up.
            caricaTipi();
            return true;
        }
    }
    return QWidget::eventFilter(oggetto, evento);
}

void AggCarrello_frm::mostraTipo(const QString &codiceTipo)
{
    // No type chosen, or none of that code: no stock row to list.
    codiceTipo_ = codiceTipo;
    ricerca_ = false;
    if (!trova_->text().isEmpty()) {
        const QSignalBlocker fermo(trova_);
        trova_->clear();
    }
    modello_->imposta({});
    if (codiceTipo.isEmpty()) {
        lettore_->annulla();
        vaiAllUltimaRiga(griglia_);
        return;
    }
    lettore_->avvia([this, codiceTipo](Consegna &c) {
        const SegnalatoreDelThread rapporti(
            [&c](const RapportoZona &rapporto) { c.consegna([rapporto] { segnala(rapporto); }); });
        const bool riuscito = RimanenzeDelTipo(codiceTipo, [this, &c](QList<RigaRimanenza> &righe) {
                                  c.consegna([this, righe = std::move(righe)] { mostra(righe); });
                                  return !c.superata();
                              }).has_value();
        c.consegna([this, riuscito] {
            // After a report the grid is empty, as when nothing could be read.
            if (!riuscito)
                modello_->imposta({});
            mostraFineElenco(griglia_);
        });
    });
}

void AggCarrello_frm::mostra(QList<RigaRimanenza> righe)
{
    const bool prime = modello_->righeElencate() == 0;
    modello_->aggiungi(std::move(righe));
    if (prime)
        mostraPrimeRighe(griglia_);
}

void AggCarrello_frm::modifica()
{
    const auto [riga, scelta] = rigaScelta(griglia_, *modello_);
    const QString codice = scelta ? scelta->codice : QString();
    if (!chiediConferma(this, domanda(QStringLiteral("Si sta tentando di modificare il prezzo di"
                                                     " vendita del prodotto:"),
                                      codice)))
        return;
    // The empty last row: no article whose price could change.
    if (codice.isEmpty())
        return;
    const QString risposta = chiediTesto(this, QStringLiteral("Immettere il nuovo prezzo di vendita"),
                                         TITOLO_PROGRAMMA);
    if (risposta.trimmed().isEmpty())
        return;
    const std::optional<qint32> prezzo = leggiPrezzo(risposta);
    if (!prezzo) {
        mostraMessaggio(this, QStringLiteral("Il prezzo di vendita deve essere un numero intero"
                                             " da 0 a %1. Il prezzo non è stato modificato.")
                                  .arg(formatoNumero(std::numeric_limits<qint32>::max(),
                                                     MODELLO_DENARO)));
        return;
    }
    if (AggiornaPrezzo(codice, *prezzo)) {
        if (const RigaRimanenza *vecchia = modello_->riga(riga)) {
            RigaRimanenza nuova = *vecchia;
            nuova.prezzo = *prezzo;
            modello_->sostituisci(riga, nuova);
        }
    }
}

void AggCarrello_frm::cancella()
{
    const auto [riga, scelta] = rigaScelta(griglia_, *modello_);
    const QString codice = scelta ? scelta->codice : QString();
    if (!chiediConferma(this, domanda(QStringLiteral("Si sta tentando di cancellare il prodotto:"),
                                      codice),
                        QMessageBox::No)
        || codice.isEmpty())
        return;
    if (CancellaRimanenza(codice))
        modello_->rimuovi(riga);
}

void AggCarrello_frm::aggiungiACarrello()
{
    const RigaRimanenza *riga = rigaScelta(griglia_, *modello_).riga;
    // The empty last row holds no pieces, as an empty cell reads.
    const qint64 disponibili = riga ? riga->pezzi : 0;
    const QString codice = riga ? riga->codice : QString();
    auto chiediPezzi = [this] {
        return chiediTesto(this, QStringLiteral("Aggiunta a carrello\nNumero di pezzi?"),
                           TITOLO_PROGRAMMA);
    };

    std::optional<qint16> pezzi;
    if (disponibili <= 0) {
        if (!chiediConferma(this, QStringLiteral("Attenzione\nil prodotto selezionato è esaurito,"
                                                 " continuare?")))
            return;
        pezzi = leggiPezziCarrello(chiediPezzi());
    } else {
        pezzi = leggiPezziCarrello(chiediPezzi());
        if (pezzi && disponibili < *pezzi
            && !chiediConferma(this, QStringLiteral("Attenzione\ni prodotti uscenti non sono"
                                                    " disponibili, continuare?"),
                               QMessageBox::No))
            return;
    }
    if (!pezzi) {
        mostraMessaggio(this, QStringLiteral("Il numero di pezzi deve essere compreso tra -32.768"
                                             " e 32.767. Nulla è stato aggiunto al carrello."));
        return;
    }
    if (codice.isEmpty() || *pezzi == 0)
        return;
    const EsitoCarrello esito = AggiungiCarrello(codice, *pezzi);
    if (esito == EsitoCarrello::PezziInsufficienti)
        mostraMessaggio(this, QStringLiteral("Attenzione\nIl numero di prodotti in carrello è"
                                             " negativo o nullo"));
    if (esito != EsitoCarrello::Aggiunto)
        return;
    // The running total the customer owes, for a glance between two scans.
    if (const std::optional<QList<RigaCarrello>> carrello = VisualizzaCarrello())
        avvisaInBarra(QStringLiteral("Nel carrello: %1 × %2 — totale %3")
                          .arg(codice, QString::number(*pezzi),
                               formatoNumero(totaleCarrello(*carrello), MODELLO_TOTALE)));
}
