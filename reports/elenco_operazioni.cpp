#include "reports/elenco_operazioni.h"

QString rigaElencoOperazioni(const QStringList &celle)
{
    const auto cella = [&celle](int i) { return i < celle.size() ? celle[i] : QString(); };
    return cella(1) + QStringLiteral("   ") + campoFisso(cella(2), 30, 35)
        + campoFisso(cella(3), 30, 15) + campoFisso(cella(4), 10, 13)
        + campoFisso(cella(5), 10, 13) + cella(6);
}

QString piedeElencoOperazioni(qsizetype elementi, const QString &totaleVendite,
                              const QString &totaleAcquisti)
{
    return QStringLiteral("Elementi: ") + QString::number(elementi)
        + QStringLiteral("      Totale Vendite: ") + totaleVendite
        + QStringLiteral("      Totale Acquisti: ") + totaleAcquisti;
}

Elenco elencoOperazioni(const QList<QStringList> &righe, const QString &totaleVendite,
                        const QString &totaleAcquisti)
{
    Elenco elenco;
    elenco.documento = QStringLiteral("Elenco operazioni");
    elenco.seconda = SecondaRiga::ElencoOperazioni;
    elenco.intestazione = INTESTAZIONE_ELENCO_OPERAZIONI;
    elenco.righe.reserve(righe.size());
    for (const QStringList &celle : righe)
        elenco.righe.append(rigaElencoOperazioni(celle));
    elenco.piede = piedeElencoOperazioni(righe.size(), totaleVendite, totaleAcquisti);
    return elenco;
}
