#include "reports/Operazioni_frm.h"

#include "common/elementi.h"
#include "common/lettore.h"
#include "common/formati.h"
#include "common/griglia.h"
#include "common/messaggi.h"
#include "common/selettore_tipi.h"
#include "common/filtro_giorno.h"
#include "data/database_routines.h"
#include "data/rapporto.h"
#include "reports/elenco_operazioni.h"
#include "reports/modello_operazioni.h"

#include <QComboBox>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int Codice = int(ColonnaOperazione::Codice);
constexpr int NumeroColonne = COLONNE_OPERAZIONI;

const QString INVITO_OPERAZIONE = QStringLiteral(">> Seleziona <<");

QLabel *valore(QWidget *genitore, const QString &nome)
{
    auto *label = new QLabel(genitore);
    label->setObjectName(nome);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(
        label->fontMetrics().horizontalAdvance(QStringLiteral("-000.000.000.000")));
    return label;
}

} // namespace

Operazioni_frm::Operazioni_frm(QWidget *genitore)
    : QWidget(genitore)
{
    setObjectName(QStringLiteral("Operazioni_frm"));
    setWindowTitle(QStringLiteral("Visualizzazione Operazioni"));
    lettore_ = new Lettore(this);
    creaCampi();
    QLayout *filtri = creaFiltri();
    creaGriglia();
    QLayout *riepilogo = creaRiepilogo();
    auto *colonna = new QVBoxLayout(this);
    colonna->addLayout(filtri);
    colonna->addWidget(griglia_);
    colonna->addLayout(riepilogo);
}

void Operazioni_frm::creaCampi()
{
    operazione_ = new QComboBox(this);
    operazione_->setObjectName(QStringLiteral("Combo2"));
    operazione_->addItems({QStringLiteral("Entrata"), QStringLiteral("Uscita")});
    operazione_->setPlaceholderText(INVITO_OPERAZIONE);
    operazione_->setCurrentIndex(-1);
    tipo_ = new QComboBox(this);
    tipo_->setObjectName(QStringLiteral("Combo1"));
    tipo_->setMinimumWidth(200);
    riempiSelettoreTipi(tipo_, CaricaTipi().value_or(QStringList()));
    giorno_ = new QLineEdit(this);
    giorno_->setObjectName(QStringLiteral("Text1"));
    giorno_->setMaxLength(10);
    giorno_->setPlaceholderText(QStringLiteral("GG/MM/AAAA"));
    giorno_->setFixedWidth(
        giorno_->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12);
}

QLayout *Operazioni_frm::creaFiltri()
{
    auto *aggiorna =
        nuovoPulsante(this, QStringLiteral("Aggiorna"), QStringLiteral("Command1"));
    auto *cancella =
        nuovoPulsante(this, QStringLiteral("Cancella"), QStringLiteral("Command2"));
    auto *stampa = nuovoPulsante(this, QStringLiteral("Stampa"), QStringLiteral("Command3"));
    connect(aggiorna, &QPushButton::clicked, this, &Operazioni_frm::aggiorna);
    connect(cancella, &QPushButton::clicked, this, &Operazioni_frm::cancella);
    connect(stampa, &QPushButton::clicked, this, &Operazioni_frm::stampa);
    connect(giorno_, &QLineEdit::returnPressed, this, &Operazioni_frm::aggiorna);

    auto *filtri = new QHBoxLayout;
    filtri->addWidget(
        nuovaEtichetta(this, QStringLiteral("Tipo operazione:"), QString(), operazione_));
    filtri->addWidget(operazione_);
    filtri->addSpacing(12);
    filtri->addWidget(nuovaEtichetta(this, QStringLiteral("Tipo:"), QString(), tipo_));
    filtri->addWidget(tipo_);
    filtri->addSpacing(12);
    filtri->addWidget(nuovaEtichetta(this, QStringLiteral("Data:"), QString(), giorno_));
    filtri->addWidget(giorno_);
    filtri->addStretch();
    filtri->addWidget(aggiorna);
    filtri->addWidget(cancella);
    filtri->addWidget(stampa);
    return filtri;
}

void Operazioni_frm::creaGriglia()
{
    modello_ = new ModelloOperazioni(this);
    griglia_ = creaVistaGriglia(modello_, this);
    // Starting widths in blanks, never narrower than the heading or than a
    // typical cell.
    const QFontMetrics metriche = griglia_->fontMetrics();
    const int spazio = metriche.horizontalAdvance(u' ');
    const int larghezze[NumeroColonne] = {8, 19, 69, 50, 26, 26, 12};
    const QString esempi[NumeroColonne] = {
        QStringLiteral("0000000"), QStringLiteral("00/00/0000"), QString(), QString(),
        QStringLiteral("00.000.000"), QStringLiteral("00.000.000"), QStringLiteral("-00000")};
    int totale = 2 * griglia_->frameWidth() + griglia_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < NumeroColonne; ++c) {
        const QString intestazione = modello_->headerData(c, Qt::Horizontal).toString();
        const int larghezza = std::max({larghezze[c] * spazio,
                                        metriche.horizontalAdvance(intestazione) + 16,
                                        metriche.horizontalAdvance(esempi[c]) + 12});
        griglia_->setColumnWidth(c, larghezza);
        totale += larghezza;
    }
    // Opens with every column in view.
    griglia_->setMinimumSize(totale, 320);
}

