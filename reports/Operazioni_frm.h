#pragma once

#include <QList>
#include <QStringList>
#include "data/database_routines.h"

#include <QDate>
#include <QHash>
#include <QWidget>

class Lettore;
class ModelloOperazioni;
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
    // day): the first rows as soon as they are read, the rest as it comes,
    // the count and totals at the end. "Aggiorna" lists one day or every day.
    void elenca(qint16 operazione, const QString &codiceTipo, const QDate &dal, const QDate &al);
    // Waits for the list in course; false when it ended in a report.
    bool attendiElenco();

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
    void mostraParte(const QList<RigaOperazione> &righe, const QHash<qint32, QString> &codiciTipo);
    void concludi(const ElencoOperazioni &fine);

    QComboBox *operazione_ = nullptr;
    QComboBox *tipo_ = nullptr;
    QLineEdit *giorno_ = nullptr;
    QTableView *griglia_ = nullptr;
    ModelloOperazioni *modello_ = nullptr;
    QLabel *elementi_ = nullptr;
    QLabel *totaleVendite_ = nullptr;
    QLabel *totaleAcquisti_ = nullptr;
    // The totals the labels show, as of the last complete list.
    qint64 sommaVendite_ = 0;
    qint64 sommaAcquisti_ = 0;
    Lettore *lettore_ = nullptr;
    bool completo_ = false;
    // The labels' texts before the list in course, shown again if it ends
    // in a report.
    QStringList etichette_;
};
