#include "stock/VisTipi_frm.h"

#include "common/elementi.h"
#include "common/formati.h"
#include "common/griglia.h"
#include "common/messaggi.h"
#include "data/database_routines.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

VisTipi_frm::VisTipi_frm(QWidget *genitore)
    : QWidget(genitore)
{
    setObjectName(QStringLiteral("VisTipi_frm"));
    setWindowTitle(QStringLiteral("Visualizzazione Tipi"));

    auto *etichetta = new QLabel(QStringLiteral("Descrizione Tipo:"), this);
    etichetta->setObjectName(QStringLiteral("Label1"));
    descrizione_ = new QLineEdit(this);
    descrizione_->setObjectName(QStringLiteral("Text1"));
    etichetta->setBuddy(descrizione_);

    auto *pulsanteAggiungi = nuovoPulsante(this, QStringLiteral("Aggiungi"), QStringLiteral("Command3"));
    auto *pulsanteCancella = nuovoPulsante(this, QStringLiteral("Cancella"), QStringLiteral("Command2"));
    auto *pulsanteAggiorna = nuovoPulsante(this, QStringLiteral("Aggiorna"), QStringLiteral("Command1"));
    connect(pulsanteAggiungi, &QPushButton::clicked, this, &VisTipi_frm::aggiungi);
    connect(pulsanteCancella, &QPushButton::clicked, this, &VisTipi_frm::cancella);
    connect(pulsanteAggiorna, &QPushButton::clicked, this, &VisTipi_frm::aggiorna);
    // Opened to add a type: the description takes the keys first (the focus
    // follows the order of creation), Enter adds it; the list comes last.
    connect(descrizione_, &QLineEdit::returnPressed, this, &VisTipi_frm::aggiungi);

    modello_ = new ModelloRighe<RigaTipo>(
        {QStringLiteral("ID"), QStringLiteral("Descrizione")},
        [](const RigaTipo &tipo, int colonna) {
            return colonna == 0 ? testoNumero(qint64(tipo.id)) : tipo.codice;
        },
        this);
    griglia_ = creaVistaGriglia(modello_, this);
    griglia_->setColumnWidth(0, 60);
    griglia_->setMinimumSize(340, 240);

    auto *nuovo = new QHBoxLayout;
    nuovo->addWidget(etichetta);
    nuovo->addWidget(descrizione_, 1);
    auto *pulsanti = new QHBoxLayout;
    pulsanti->addWidget(pulsanteAggiungi);
    pulsanti->addWidget(pulsanteCancella);
    pulsanti->addWidget(pulsanteAggiorna);
    auto *colonna = new QVBoxLayout(this);
    colonna->addWidget(griglia_, 1);
    colonna->addLayout(nuovo);
    colonna->addLayout(pulsanti);

    aggiorna();
}

void VisTipi_frm::aggiorna()
{
    modello_->imposta(VisualizzaTipi().value_or(QList<RigaTipo>()));
}

void VisTipi_frm::aggiungi()
{
    const std::optional<QString> descrizione = codicePulito(descrizione_->text());
    QString avviso;
    if (!descrizione)
        avviso = QStringLiteral("La descrizione del tipo non può contenere a capo, tabulazioni o"
                                " altri caratteri di controllo.");
    else if (descrizione->isEmpty())
        avviso = QStringLiteral("Scrivere la descrizione del tipo.");
    if (!avviso.isEmpty()) {
        mostraMessaggio(this, avviso);
        descrizione_->setFocus();
        return;
    }
    const EsitoAggiungiTipo esito = AggiungiTipo(*descrizione);
    if (esito.stato == EsitoAggiungiTipo::Stato::Esistente) {
        mostraMessaggio(this, QStringLiteral("Il tipo %1 esiste già.").arg(*descrizione));
        descrizione_->setFocus();
        descrizione_->selectAll();
        return;
    }
    // After a report the list has not changed, and reading it again would
    // only report the same fault twice.
    if (!esito)
        return;
    descrizione_->clear();
    aggiorna();
}

void VisTipi_frm::closeEvent(QCloseEvent *evento)
{
    if (!descrizione_->text().trimmed().isEmpty()
        && !chiediConferma(this, QStringLiteral("Chiudere senza salvare?"), QMessageBox::No)) {
        evento->ignore();
        return;
    }
    QWidget::closeEvent(evento);
}

void VisTipi_frm::cancella()
{
    const int riga = griglia_->currentIndex().row();
    const RigaTipo *tipo = modello_->riga(riga);
    // The empty last row, or no row at all: there is nothing to delete.
    if (!tipo)
        return;
    const qint32 id = tipo->id;
    const QString codice = tipo->codice;
    if (!chiediConferma(this, QStringLiteral("Si sta tentando di cancellare il tipo:\n%1\nContinuare?")
                                  .arg(codice),
                        QMessageBox::No))
        return;
    const EsitoCancellaTipo esito = CancellaTipo(id);
    if (esito.stato == EsitoCancellaTipo::Stato::InUso) {
        mostraMessaggio(this, QStringLiteral("Il tipo %1 non può essere cancellato: è usato da %2"
                                             " in magazzino o nel carrello.")
                                  .arg(codice, esito.articoli == 1
                                           ? QStringLiteral("un articolo")
                                           : formatoNumero(esito.articoli, MODELLO_CONTEGGIO)
                                               + QStringLiteral(" articoli")));
        return;
    }
    if (esito.stato == EsitoCancellaTipo::Stato::Cancellato)
        modello_->rimuovi(riga);
}
