#pragma once

#include <QList>
#include <QStringList>
#include "common/griglia.h"
#include "data/database_routines.h"

#include <QDate>
#include <QHash>
#include <QWidget>

class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QTableView;

// The operations register: lists the purchases or the sales, narrowed to a
// type and a day, with their count and totals; deletes one movement; prints
// the list.
class Operazioni_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit Operazioni_frm(QWidget *genitore = nullptr);

    // Lists the movements of the days from dal to al (both invalid for every
    // day) with their count and totals; "Aggiorna" lists one day or every day.
    bool elenca(qint16 operazione, const QString &codiceTipo, const QDate &dal, const QDate &al);

private:
    // The constructor's parts: the filter fields; their row with the
    // commands; the grid; the count and totals row.
    void creaCampi();
    QLayout *creaFiltri();
    void creaGriglia();
    QLayout *creaRiepilogo();
    void aggiorna();
    void cancella();
    void stampa();
    void mostraTotali();

    QComboBox *operazione_ = nullptr;
    QComboBox *tipo_ = nullptr;
    QLineEdit *giorno_ = nullptr;
    QTableView *griglia_ = nullptr;
    ModelloRighe<RigaOperazione> *modello_ = nullptr;
    QHash<qint32, QString> codiciTipo_;
    QLabel *elementi_ = nullptr;
    QLabel *totaleVendite_ = nullptr;
    QLabel *totaleAcquisti_ = nullptr;
    // The totals the labels show, as of the last complete list.
    qint64 sommaVendite_ = 0;
    qint64 sommaAcquisti_ = 0;
};
