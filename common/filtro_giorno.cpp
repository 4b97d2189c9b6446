#include "common/filtro_giorno.h"

#include "common/formati.h"

std::optional<QDate> leggiGiornoFiltro(QStringView testo)
{
    if (testo.size() != 10 || testo[2] != u'/' || testo[5] != u'/')
        return std::nullopt;
    const double giorno = leggiNumeroIniziale(testo.mid(0, 2));
    const double mese = leggiNumeroIniziale(testo.mid(3, 2));
    const double anno = arrotondaPari(leggiNumeroIniziale(testo.mid(6, 4)));
    if (giorno <= 0 || giorno > 31 || mese <= 0 || mese > 12 || anno <= 0)
        return std::nullopt;
    // ".5" passes the range checks as half a day, but names no day.
    const QDate data{int(anno), int(mese), int(giorno)};
    if (!data.isValid() || data.day() != giorno || data.month() != mese)
        return std::nullopt;
    return data;
}
