#pragma once

#include "data/database_routines.h"

#include <QColor>
#include <QPointF>
#include <QRect>

#include <array>

class QPainter;

// The monthly bar chart: per month a purchases, a sales and a difference bar
// rising from one base line. Coordinates are twips (15 to a screen pixel),
// y growing downwards, so the window, an image and a test share one geometry.
class GraficoStatistiche final
{
public:
    enum Serie { Acquisti, Vendite, Differenza };

    struct Barra
    {
        QPointF base;
        QPointF cima; // y held in single precision
        QColor colore;
    };

    static constexpr double BASE_Y = 4680;
    static constexpr double ALTEZZA_MASSIMA = 4000;
    static constexpr int SPESSORE_PIXEL = 5;
    static constexpr int TWIP_PER_PIXEL = 15;
    static constexpr QRect SFONDO{180, 120, 9135, 4935};

    // Every bar collapsed to its base, in its normal colour.
    GraficoStatistiche();

    // Redraws the bars from the slots: the largest slot is ALTEZZA_MASSIMA
    // high, the others in proportion; the difference bar always rises, purple
    // when sales fall short of purchases.
    void aggiorna(const SlotMensili &slot);

    const Barra &barra(int mese, Serie serie) const { return barre_[mese][serie]; }
    qint64 scala() const { return scala_; }

    static QColor colore(Serie serie);
    static QColor coloreDifferenzaNegativa();

    // Paints the background and the 36 bars; the painter's unit is the twip.
    void disegna(QPainter &pittore) const;

private:
    std::array<std::array<Barra, 3>, 12> barre_;
    qint64 scala_ = 1;
};
