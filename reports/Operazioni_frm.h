#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

struct ElencoOperazioni;
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

private:
    void aggiorna();
    void cancella();
    void stampa();
    void mostra(const ElencoOperazioni &elenco, bool totali);
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
