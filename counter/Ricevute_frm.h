#pragma once

#include "common/griglia.h"
#include "data/database_routines.h"

#include <QWidget>

class Lettore;
class QLineEdit;
class QTableView;

// The receipts register: lists the receipts of one day or all of them (the
// first as soon as they are read), deletes one, prints the list with its
// count and sum.
class Ricevute_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit Ricevute_frm(QWidget *genitore = nullptr);

private:
    void aggiorna();
    void cancella();
    void stampa();
    void mostra(QList<RigaRicevuta> righe);
    void concludi(bool riuscito);

    QLineEdit *filtro_ = nullptr;
    QTableView *griglia_ = nullptr;
    ModelloRighe<RigaRicevuta> *modello_ = nullptr;
    Lettore *lettore_ = nullptr;
};
