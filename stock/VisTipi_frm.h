#pragma once

#include "common/griglia.h"
#include "data/database_routines.h"

#include <QWidget>

class QLineEdit;
class QTableView;

// The article types: listed by code, added, deleted.
class VisTipi_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit VisTipi_frm(QWidget *genitore = nullptr);

protected:
    void closeEvent(QCloseEvent *evento) override;

private:
    void aggiorna();
    void aggiungi();
    void cancella();

    ModelloRighe<RigaTipo> *modello_ = nullptr;
    QTableView *griglia_ = nullptr;
    QLineEdit *descrizione_ = nullptr;
};
