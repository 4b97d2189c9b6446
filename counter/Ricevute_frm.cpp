#include "counter/Ricevute_frm.h"

#include "common/elementi.h"
#include "common/formati.h"
#include "common/messaggi.h"
#include "common/filtro_giorno.h"
#include "common/griglia.h"
#include "common/lettore.h"
#include "counter/tracciato.h"
#include "data/database_routines.h"
#include "data/rapporto.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

enum Colonna { Data = 0, Numero = 1, Totale = 2 };

} // namespace

Ricevute_frm::Ricevute_frm(QWidget *genitore)
    : QWidget(genitore)
{
    setObjectName(QStringLiteral("Ricevute_frm"));
    setWindowTitle(QStringLiteral("Visualizzazione Ricevute"));
    lettore_ = new Lettore(this);

    auto *etichetta = new QLabel(QStringLiteral("Ricerca per giorno:"), this);
    etichetta->setObjectName(QStringLiteral("Label1"));
    filtro_ = new QLineEdit(this);
    filtro_->setObjectName(QStringLiteral("Text1"));
    filtro_->setPlaceholderText(QStringLiteral("GG/MM/AAAA"));
    filtro_->setFixedWidth(110);
    etichetta->setBuddy(filtro_);
    auto *aggiorna =
        nuovoPulsante(this, QStringLiteral("Aggiorna"), QStringLiteral("Command1"));
    auto *cancella =
        nuovoPulsante(this, QStringLiteral("Cancella"), QStringLiteral("Command2"));
    auto *stampa = nuovoPulsante(this, QStringLiteral("Stampa"), QStringLiteral("Command3"));
    connect(aggiorna, &QPushButton::clicked, this, &Ricevute_frm::aggiorna);
    connect(cancella, &QPushButton::clicked, this, &Ricevute_frm::cancella);
    connect(stampa, &QPushButton::clicked, this, &Ricevute_frm::stampa);
    connect(filtro_, &QLineEdit::returnPressed, this, &Ricevute_frm::aggiorna);

    modello_ = new ModelloRighe<RigaRicevuta>({QStringLiteral("Data"),
                                               QStringLiteral("n. Ricevuta"),
                                               QStringLiteral("Totale")},
                                              cellaRicevuta, this);
    modello_->allineaADestra(Numero);
    modello_->allineaADestra(Totale);
    griglia_ = creaVistaGriglia(modello_, this);
    griglia_->setColumnWidth(Data, 110);
    griglia_->setColumnWidth(Numero, 110);
    griglia_->setMinimumSize(420, 320);

    auto *comandi = new QHBoxLayout;
    comandi->addWidget(etichetta);
    comandi->addWidget(filtro_);
    comandi->addStretch();
    comandi->addWidget(aggiorna);
    comandi->addWidget(cancella);
    comandi->addWidget(stampa);
    auto *colonna = new QVBoxLayout(this);
    colonna->addLayout(comandi);
    colonna->addWidget(griglia_);
}

void Ricevute_frm::aggiorna()
{
    QDate giorno;
    if (!filtro_->text().isEmpty()) {
        const std::optional<QDate> data = leggiGiornoFiltro(filtro_->text());
        if (!data) {
            mostraMessaggio(this, MESSAGGIO_DATA_NON_CORRETTA);
            return;
        }
        giorno = *data;
    }
    modello_->imposta({});
    lettore_->avvia([this, giorno](Consegna &c) {
        const SegnalatoreDelThread rapporti(
            [&c](const RapportoZona &rapporto) { c.consegna([rapporto] { segnala(rapporto); }); });
        const bool riuscito = VisualizzaRicevute(giorno, [this, &c](QList<RigaRicevuta> &righe) {
                                  c.consegna([this, righe = std::move(righe)] { mostra(righe); });
                                  return !c.superata();
                              }).has_value();
        c.consegna([this, riuscito] { concludi(riuscito); });
    });
}

void Ricevute_frm::mostra(QList<RigaRicevuta> righe)
{
    const bool prime = modello_->righeElencate() == 0;
    modello_->aggiungi(std::move(righe));
    if (prime)
        mostraPrimeRighe(griglia_, Numero);
}

void Ricevute_frm::concludi(bool riuscito)
{
    // After a report the list is empty, as when nothing could be read.
    if (!riuscito)
        modello_->imposta({});
    mostraFineElenco(griglia_, Numero);
}

void Ricevute_frm::cancella()
{
    const auto [riga, ricevuta] = rigaScelta(griglia_, *modello_);
    const qint64 numero = ricevuta ? ricevuta->codice : 0;
    const bool si = chiediConferma(this, QStringLiteral("Si sta tentando di cancellare la ricevuta n.:\n")
                                             + modello_->testo(riga, Numero)
                                             + QStringLiteral("\nIl magazzino e le altre"
                                                              " registrazioni non vengono"
                                                              " modificati.\nContinuare?"),
                                    QMessageBox::No);
    if (!si || !ricevuta)
        return;
    // Once the list is whole: the row may be gone with a report meanwhile.
    lettore_->attendi();
    if (const RigaRicevuta *scelta = modello_->riga(riga); !scelta || scelta->codice != numero)
        return;
    if (CancellaRicevuta(numero))
        modello_->rimuovi(riga);
}

void Ricevute_frm::stampa()
{
    // Never a partial list.
    lettore_->attendi();
    Elenco elenco;
    elenco.documento = QStringLiteral("Elenco ricevute");
    elenco.seconda = SecondaRiga::ElencoRicevute;
    elenco.intestazione = INTESTAZIONE_ELENCO_RICEVUTE;
    qint64 somma = 0;
    for (const RigaRicevuta &ricevuta : modello_->righe()) {
        const std::optional<qint64> nuova = sommaImporti(somma, ricevuta.totale);
        if (!nuova) {
            mostraMessaggio(this, QStringLiteral("La somma dei totali supera il numero più grande"
                                                 " che si possa stampare.\nNulla è stato stampato."));
            return;
        }
        somma = *nuova;
        elenco.righe.append(rigaElencoRicevute(ricevuta));
    }
    elenco.piede = piedeElencoRicevute(modello_->righeElencate(), somma);
    stampaEAvvisa(this, elenco, generalitaDaStampare());
}
