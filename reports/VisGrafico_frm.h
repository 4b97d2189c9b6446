#pragma once

#include "reports/grafico_statistiche.h"

#include <QWidget>

class QLabel;
class QLineEdit;

// "Statistiche": the monthly bar chart of one year's purchases, sales and
// their difference, as sums of prices or as counts of movements.
class VisGrafico_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit VisGrafico_frm(QWidget *genitore = nullptr);

    // Computes the year in the year field in a mode (1 values, 2 counts) into
    // the program-wide slots, then sets the legend and redraws the bars. After
    // a report the legend and the bars stay as they were.
    void calcolaStatistiche(int modo);

    const GraficoStatistiche &grafico() const { return grafico_; }

protected:
    void paintEvent(QPaintEvent *evento) override;
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    void mostraMese(int mese);

    GraficoStatistiche grafico_;
    QLabel *mesi_[12] = {};
    QLabel *didascalie_[3] = {};
    QLabel *valori_[3] = {};
    QLineEdit *anno_ = nullptr;
};
