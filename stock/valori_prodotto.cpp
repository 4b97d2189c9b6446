#include "stock/valori_prodotto.h"

#include "common/formati.h"

#include <cmath>
#include <limits>

namespace {

bool soloCifre(const QString &testo)
{
    for (QChar c : testo) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !testo.isEmpty();
}

// The digits of the number a text starts with, read as leggiNumeroIniziale
// reads it: blanks anywhere skipped, a sign, digits with one point.
struct CifreIniziali
{
    bool vuoto = true;    // nothing but blanks
    bool cifre = false;   // at least one digit
    bool nonZero = false; // a digit other than 0
};

CifreIniziali cifreIniziali(QStringView testo)
{
    CifreIniziali esito;
    bool inizio = true;
    bool punto = false;
    for (QChar c : testo) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        esito.vuoto = false;
        if (inizio && (c == u'-' || c == u'+')) {
            inizio = false;
            continue;
        }
        inizio = false;
        if (c == u'.' && !punto) {
            punto = true;
        } else if (c >= u'0' && c <= u'9') {
            esito.cifre = true;
            esito.nonZero = esito.nonZero || c != u'0';
        } else {
            break;
        }
    }
    return esito;
}

} // namespace

QString riformattaPrezzo(QStringView testo)
{
    if (testo.isEmpty())
        return QString();
    QString senzaPunti = testo.toString();
    senzaPunti.remove(u'.');
    // Digits are read exactly; only a pasted decimal goes through a double.
    if (soloCifre(senzaPunti)) {
        bool ok = false;
        const qint64 valore = senzaPunti.toLongLong(&ok);
        return ok ? formatoNumero(valore, MODELLO_DENARO) : testo.toString();
    }
    const std::optional<double> valore = leggiNumeroDigitato(senzaPunti);
    if (!valore || std::fabs(*valore) >= 9.0e18)
        return testo.toString();
    return formatoNumero(qint64(std::trunc(*valore)), MODELLO_DENARO);
}

std::optional<qint32> leggiPrezzo(QStringView testo)
{
    const std::optional<double> valore = leggiNumeroDigitato(testo);
    if (!valore || *valore != std::trunc(*valore) || *valore < 0
        || *valore > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*valore);
}

std::optional<qint16> leggiPezzi(QStringView testo)
{
    // Letters alone would read as 0 pieces and record a movement of nothing.
    const CifreIniziali iniziali = cifreIniziali(testo);
    if (!iniziali.cifre)
        return iniziali.vuoto ? std::optional<qint16>(0) : std::nullopt;
    const double letto = leggiNumeroIniziale(testo);
    // Digits beyond what a double holds read as 0 there.
    if (letto == 0 && iniziali.nonZero)
        return std::nullopt;
    const double pezzi = arrotondaPari(letto);
    if (pezzi < std::numeric_limits<qint16>::min() || pezzi > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(pezzi);
}

std::optional<qint16> leggiPezziCarrello(QStringView testo)
{
    if (!cifreIniziali(testo).cifre)
        return qint16(0);
    return leggiPezzi(testo);
}

bool pezziInCifre(QStringView testo)
{
    const CifreIniziali iniziali = cifreIniziali(testo);
    return iniziali.vuoto || iniziali.cifre;
}

int cifrePrima(QStringView testo, int posizione)
{
    int cifre = 0;
    for (QChar c : testo.first(qBound(0, posizione, int(testo.size())))) {
        if (c >= u'0' && c <= u'9')
            ++cifre;
    }
    return cifre;
}

int posizioneTraCifre(QStringView testo, int cifrePrima)
{
    int posizione = 0;
    for (int cifre = 0; posizione < testo.size() && cifre < cifrePrima; ++posizione) {
        if (testo[posizione] >= u'0' && testo[posizione] <= u'9')
            ++cifre;
    }
    return posizione;
}
