#include "common/griglia.h"

#include "common/formati.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <limits>

namespace {

// Cannot be typed or pasted into a field as text: safe inside any cell.
constexpr QChar SEPARATORE_CELLE = QChar(0x1F);

} // namespace

ModelloGriglia::ModelloGriglia(const QStringList &intestazioni, QObject *genitore)
    : QAbstractTableModel(genitore)
    , intestazioni_(intestazioni)
{
    righe_.append(QString());
}

QString ModelloGriglia::unisci(std::initializer_list<QStringView> celle)
{
    // Written straight into one buffer: long lists join every row they show.
    qsizetype lunghezza = celle.size() > 0 ? qsizetype(celle.size()) - 1 : 0;
    for (QStringView cella : celle)
        lunghezza += cella.size();
    QString riga(lunghezza, Qt::Uninitialized);
    QChar *scrivi = riga.data();
    bool prima = true;
    for (QStringView cella : celle) {
        if (!prima)
            *scrivi++ = SEPARATORE_CELLE;
        std::copy(cella.begin(), cella.end(), scrivi);
        scrivi += cella.size();
        prima = false;
    }
    return riga;
}

void ModelloGriglia::imposta(const QList<QStringList> &righe)
{
    QList<QString> unite;
    unite.reserve(righe.size() + 1);
    for (const QStringList &celle : righe)
        unite.append(celle.join(SEPARATORE_CELLE));
    impostaUnite(std::move(unite));
}

void ModelloGriglia::impostaUnite(QList<QString> righe)
{
    beginResetModel();
    righe_ = std::move(righe);
    righe_.append(QString());
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

void ModelloGriglia::impostaTesto(int riga, int colonna, const QString &testo)
{
    if (riga < 0 || riga >= righeElencate() || colonna < 0 || colonna >= intestazioni_.size())
        return;
    QStringList celle = righe_[riga].split(SEPARATORE_CELLE);
    while (celle.size() <= colonna)
        celle.append(QString());
    celle[colonna] = testo;
    righe_[riga] = celle.join(SEPARATORE_CELLE);
    emit dataChanged(index(riga, colonna), index(riga, colonna));
}

QString ModelloGriglia::testo(int riga, int colonna) const
{
    if (riga < 0 || riga >= righe_.size() || colonna < 0)
        return QString();
    const QString &unita = righe_[riga];
    qsizetype inizio = 0;
    for (int c = 0; c < colonna; ++c) {
        inizio = unita.indexOf(SEPARATORE_CELLE, inizio);
        if (inizio < 0)
            return QString();
        ++inizio;
    }
    qsizetype fine = unita.indexOf(SEPARATORE_CELLE, inizio);
    if (fine < 0)
        fine = unita.size();
    return unita.mid(inizio, fine - inizio);
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

QTableView *creaVistaGriglia(ModelloGriglia *modello, QWidget *genitore)
{
    auto *vista = new QTableView(genitore);
    vista->setObjectName(QStringLiteral("MSFlexGrid1"));
    vista->setModel(modello);
    vista->setSelectionBehavior(QAbstractItemView::SelectRows);
    vista->setSelectionMode(QAbstractItemView::SingleSelection);
    vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vista->verticalHeader()->hide();
    vista->verticalHeader()->setDefaultSectionSize(vista->fontMetrics().height() + 6);
    vista->horizontalHeader()->setHighlightSections(false);
    vista->horizontalHeader()->setStretchLastSection(true);
    vista->setAlternatingRowColors(true);
    return vista;
}
