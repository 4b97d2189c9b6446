#include "reports/VisGrafico_frm.h"

#include "common/formati.h"
#include "reports/statistiche.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <array>

namespace {

constexpr int TWIP = GraficoStatistiche::TWIP_PER_PIXEL;

QRect inPixel(int sinistra, int alto, int larghezza, int altezza)
{
    return QRect(sinistra / TWIP, alto / TWIP, larghezza / TWIP, altezza / TWIP);
}

const QRect PANNELLO_LEGENDA{180, 5100, 9135, 1095};
constexpr int LATO_QUADRATINO = 135;
constexpr int SINISTRA_QUADRATINI = 1620;
constexpr int ALTI_DIDASCALIE[3] = {5280, 5580, 5880};
constexpr int ALTI_VALORI[3] = {5220, 5520, 5820};
const QColor COLORI_LEGENDA[3] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 128, 0)};

const char *const NOMI_MESI[12] = {"Gennaio", "Febbraio", "Marzo",     "Aprile",
                                   "Maggio",  "Giugno",   "Luglio",    "Agosto",
                                   "Settembre", "Ottobre", "Novembre", "Dicembre"};

using Legenda = std::array<const char *, 3>;

constexpr Legenda LEGENDA_INIZIALE{"Valore spese:", "Valore vendite:", "Valore guadagno:"};
constexpr Legenda LEGENDA_VALORI{"Totale Spese:", "Totale vendite:", "Tot. Guadagno:"};
constexpr Legenda LEGENDA_CONTEGGI{"Num. acquisti:", "Num. vendite:", "Differenza:"};

void scriviLegenda(QLabel *const (&didascalie)[3], const Legenda &legenda)
{
    for (int i = 0; i < 3; ++i)
        didascalie[i]->setText(QString::fromUtf8(legenda[i]));
}

} // namespace

VisGrafico_frm::VisGrafico_frm(QWidget *genitore)
    : QWidget(genitore)
{
    setObjectName(QStringLiteral("VisGrafico_frm"));
    setWindowTitle(QStringLiteral("Statistiche"));
    setFixedSize(9495 / TWIP, 6315 / TWIP);

    // Month names in Arial, sized so that "Settembre" fits its label.
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(9);
    for (int k = 0; k < 12; ++k) {
        QLabel *mese = new QLabel(QString::fromLatin1(NOMI_MESI[k]), this);
        mese->setObjectName(QStringLiteral("Mese_lbl_%1").arg(k));
        mese->setFont(arial);
        mese->setGeometry(inPixel(480 + 720 * k, 4800, 615, 195));
        mese->setMouseTracking(true);
        mese->installEventFilter(this);
        mesi_[k] = mese;
    }

    // The legend too in Arial, small enough for "Valore guadagno:" to end
    // before its square.
    QFont legenda(QStringLiteral("Arial"));
    legenda.setPixelSize(11);
    for (int i = 0; i < 3; ++i) {
        didascalie_[i] = new QLabel(this);
        didascalie_[i]->setFont(legenda);
        didascalie_[i]->setObjectName(QStringLiteral("Label%1").arg(6 + 2 * i));
        didascalie_[i]->setGeometry(inPixel(300, ALTI_DIDASCALIE[i], SINISTRA_QUADRATINI - 300, 225));
        valori_[i] = new QLabel(this);
        valori_[i]->setFont(legenda);
        valori_[i]->setObjectName(QStringLiteral("Label%1").arg(7 + 2 * i));
        valori_[i]->setGeometry(inPixel(1740, ALTI_VALORI[i], 2400, 285));
        valori_[i]->setIndent(4);
    }
    scriviLegenda(didascalie_, LEGENDA_INIZIALE);

    QLabel *etichettaAnno = new QLabel(QStringLiteral("Anno:"), this);
    etichettaAnno->setObjectName(QStringLiteral("Label2"));
    etichettaAnno->setGeometry(inPixel(6840, 5730, 555, 225));
    anno_ = new QLineEdit(this);
    anno_->setObjectName(QStringLiteral("Text1"));
    anno_->setMaxLength(4);
    anno_->setGeometry(inPixel(7440, 5700, 750, 300));
    anno_->setText(dataOggi().mid(6, 4));

    QPushButton *aggiorna = new QPushButton(QStringLiteral("Aggiorna"), this);
    aggiorna->setObjectName(QStringLiteral("Command1"));
    aggiorna->setGeometry(inPixel(8295, 5655, 915, 390));
    connect(aggiorna, &QPushButton::clicked, this,
            [this] { calcolaStatistiche(ModoStatistiche); });
}

void VisGrafico_frm::calcolaStatistiche(int modo)
{
    const std::optional<SlotMensili> slot = CalcolaStatistiche(modo, annoScelto(anno_->text()));
    // After a report the chart shows nothing rather than another year's figures.
    SlotStatistiche = slot.value_or(SlotMensili{});
    if (!slot)
        return;
    if (modo == 1 || modo == 2)
        scriviLegenda(didascalie_, modo == 1 ? LEGENDA_VALORI : LEGENDA_CONTEGGI);
    grafico_.aggiorna(SlotStatistiche);
    update();
}

void VisGrafico_frm::mostraMese(int mese)
{
    const qint64 acquisti = SlotStatistiche.acquisti[mese];
    const qint64 vendite = SlotStatistiche.vendite[mese];
    valori_[0]->setText(formatoNumero(acquisti, MODELLO_DENARO));
    valori_[1]->setText(formatoNumero(vendite, MODELLO_DENARO));
    valori_[2]->setText(formatoNumero(vendite - acquisti, MODELLO_DENARO));
}

bool VisGrafico_frm::eventFilter(QObject *oggetto, QEvent *evento)
{
    if (evento->type() == QEvent::MouseMove || evento->type() == QEvent::Enter) {
        for (int k = 0; k < 12; ++k) {
            if (oggetto == mesi_[k])
                mostraMese(k);
        }
    }
    return QWidget::eventFilter(oggetto, evento);
}

void VisGrafico_frm::paintEvent(QPaintEvent *)
{
    QPainter pittore(this);
    pittore.scale(1.0 / TWIP, 1.0 / TWIP);
    grafico_.disegna(pittore);

    pittore.setPen(QPen(Qt::black, TWIP));
    pittore.setBrush(Qt::NoBrush);
    pittore.drawRect(PANNELLO_LEGENDA);
    for (int i = 0; i < 3; ++i) {
        pittore.setPen(Qt::NoPen);
        pittore.setBrush(COLORI_LEGENDA[i]);
        // Centred on its caption's line.
        pittore.drawRect(SINISTRA_QUADRATINI, ALTI_DIDASCALIE[i] + 30, LATO_QUADRATINO,
                         LATO_QUADRATINO);
    }
}
