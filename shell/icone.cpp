#include "shell/icone.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int LATO = 20;

void disegnaCarrello(QPainter &p)
{
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    p.drawPolyline(QPolygonF({QPointF(1, 3), QPointF(4, 3), QPointF(6.5, 13), QPointF(16, 13),
                              QPointF(18, 6), QPointF(5, 6)}));
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(8, 16.5), 1.6, 1.6);
    p.drawEllipse(QPointF(15, 16.5), 1.6, 1.6);
}

void disegnaPiu(QPainter &p, QPointF centro)
{
    p.setPen(QPen(QColor(0, 140, 0), 2.4));
    p.drawLine(centro + QPointF(-3.5, 0), centro + QPointF(3.5, 0));
    p.drawLine(centro + QPointF(0, -3.5), centro + QPointF(0, 3.5));
}

void disegnaRighe(QPainter &p, qreal sinistra, qreal destra, qreal primo, int quante)
{
    p.setPen(QPen(QColor(70, 70, 120), 1.2));
    for (int i = 0; i < quante; ++i)
        p.drawLine(QPointF(sinistra, primo + 3 * i), QPointF(destra, primo + 3 * i));
}

QPixmap tela()
{
    QPixmap pixmap(LATO, LATO);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QIcon iconaProgramma()
{
    QIcon icona;
    for (int lato : {16, 32, 64}) {
        QPixmap pixmap(lato, lato);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(lato / 32.0, lato / 32.0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(25, 90, 160));
        p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
        p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(8, 8), QPointF(16, 25), QPointF(24, 8)}));
        icona.addPixmap(pixmap);
    }
    return icona;
}

QIcon iconaStrumento(Pittogramma quale)
{
    QPixmap pixmap = tela();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (quale) {
    case Pittogramma::Prodotto:
        p.setPen(QPen(QColor(120, 80, 30), 1.2));
        p.setBrush(QColor(225, 180, 110));
        p.drawRect(QRectF(1.5, 6.5, 12, 11));
        p.drawLine(QPointF(1.5, 10), QPointF(13.5, 10));
        disegnaPiu(p, QPointF(15.5, 5));
        break;
    case Pittogramma::Operazioni:
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 15, 17));
        disegnaRighe(p, 5, 15, 5, 5);
        break;
    case Pittogramma::Ricevute: {
        QPainterPath carta;
        carta.moveTo(4, 1.5);
        carta.lineTo(16, 1.5);
        carta.lineTo(16, 18.5);
        for (int i = 0; i < 4; ++i) {
            carta.lineTo(14.5 - 3 * i, 17);
            carta.lineTo(13 - 3 * i, 18.5);
        }
        carta.closeSubpath();
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(255, 252, 225));
        p.drawPath(carta);
        disegnaRighe(p, 6.5, 13.5, 5, 3);
        p.setPen(QPen(QColor(160, 0, 0), 1.4));
        p.drawLine(QPointF(9, 14.5), QPointF(13.5, 14.5));
        break;
    }
    case Pittogramma::AggiungiCarrello:
        disegnaCarrello(p);
        disegnaPiu(p, QPointF(11, 4));
        break;
    case Pittogramma::Carrello:
        disegnaCarrello(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(25, 90, 160));
        p.drawRect(QRectF(7, 8, 8, 4));
        break;
    case Pittogramma::Azienda:
        p.setPen(QPen(QColor(25, 90, 160), 1.2));
        p.setBrush(QColor(225, 235, 250));
        p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
        p.setPen(QPen(QColor(25, 90, 160), 2.2));
        p.drawLine(QPointF(10, 8.5), QPointF(10, 15));
        p.drawPoint(QPointF(10, 5.5));
        break;
    }
    return QIcon(pixmap);
}
