#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// A grid's cells as display strings. The heading row is the horizontal
// header; the grid always keeps one empty last row, a real row of empty
// cells after the rows given.
class ModelloGriglia final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ModelloGriglia(const QStringList &intestazioni, QObject *genitore = nullptr);

    // Replaces every row in one pass.
    void impostaRighe(QList<QStringList> righe);
    QString cella(int riga, int colonna) const;
    // Removes one row given; false for the empty last row or beyond.
    bool rimuoviRiga(int riga);

    int rowCount(const QModelIndex &genitore = QModelIndex()) const override;
    int columnCount(const QModelIndex &genitore = QModelIndex()) const override;
    QVariant data(const QModelIndex &indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento,
                        int ruolo = Qt::DisplayRole) const override;

private:
    QStringList intestazioni_;
    QList<QStringList> righe_;
};
