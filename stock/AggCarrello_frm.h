#pragma once

#include "common/griglia.h"
#include "data/database_routines.h"

#include <QWidget>

class QComboBox;
class QTableView;

// The stock on hand of one type at a time: changes a sale price, deletes a
// stock row, and puts pieces into the cart on a double-click.
class AggCarrello_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit AggCarrello_frm(QWidget *genitore = nullptr);

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    void caricaTipi();
    void mostraTipo(const QString &codiceTipo);
    void modifica();
    void cancella();
    void aggiungiACarrello();
    int rigaCorrente() const;
    // The code of the current row; empty on the empty last row.
    QString codiceCorrente() const;

    QComboBox *tipo_ = nullptr;
    ModelloRighe<RigaRimanenza> *modello_ = nullptr;
    QString codiceTipo_; // the type listed, shown on every row
    QTableView *griglia_ = nullptr;
};
