#pragma once

#include "common/griglia.h"
#include "data/database_routines.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;
class QTableView;

// The cart: its lines, their count and total; deletes a line; "Stampa"
// starts the checkout.
class VisCarrello_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit VisCarrello_frm(QWidget *genitore = nullptr);

    void aggiorna();

private:
    void cancella();
    void stampa();
    void mostraTotali();

    // The lines as listed, typed: what a command sells or deletes.
    ModelloRighe<RigaCarrello> *modello_ = nullptr;
    QTableView *griglia_ = nullptr;
    QLabel *elementi_ = nullptr;
    QLabel *totale_ = nullptr;
};
