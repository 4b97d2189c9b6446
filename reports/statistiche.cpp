#include "reports/statistiche.h"

#include "common/formati.h"

#include <limits>

SlotMensili SlotStatistiche;
int ModoStatistiche = 0;

int annoScelto(QStringView testo)
{
    const double anno = arrotondaPari(leggiNumeroIniziale(testo));
    // Beyond int no stored day can match anyway.
    if (anno < std::numeric_limits<int>::min() || anno > std::numeric_limits<int>::max())
        return 0;
    return int(anno);
}
