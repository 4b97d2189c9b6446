#pragma once

#include "common/griglia.h"
#include "data/database_routines.h"

#include <QWidget>

class QLineEdit;
class QTableView;

// The receipts register: lists the receipts of one day or all of them,
// deletes one, prints the list with its count and sum.
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

    QLineEdit *filtro_ = nullptr;
    QTableView *griglia_ = nullptr;
    ModelloRighe<RigaRicevuta> *modello_ = nullptr;
};
