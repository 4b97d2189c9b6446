#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <functional>
#include <utility>

class QTableView;
class QWidget;

// A grid: the heading row is the horizontal header, the listed rows follow
// and one empty row always closes the list. A cell's text is made only when
// a view asks for it.
class ModelloGriglia : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ModelloGriglia(const QStringList &intestazioni, QObject *genitore = nullptr);

    // Rows listed, the empty last row excluded.
    virtual int righeElencate() const = 0;
    // The cell's text as shown; empty for the last row and outside the grid.
    QString testo(int riga, int colonna) const;
    void allineaADestra(int colonna);

    int rowCount(const QModelIndex &genitore = QModelIndex()) const override;
    int columnCount(const QModelIndex &genitore = QModelIndex()) const override;
    QVariant data(const QModelIndex &indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento,
                        int ruolo = Qt::DisplayRole) const override;

protected:
    // Only for a listed row and a column of the grid.
    virtual QString cella(int riga, int colonna) const = 0;

private:
    QStringList intestazioni_;
    QList<int> aDestra_;
};

// A grid over the rows a routine returned, kept typed; formato turns a row
// and a column into the cell's text. What a command sells, deletes or prints
// it takes from riga(), never from a cell's text.
template <typename Riga>
class ModelloRighe final : public ModelloGriglia
{
public:
    using Formato = std::function<QString(const Riga &, int colonna)>;

    ModelloRighe(const QStringList &intestazioni, Formato formato, QObject *genitore = nullptr)
        : ModelloGriglia(intestazioni, genitore)
        , formato_(std::move(formato))
    {
    }

    void imposta(QList<Riga> righe)
    {
        beginResetModel();
        righe_ = std::move(righe);
        endResetModel();
    }
    // Rows read after the first ones: appended above the empty last row,
    // the view left where it stands.
    void aggiungi(QList<Riga> &&altre)
    {
        if (altre.isEmpty())
            return;
        const int da = int(righe_.size());
        beginInsertRows(QModelIndex(), da, da + int(altre.size()) - 1);
        if (righe_.isEmpty())
            righe_ = std::move(altre);
        else
            righe_.append(std::move(altre));
        endInsertRows();
    }
    const QList<Riga> &righe() const { return righe_; }
    // The listed row, or null for the empty last row and outside the grid.
    const Riga *riga(int indice) const
    {
        return indice >= 0 && indice < righe_.size() ? &righe_[indice] : nullptr;
    }
    void rimuovi(int indice)
    {
        if (!riga(indice))
            return;
        beginRemoveRows(QModelIndex(), indice, indice);
        righe_.removeAt(indice);
        endRemoveRows();
    }
    void sostituisci(int indice, Riga nuova)
    {
        if (!riga(indice))
            return;
        righe_[indice] = std::move(nuova);
        emit dataChanged(index(indice, 0), index(indice, columnCount() - 1));
    }
    int righeElencate() const override { return int(righe_.size()); }

protected:
    QString cella(int indice, int colonna) const override
    {
        return formato_(righe_[indice], colonna);
    }

private:
    Formato formato_;
    QList<Riga> righe_;
};

// The view every window shows a grid in: named MSFlexGrid1, whole rows
// selected, read-only, no row numbers.
QTableView *creaVistaGriglia(ModelloGriglia *modello, QWidget *genitore);

// The view stands on the last listed row, or on the empty one when none is
// listed, in sight: where a grid filled row by row was left.
void vaiAllUltimaRiga(QTableView *vista, int colonna = 0);

// A list shown while it is read: with its first rows the view stands on the
// first one; at its end the view goes where a list read whole was left
// (vaiAllUltimaRiga), unless the user has moved since.
void mostraPrimeRighe(QTableView *vista, int colonna = 0);
void mostraFineElenco(QTableView *vista, int colonna = 0);

// The row a view stands on: its index (-1 for none) and the listed row,
// null on the empty last row.
template <typename Riga>
struct RigaScelta
{
    int indice;
    const Riga *riga;
};
int indiceCorrente(const QTableView *vista);
template <typename Riga>
RigaScelta<Riga> rigaScelta(const QTableView *vista, const ModelloRighe<Riga> &modello)
{
    const int indice = indiceCorrente(vista);
    return {indice, modello.riga(indice)};
}
