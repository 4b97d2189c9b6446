#include "common/griglia.h"

#include <QHeaderView>
#include <QTableView>

ModelloGriglia::ModelloGriglia(const QStringList &intestazioni, QObject *genitore)
    : QAbstractTableModel(genitore)
    , intestazioni_(intestazioni)
{
}

QString ModelloGriglia::testo(int riga, int colonna) const
{
    if (riga < 0 || riga >= righeElencate() || colonna < 0 || colonna >= intestazioni_.size())
        return QString();
    return cella(riga, colonna);
}

void ModelloGriglia::allineaADestra(int colonna)
{
    aDestra_.append(colonna);
}

int ModelloGriglia::rowCount(const QModelIndex &genitore) const
{
    return genitore.isValid() ? 0 : righeElencate() + 1;
}

int ModelloGriglia::columnCount(const QModelIndex &genitore) const
{
    return genitore.isValid() ? 0 : int(intestazioni_.size());
}

QVariant ModelloGriglia::data(const QModelIndex &indice, int ruolo) const
{
    if (!indice.isValid())
        return QVariant();
    if (ruolo == Qt::DisplayRole)
        return testo(indice.row(), indice.column());
    if (ruolo == Qt::TextAlignmentRole && aDestra_.contains(indice.column()))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant ModelloGriglia::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (ruolo != Qt::DisplayRole)
        return QVariant();
    if (orientamento == Qt::Horizontal)
        return sezione >= 0 && sezione < intestazioni_.size() ? intestazioni_[sezione] : QString();
    return QVariant();
}

QTableView *creaVistaGriglia(ModelloGriglia *modello, QWidget *genitore)
{
    auto *vista = new QTableView(genitore);
    vista->setObjectName(QStringLiteral("MSFlexGrid1"));
    vista->setModel(modello);
    vista->setSelectionBehavior(QAbstractItemView::SelectRows);
    vista->setSelectionMode(QAbstractItemView::SingleSelection);
    vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next element; the arrows move in it.
    vista->setTabKeyNavigation(false);
    vista->verticalHeader()->hide();
    vista->verticalHeader()->setDefaultSectionSize(vista->fontMetrics().height() + 6);
    vista->horizontalHeader()->setHighlightSections(false);
    vista->horizontalHeader()->setStretchLastSection(true);
    vista->setAlternatingRowColors(true);
    return vista;
}

void vaiAllUltimaRiga(QTableView *vista, int colonna)
{
    const auto *modello = static_cast<const ModelloGriglia *>(vista->model());
    vista->setCurrentIndex(modello->index(qMax(0, modello->righeElencate() - 1), colonna));
    vista->scrollTo(vista->currentIndex());
}

namespace {

const char *const PRIMA_RIGA = "vorendiPrimaRiga";

} // namespace

void mostraPrimeRighe(QTableView *vista, int colonna)
{
    vista->setCurrentIndex(vista->model()->index(0, colonna));
    vista->setProperty(PRIMA_RIGA, QVariant::fromValue(QPersistentModelIndex(vista->currentIndex())));
}

void mostraFineElenco(QTableView *vista, int colonna)
{
    const auto prima = vista->property(PRIMA_RIGA).value<QPersistentModelIndex>();
    vista->setProperty(PRIMA_RIGA, QVariant());
    if (!prima.isValid() || vista->currentIndex() == prima)
        vaiAllUltimaRiga(vista, colonna);
}

int indiceCorrente(const QTableView *vista)
{
    return vista->currentIndex().row();
}
