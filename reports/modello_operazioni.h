#pragma once

#include "common/griglia.h"
#include "data/database_routines.h"

#include <QHash>
#include <QList>

#include <optional>

// The register's grid. A list of every movement of a large shop holds
// millions of rows: each is kept in 24 bytes, its article code as an index
// into the codes of the list, where the routine's rows take 64. A row that
// does not fit (a value beyond 32 bits, a day outside 1900-2079 or none, a
// type id beyond 16 bits) is kept whole apart.
class ModelloOperazioni final : public ModelloGriglia
{
public:
    explicit ModelloOperazioni(QObject *genitore = nullptr);

    // The rows of a new list come with every type's code by id.
    void svuota();
    void aggiungi(const QList<RigaOperazione> &righe, const QHash<qint32, QString> &codiciTipo);
    // The listed row; none for the empty last row and outside the grid.
    std::optional<RigaOperazione> riga(int indice) const;
    void rimuovi(int indice);
    int righeElencate() const override { return int(righe_.size()); }
    const QHash<qint32, QString> &codiciTipo() const { return codiciTipo_; }

protected:
    QString cella(int indice, int colonna) const override;

private:
    struct Compatta
    {
        qint32 id;
        qint32 prezzoAcquisto;
        qint32 prezzoVendita;
        qint32 pezzi;
        qint32 codice; // in codici_, or -1 - the row's place in intere_
        quint16 giorno; // days from 1 January 1900
        quint16 tipo;
    };
    QList<Compatta> righe_;
    QList<RigaOperazione> intere_;
    QList<QString> codici_;
    // A code's place in codici_ by its text's address: the routine gives
    // every row of one article the same shared text.
    QHash<const QChar *, qint32> posti_;
    QHash<qint32, QString> codiciTipo_;
};
