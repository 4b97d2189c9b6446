#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <initializer_list>

class QTableView;
class QWidget;

// A grid's cells as display strings: the heading row is the horizontal
// header, the listed rows follow and one empty row always closes the list.
// Each row keeps its cells joined in one text, so a list of hundreds of
// thousands of rows costs one allocation a row.
class ModelloGriglia final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ModelloGriglia(const QStringList &intestazioni, QObject *genitore = nullptr);

    // Replaces every row in one pass; the empty last row is added here.
    void imposta(const QList<QStringList> &righe);
    // The same, for rows already joined with unisci().
    void impostaUnite(QList<QString> righe);
    static QString unisci(std::initializer_list<QStringView> celle);
    // Removes a listed row; the empty last row stays.
    void rimuovi(int riga);
    // Rewrites one cell of a listed row.
    void impostaTesto(int riga, int colonna, const QString &testo);
    // The cell's text, empty outside the grid.
    QString testo(int riga, int colonna) const;
    // Rows listed, the empty last row excluded.
    int righeElencate() const { return int(righe_.size()) - 1; }
    void allineaADestra(int colonna);

    int rowCount(const QModelIndex &genitore = QModelIndex()) const override;
    int columnCount(const QModelIndex &genitore = QModelIndex()) const override;
    QVariant data(const QModelIndex &indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento,
                        int ruolo = Qt::DisplayRole) const override;

private:
    QStringList intestazioni_;
    QList<QString> righe_;
    QList<int> aDestra_;
};

// A whole number read back from a cell as the grid shows it ("1.234"); an
// empty cell, which is how the money pattern shows 0, reads as 0, and so does
// a text that is not a number.
qint64 numeroDaCella(const QString &testo);

// The view every window shows a grid in: named MSFlexGrid1, whole rows
// selected, read-only, no row numbers.
QTableView *creaVistaGriglia(ModelloGriglia *modello, QWidget *genitore);
