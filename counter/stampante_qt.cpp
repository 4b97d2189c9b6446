#include "counter/stampante_qt.h"

#include <QDateTime>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

const QMarginsF MARGINI_MM(15, 12, 15, 12);

void impostaPagina(QPrinter &stampante)
{
    stampante.setPageSize(QPageSize(QPageSize::A4));
    stampante.setPageOrientation(QPageLayout::Landscape);
    stampante.setPageMargins(MARGINI_MM, QPageLayout::Millimeter);
}

// Characters a file name must not hold on any common file system.
QString nomeSicuro(QString nome)
{
    for (QChar &c : nome) {
        if (QStringView(u"\\/:*?\"<>|").contains(c) || c.unicode() < 32)
            c = u'_';
    }
    return nome.trimmed().isEmpty() ? QStringLiteral("Stampa") : nome.trimmed();
}

} // namespace

StampanteQt::StampanteQt(const QString &documento, const QString &cartella,
                         Destinazione destinazione)
    : documento_(documento)
    , cartella_(cartella)
    , destinazione_(destinazione)
{
    carattere_.setStyleHint(QFont::TypeWriter);
    carattere_.setKerning(false);
}

void StampanteQt::impostaCarattere(const QString &nome)
{
    carattere_.setFamily(nome);
}

void StampanteQt::impostaDimensione(int punti)
{
    carattere_.setPointSize(punti);
}

void StampanteQt::impostaGrassetto(bool attivo)
{
    carattere_.setBold(attivo);
}

void StampanteQt::stampaRiga(const QString &riga)
{
    righe_.append({carattere_, riga});
}

QString StampanteQt::riservaFilePdf(const QString &cartella, const QString &documento)
{
    const QString base = nomeSicuro(documento) + QLatin1Char(' ')
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    const QDir dir(cartella);
    for (int n = 1; n < 1000; ++n) {
        const QString nome = n == 1 ? base + QStringLiteral(".pdf")
                                    : QStringLiteral("%1 (%2).pdf").arg(base).arg(n);
        QFile file(dir.filePath(nome));
        // NewOnly fails when the name is taken, so no file is ever replaced.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!file.exists())
            return QString();
    }
    return QString();
}

bool StampanteQt::disegna(QPrinter &stampante) const
{
    impostaPagina(stampante);
    stampante.setDocName(documento_);
    QPainter pittore;
    if (!pittore.begin(&stampante))
        return false;
    const qreal altezzaPagina =
        stampante.pageLayout().paintRectPixels(stampante.resolution()).height();
    qreal y = 0;
    for (const Riga &riga : righe_) {
        // The spacing of the regular face, so a bold line does not shift the rest.
        QFont regolare = riga.carattere;
        regolare.setBold(false);
        const QFontMetricsF metrica(regolare, &stampante);
        if (y > 0 && y + metrica.height() > altezzaPagina) {
            if (!stampante.newPage())
                return false;
            y = 0;
        }
        pittore.setFont(riga.carattere);
        pittore.drawText(QPointF(0, y + metrica.ascent()), riga.testo);
        y += metrica.lineSpacing();
    }
    if (!pittore.end())
        return false;
    return stampante.printerState() != QPrinter::Error
        && stampante.printerState() != QPrinter::Aborted;
}

EsitoStampa StampanteQt::fineDocumento()
{
    EsitoStampa esito;
    esito.modo = EsitoStampa::Modo::SalvataSenzaStampante;
    if (destinazione_ == Destinazione::Predefinita) {
        const QPrinterInfo predefinita = QPrinterInfo::defaultPrinter();
        if (!predefinita.isNull()) {
            QPrinter stampante(predefinita, QPrinter::HighResolution);
            if (disegna(stampante))
                return {EsitoStampa::Modo::Stampata, QString()};
            esito.modo = EsitoStampa::Modo::SalvataDopoErrore;
        }
    }
    esito.file = riservaFilePdf(cartella_, documento_);
    if (esito.file.isEmpty()) {
        esito.file = QDir(cartella_).filePath(nomeSicuro(documento_) + QStringLiteral(".pdf"));
        esito.modo = EsitoStampa::Modo::Fallita;
        return esito;
    }
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(esito.file);
    if (!disegna(pdf)) {
        QFile::remove(esito.file);
        esito.modo = EsitoStampa::Modo::Fallita;
    }
    return esito;
}
