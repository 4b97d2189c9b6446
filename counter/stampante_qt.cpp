#include "counter/stampante_qt.h"

#include "common/file_durevole.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QMarginsF MARGINI_MM(15, 12, 15, 12);
constexpr int RISOLUZIONE = 1200;

// Characters a file name must not hold on any common file system.
QString nomeSicuro(QString nome)
{
    for (QChar &c : nome) {
        if (QStringView(u"\\/:*?\"<>|").contains(c) || c.unicode() < 32)
            c = u'_';
    }
    return nome.trimmed().isEmpty() ? QStringLiteral("Stampa") : nome.trimmed();
}

constexpr int TENTATIVI_NOME = 1000;

QString nomeCandidato(const QDir &dir, const QString &base, int n)
{
    return dir.filePath(n == 1 ? base + QStringLiteral(".pdf")
                               : QStringLiteral("%1 (%2).pdf").arg(base).arg(n));
}

// What and when: "Ricevuta 12 2024-03-05 10.11.12".
QString nomeBase(const QString &documento)
{
    return nomeSicuro(documento) + QLatin1Char(' ')
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
}

// The name a file that could not be written would have had, for the message.
QString primoNomeLibero(const QDir &dir, const QString &base)
{
    QString nome = nomeCandidato(dir, base, 1);
    for (int n = 2; n <= TENTATIVI_NOME && QFileInfo::exists(nome); ++n)
        nome = nomeCandidato(dir, base, n);
    return nome;
}

// Gives the written file the first free name: collega fails with EEXIST on
// a taken name and never replaces it. The name survives a power cut only
// once the folder is synced.
template<typename Collega>
bool pubblica(const QDir &dir, const QString &base, QString *nome, Collega collega)
{
    for (int n = 1; n <= TENTATIVI_NOME; ++n) {
        const QString candidato = nomeCandidato(dir, base, n);
        if (collega(QFile::encodeName(candidato)) == 0) {
            *nome = candidato;
            if (sincronizzaCartellaDi(candidato))
                return true;
            QFile::remove(candidato);
            return false;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// The file is written unnamed (O_TMPFILE) and linked under its name at the
// end, so a kill on the way leaves nothing in the folder.
bool salvaSenzaNome(int fd, const QDir &dir, const QString &base, const QByteArray &dati,
                    QString *nome)
{
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    const bool fatto = scriviTutto(fd, dati) && pubblica(dir, base, nome, [&](const QByteArray &p) {
        return ::linkat(AT_FDCWD, proc.constData(), AT_FDCWD, p.constData(), AT_SYMLINK_FOLLOW);
    });
    if (::close(fd) != 0 && fatto) {
        QFile::remove(*nome);
        return false;
    }
    return fatto;
}

// For file systems without O_TMPFILE: a hidden temporary file, renamed
// without replacing anything. Only a kill can leave it behind.
bool salvaConNomeProvvisorio(const QDir &dir, const QString &base, const QByteArray &dati,
                             QString *nome)
{
    QByteArray provvisorio =
        QFile::encodeName(dir.filePath(u'.' + base + QStringLiteral(".XXXXXX")));
    const int fd = ::mkostemp(provvisorio.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool scritto = scriviTutto(fd, dati);
    const bool fatto = (::close(fd) == 0) && scritto
        && pubblica(dir, base, nome, [&](const QByteArray &p) {
               return ::renameat2(AT_FDCWD, provvisorio.constData(), AT_FDCWD, p.constData(),
                                  RENAME_NOREPLACE);
           });
    if (!fatto)
        ::unlink(provvisorio.constData());
    return fatto;
}

} // namespace

StampanteQt::StampanteQt(const QString &documento, const QString &cartella,
                         Destinazione destinazione, InvioStampa invio)
    : documento_(documento)
    , cartella_(cartella)
    , destinazione_(destinazione)
    , invio_(std::move(invio))
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

bool StampanteQt::salvaPdf(const QString &cartella, const QString &documento, const QByteArray &pdf,
                           QString *nome)
{
    const QDir dir(cartella);
    const QString base = nomeBase(documento);
    const int fd = ::open(QFile::encodeName(dir.absolutePath()).constData(),
                          O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    bool fatto = false;
    if (fd >= 0)
        fatto = salvaSenzaNome(fd, dir, base, pdf, nome);
    else if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
        fatto = salvaConNomeProvvisorio(dir, base, pdf, nome);
    if (!fatto)
        *nome = primoNomeLibero(dir, base);
    return fatto;
}

bool StampanteQt::disegna(QPdfWriter &pdf) const
{
    pdf.setResolution(RISOLUZIONE);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, MARGINI_MM,
                                  QPageLayout::Millimeter));
    pdf.setTitle(documento_);
    QPainter pittore;
    if (!pittore.begin(&pdf))
        return false;
    const qreal altezzaPagina = pdf.pageLayout().paintRectPixels(pdf.resolution()).height();
    qreal y = 0;
    for (const Riga &riga : righe_) {
        // The spacing of the regular face, so a bold line does not shift the rest.
        QFont regolare = riga.carattere;
        regolare.setBold(false);
        const QFontMetricsF metrica(regolare, &pdf);
        if (y > 0 && y + metrica.height() > altezzaPagina) {
            if (!pdf.newPage())
                return false;
            y = 0;
        }
        pittore.setFont(riga.carattere);
        pittore.drawText(QPointF(0, y + metrica.ascent()), riga.testo);
        y += metrica.lineSpacing();
    }
    return pittore.end();
}

// The whole document, drawn in memory: no file exists while the pages are drawn.
QByteArray StampanteQt::pdf() const
{
    QByteArray byte;
    QBuffer memoria(&byte);
    memoria.open(QIODevice::WriteOnly);
    QPdfWriter scrittore(&memoria);
    if (!disegna(scrittore))
        return {};
    return byte;
}

EsitoStampa StampanteQt::fineDocumento()
{
    const QByteArray documento = pdf();
    EsitoStampa esito;
    esito.modo = EsitoStampa::Modo::SalvataSenzaStampante;
    if (!documento.isEmpty() && destinazione_ == Destinazione::Predefinita) {
        const EsitoInvio invio = invio_(documento_, documento);
        if (invio.stato == EsitoInvio::Stato::Accettata && invio.lavoro > 0)
            return {EsitoStampa::Modo::Stampata, {}, {}, {}};
        if (invio.stato != EsitoInvio::Stato::NessunaStampante) {
            esito.modo = EsitoStampa::Modo::SalvataDopoErrore;
            esito.motivo = motivoRifiuto(invio.coda);
            esito.dettaglio = invio.coda.testo;
        }
    }
    if (documento.isEmpty()) {
        esito.modo = EsitoStampa::Modo::Fallita;
        esito.file = primoNomeLibero(QDir(cartella_), nomeBase(documento_));
    } else if (!salvaPdf(cartella_, documento_, documento, &esito.file)) {
        esito.modo = EsitoStampa::Modo::Fallita;
    }
    return esito;
}