QLayout *Operazioni_frm::creaRiepilogo()
{
    elementi_ = valore(this, QStringLiteral("Label1"));
    totaleVendite_ = valore(this, QStringLiteral("Label2"));
    totaleAcquisti_ = valore(this, QStringLiteral("Label8"));
    auto *riepilogo = new QHBoxLayout;
    riepilogo->addWidget(nuovaEtichetta(this, QStringLiteral("Elementi"), QString(), elementi_));
    riepilogo->addWidget(elementi_);
    riepilogo->addStretch();
    riepilogo->addWidget(
        nuovaEtichetta(this, QStringLiteral("Totale vendita"), QString(), totaleVendite_));
    riepilogo->addWidget(totaleVendite_);
    riepilogo->addSpacing(12);
    riepilogo->addWidget(
        nuovaEtichetta(this, QStringLiteral("Totale acquisti"), QString(), totaleAcquisti_));
    riepilogo->addWidget(totaleAcquisti_);
    return riepilogo;
}

void Operazioni_frm::aggiorna()
{
    const QString codiceTipo = tipoScelto(tipo_);
    QDate giorno;
    if (!giorno_->text().isEmpty()) {
        const std::optional<QDate> data = leggiGiornoFiltro(giorno_->text());
        if (!data) {
            mostraMessaggio(this, MESSAGGIO_DATA_NON_CORRETTA);
            return;
        }
        giorno = *data;
    }
    if (operazione_->currentIndex() < 0)
        mostraMessaggio(this, QStringLiteral("Attenzione, specificare il tipo di operazione"));
    else
        elenca(qint16(operazione_->currentIndex() + 1), codiceTipo, giorno, giorno);
    // Every type again at the next "Aggiorna" unless one is chosen anew.
    azzeraSelettoreTipi(tipo_);
}

void Operazioni_frm::elenca(qint16 operazione, const QString &codiceTipo, const QDate &dal,
                            const QDate &al)
{
    // The old list goes first: a long one need not be held twice.
    modello_->svuota();
    if (!lettore_->inCorso())
        etichette_ = {elementi_->text(), totaleVendite_->text(), totaleAcquisti_->text()};
    for (QLabel *etichetta : {elementi_, totaleVendite_, totaleAcquisti_})
        etichetta->clear();
    lettore_->avvia([this, operazione, codiceTipo, dal, al](Consegna &c) {
        const SegnalatoreDelThread rapporti(
            [&c](const RapportoZona &rapporto) { c.consegna([rapporto] { segnala(rapporto); }); });
        const ElencoOperazioni fine =
            VisualizzaOperazioni(operazione, codiceTipo, dal, al, [this, &c](ElencoOperazioni &parte) {
                c.consegna([this, righe = std::move(parte.righe), tipi = parte.codiciTipo] {
                    mostraParte(righe, tipi);
                });
                return !c.superata();
            });
        // After a report, the rows read since the last batch too.
        c.consegna([this, fine] {
            mostraParte(fine.righe, fine.codiciTipo);
            concludi(fine);
        });
    });
}

bool Operazioni_frm::attendiElenco()
{
    lettore_->attendi();
    return completo_;
}

void Operazioni_frm::mostraParte(const QList<RigaOperazione> &righe,
                                 const QHash<qint32, QString> &codiciTipo)
{
    const bool prima = modello_->righeElencate() == 0;
    modello_->aggiungi(righe, codiciTipo);
    if (prima && modello_->righeElencate() > 0)
        mostraPrimeRighe(griglia_, Codice);
}

void Operazioni_frm::concludi(const ElencoOperazioni &fine)
{
    completo_ = fine.completo;
    mostraFineElenco(griglia_, Codice);
    // After a report the labels keep what the last complete list said.
    if (fine.completo) {
        sommaVendite_ = fine.totaleVendite;
        sommaAcquisti_ = fine.totaleAcquisti;
        mostraTotali();
    } else {
        elementi_->setText(etichette_.value(0));
        totaleVendite_->setText(etichette_.value(1));
        totaleAcquisti_->setText(etichette_.value(2));
    }
}

void Operazioni_frm::cancella()
{
    const int riga = indiceCorrente(griglia_);
    const std::optional<RigaOperazione> movimento = modello_->riga(riga);
    const qint64 id = movimento ? movimento->id : 0;
    const QString codice = movimento ? movimento->codice : QString();
    const QString domanda = QStringLiteral("Si sta tentando di cancellare il prodotto:\n") + codice
        + QStringLiteral("\nIl magazzino e le altre registrazioni non vengono modificati."
                         "\nContinuare?");
    const bool si = chiediConferma(this, domanda, QMessageBox::No);
    if (!si || !movimento)
        return;
    // The whole list first, so that the totals it ends with lose the row too.
    lettore_->attendi();
    const std::optional<RigaOperazione> cancellato = modello_->riga(riga);
    if (!cancellato || cancellato->id != id)
        return;
    if (!CancellaOperazione(id))
        return;
    modello_->rimuovi(riga);
    // The labels follow the list. Each product fitted when the list was
    // read, and so does the sum without it.
    sommaVendite_ -= cancellato->prezzoVendita * cancellato->pezzi;
    sommaAcquisti_ -= cancellato->prezzoAcquisto * cancellato->pezzi;
    mostraTotali();
}

void Operazioni_frm::mostraTotali()
{
    elementi_->setText(QString::number(modello_->righeElencate()));
    totaleVendite_->setText(formatoNumero(sommaVendite_, MODELLO_DENARO));
    totaleAcquisti_->setText(formatoNumero(sommaAcquisti_, MODELLO_DENARO));
}

void Operazioni_frm::stampa()
{
    // Never a partial list.
    lettore_->attendi();
    const auto riga = [this](qsizetype i) { return *modello_->riga(int(i)); };
    stampaEAvvisa(this,
                  elencoOperazioni(modello_->righeElencate(), riga, modello_->codiciTipo(), sommaVendite_,
                                   sommaAcquisti_),
                  generalitaDaStampare());
}
