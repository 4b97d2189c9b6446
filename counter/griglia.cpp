#include "counter/griglia.h"

#include "common/formati.h"

#include <limits>

ModelloGriglia::ModelloGriglia(const QStringList &intestazioni, QObject *genitore)
    : QAbstractTableModel(genitore)
    , intestazioni_(intestazioni)
{
    righe_.append(QStringList());
}

void ModelloGriglia::imposta(QList<QStringList> righe)
{
    beginResetModel();
    righe_ = std::move(righe);
    righe_.append(QStringList());
    endResetModel();
}

void ModelloGriglia::rimuovi(int riga)
{
    if (riga < 0 || riga >= righeElencate())
        return;
    beginRemoveRows(QModelIndex(), riga, riga);
    righe_.removeAt(riga);
    endRemoveRows();
}

QString ModelloGriglia::testo(int riga, int colonna) const
{
    if (riga < 0 || riga >= righe_.size())
        return QString();
    const QStringList &celle = righe_[riga];
    return colonna >= 0 && colonna < celle.size() ? celle[colonna] : QString();
}

void ModelloGriglia::allineaADestra(int colonna)
{
    aDestra_.append(colonna);
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

qint64 numeroDaCella(const QString &testo)
{
    return leggiIntero(testo, std::numeric_limits<qint64>::min() / 2,
                       std::numeric_limits<qint64>::max() / 2)
        .value_or(0);
}
