#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class ModelloGriglia;
class QComboBox;
class QLabel;
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

    // Lists the movements of the days from dal to al (dd/MM/yyyy, both
    // empty for every day) with their count and totals; "Aggiorna" lists
    // one day or every day.
    bool elenca(qint16 operazione, const QString &codiceTipo, const QString &dal,
                const QString &al);

private:
    void aggiorna();
    void cancella();
    void stampa();
    int rigaCorrente() const;

    QComboBox *operazione_ = nullptr;
    QComboBox *tipo_ = nullptr;
    QLineEdit *giorno_ = nullptr;
    QTableView *griglia_ = nullptr;
    ModelloGriglia *modello_ = nullptr;
    QLabel *elementi_ = nullptr;
    QLabel *totaleVendite_ = nullptr;
    QLabel *totaleAcquisti_ = nullptr;
};
