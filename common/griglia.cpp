#include "common/griglia.h"

ModelloGriglia::ModelloGriglia(const QStringList &intestazioni, QObject *genitore)
    : QAbstractTableModel(genitore)
    , intestazioni_(intestazioni)
{
    righe_.append(QStringList());
}

void ModelloGriglia::impostaRighe(QList<QStringList> righe)
{
    beginResetModel();
    righe_ = std::move(righe);
    righe_.append(QStringList());
    endResetModel();
}

QString ModelloGriglia::cella(int riga, int colonna) const
{
    if (riga < 0 || riga >= righe_.size())
        return QString();
    return righe_[riga].value(colonna);
}

bool ModelloGriglia::rimuoviRiga(int riga)
{
    // The empty last row stays.
    if (riga < 0 || riga >= righe_.size() - 1)
        return false;
    beginRemoveRows(QModelIndex(), riga, riga);
    righe_.removeAt(riga);
    endRemoveRows();
    return true;
}

int ModelloGriglia::rowCount(const QModelIndex &genitore) const
{
    return genitore.isValid() ? 0 : int(righe_.size());
}

int ModelloGriglia::columnCount(const QModelIndex &genitore) const
{
    return genitore.isValid() ? 0 : int(intestazioni_.size());
}

QVariant ModelloGriglia::data(const QModelIndex &indice, int ruolo) const
{
    if (!indice.isValid() || (ruolo != Qt::DisplayRole && ruolo != Qt::EditRole))
        return QVariant();
    return cella(indice.row(), indice.column());
}

QVariant ModelloGriglia::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (ruolo != Qt::DisplayRole)
        return QVariant();
    if (orientamento == Qt::Horizontal)
        return intestazioni_.value(sezione);
    return QVariant();
}
