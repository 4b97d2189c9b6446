#include "common/formati.h"
#include "data/database_routines.h"
#include "data/dialetto.h"
#include "data/routine.h"

#include <QDate>

namespace {

// The month (0 to 11) of a stored day, or -1 when the text is not a real
// day written yyyy-MM-dd.
int meseDelGiorno(const QString &iso)
{
    static const QString forma = QStringLiteral("yyyy-MM-dd");
    if (iso.size() != 10)
        return -1;
    const QDate giorno = QDate::fromString(iso, forma);
    if (!giorno.isValid() || giorno.toString(forma) != iso)
        return -1;
    return giorno.month() - 1;
}

void aggiungi(qint64 &totale, qint64 valore)
{
    totale = importo(sommaImporti(totale, valore));
}

} // namespace

std::optional<SlotMensili> CalcolaStatistiche(int modo, int anno)
{
    SlotMensili letto;
    const bool riuscito = eseguiRoutine(Zona::CalcolaStatistiche, [&](Sessione &s) {
        // Every day of the year sorts between "yyyy-" and "yyyy." ('.' follows
        // '-'), so the date index serves the range and delivers the rows
        // already grouped by day; the few distinct days are checked here.
        // Other modes and impossible years run over an empty range, so an
        // unreadable file is still reported.
        QString da;
        QString a;
        if ((modo == 1 || modo == 2) && anno >= 1 && anno <= 9999) {
            da = QStringLiteral("%1-").arg(anno, 4, 10, QLatin1Char('0'));
            a = QStringLiteral("%1.").arg(anno, 4, 10, QLatin1Char('0'));
        }
        const Dialetto &d = s.dialetto();
        Righe q = s.esegui(
            QStringLiteral("SELECT dataop, %1, %2, %3, %4 FROM prodotto WHERE dataop >= ? AND dataop < ?"
                           " GROUP BY dataop")
                .arg(d.conta(QStringLiteral("operazione = 1")),
                     d.somma(QStringLiteral("CASE WHEN operazione = 1 THEN prezzoacquisto ELSE 0 END")),
                     d.conta(QStringLiteral("operazione = 2")),
                     d.somma(QStringLiteral("CASE WHEN operazione = 2 THEN prezzovendita ELSE 0 END"))),
            {da, a});
        while (Sessione::prossima(q)) {
            const int mese = meseDelGiorno(colonnaTesto(q, 0));
            if (mese < 0)
                continue;
            const int colonna = modo == 1 ? 2 : 1;
            aggiungi(letto.acquisti[mese], colonnaIntero(q, colonna));
            aggiungi(letto.vendite[mese], colonnaIntero(q, colonna + 2));
        }
    });
    if (!riuscito)
        return std::nullopt;
    return letto;
}
