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
    const double pezzi = arrotondaPari(leggiNumeroIniziale(testo));
    if (pezzi < std::numeric_limits<qint16>::min() || pezzi > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(pezzi);
}
