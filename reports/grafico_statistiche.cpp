#include "reports/grafico_statistiche.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double PRIMA_X = 660;
constexpr double PASSO_SERIE = 120;
constexpr double PASSO_MESE = 720;

double xBarra(int mese, int serie)
{
    return PRIMA_X + PASSO_SERIE * serie + PASSO_MESE * mese;
}

} // namespace

GraficoStatistiche::GraficoStatistiche()
{
    for (int mese = 0; mese < 12; ++mese) {
        for (int serie = Acquisti; serie <= Differenza; ++serie) {
            const QPointF base(xBarra(mese, serie), BASE_Y);
            barre_[mese][serie] = {base, base, colore(Serie(serie))};
        }
    }
}

QColor GraficoStatistiche::colore(Serie serie)
{
    switch (serie) {
    case Acquisti:
        return QColor(192, 0, 0);
    case Vendite:
        return QColor(0, 0, 192);
    case Differenza:
        break;
    }
    return QColor(255, 128, 0);
}

QColor GraficoStatistiche::coloreDifferenzaNegativa()
{
    return QColor(128, 0, 128);
}

void GraficoStatistiche::aggiorna(const SlotMensili &slot)
{
    const qint64 massimo = std::max(*std::max_element(slot.acquisti.begin(), slot.acquisti.end()),
                                    *std::max_element(slot.vendite.begin(), slot.vendite.end()));
    *this = GraficoStatistiche();
    scala_ = massimo < 1 ? 1 : massimo;

    // In double, so no slot is too large to draw.
    const double unitaScala = double(scala_) / 1000;
    auto cima = [unitaScala](double x, double valore) {
        const double y = BASE_Y - valore * 4 / unitaScala;
        return QPointF(x, double(float(y)));
    };

    for (int mese = 0; mese < 12; ++mese) {
        const double acquisti = double(slot.acquisti[mese]);
        const double vendite = double(slot.vendite[mese]);
        std::array<Barra, 3> &barre = barre_[mese];
        barre[Acquisti].cima = cima(barre[Acquisti].base.x(), acquisti);
        barre[Vendite].cima = cima(barre[Vendite].base.x(), vendite);
        if (slot.vendite[mese] < slot.acquisti[mese])
            barre[Differenza].colore = coloreDifferenzaNegativa();
        barre[Differenza].cima = cima(barre[Differenza].base.x(), std::abs(vendite - acquisti));
    }
}

void GraficoStatistiche::disegna(QPainter &pittore) const
{
    pittore.save();
    pittore.setRenderHint(QPainter::Antialiasing);
    pittore.setPen(QPen(Qt::black, TWIP_PER_PIXEL));
    pittore.setBrush(Qt::white);
    pittore.drawRect(SFONDO);
    for (const std::array<Barra, 3> &mese : barre_) {
        for (const Barra &barra : mese) {
            // Round ends, so a collapsed bar still shows as a dot at its base.
            pittore.setPen(QPen(barra.colore, SPESSORE_PIXEL * TWIP_PER_PIXEL, Qt::SolidLine,
                                Qt::RoundCap));
            pittore.drawLine(barra.base, barra.cima);
        }
    }
    pittore.restore();
}
