#pragma once

#include "common/griglia.h"
#include "data/database_routines.h"

#include <QWidget>

class Lettore;
class QComboBox;
class QLayout;
class QLineEdit;
class QTableView;

// The stock on hand of one type at a time, or of every type whose code holds
// the text in TrovaCodice: changes a sale price, deletes a stock row, and
// puts pieces into the cart on a double-click, or on Enter after a code that
// names one article (as a scanner types it).
class AggCarrello_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit AggCarrello_frm(QWidget *genitore = nullptr);

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    // The constructor's parts: the type and search row; the grid; the
    // commands' row, with the order of Tab; the keys and the grid's signals.
    QLayout *creaScelta();
    void creaGriglia();
    QLayout *creaComandi();
    void collegaTasti();
    void caricaTipi();
    void mostraTipo(const QString &codiceTipo);
    void mostra(QList<RigaRimanenza> righe);
    void trova(const QString &testo);
    void codiceLetto();
    void modifica();
    void cancella();
    void aggiungiACarrello();

    QComboBox *tipo_ = nullptr;
    ModelloRighe<RigaRimanenza> *modello_ = nullptr;
    QString codiceTipo_; // the type listed, shown on every row
    QLineEdit *trova_ = nullptr;
    bool ricerca_ = false; // rows of every type, each showing its own
    QTableView *griglia_ = nullptr;
    Lettore *lettore_ = nullptr; // a type's rows
};
