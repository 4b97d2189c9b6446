#include "reports/elenco_operazioni.h"

#include "common/formati.h"

QString cellaOperazione(const RigaOperazione &riga, const QHash<qint32, QString> &tipi,
                        ColonnaOperazione colonna)
{
    switch (colonna) {
    case ColonnaOperazione::Id:
        return QString::number(riga.id);
    case ColonnaOperazione::Data:
        return testoGiorno(riga.data);
    case ColonnaOperazione::Codice:
        return riga.codice;
    case ColonnaOperazione::Tipo:
        // A deleted type leaves its id behind and shows no code.
        return tipi.value(riga.tipo);
    case ColonnaOperazione::PrezzoAcquisto:
        return formatoNumero(riga.prezzoAcquisto, MODELLO_DENARO);
    case ColonnaOperazione::PrezzoVendita:
        return formatoNumero(riga.prezzoVendita, MODELLO_DENARO);
    case ColonnaOperazione::Pezzi:
        return QString::number(riga.pezzi);
    }
    return QString();
}

QString rigaElencoOperazioni(const RigaOperazione &riga, const QHash<qint32, QString> &tipi)
{
    const auto cella = [&](ColonnaOperazione c) { return cellaOperazione(riga, tipi, c); };
    return cella(ColonnaOperazione::Data) + QStringLiteral("   ")
        + campoFisso(cella(ColonnaOperazione::Codice), 30, 35)
        + campoFisso(cella(ColonnaOperazione::Tipo), 30, 15)
        + campoFisso(cella(ColonnaOperazione::PrezzoAcquisto), 10, 13)
        + campoFisso(cella(ColonnaOperazione::PrezzoVendita), 10, 13)
        + cella(ColonnaOperazione::Pezzi);
}

QString piedeElencoOperazioni(qsizetype elementi, qint64 totaleVendite, qint64 totaleAcquisti)
{
    return QStringLiteral("Elementi: ") + QString::number(elementi)
        + QStringLiteral("      Totale Vendite: ") + formatoNumero(totaleVendite, MODELLO_DENARO)
        + QStringLiteral("      Totale Acquisti: ") + formatoNumero(totaleAcquisti, MODELLO_DENARO);
}

Elenco elencoOperazioni(qsizetype elementi, const std::function<RigaOperazione(qsizetype)> &riga,
                        const QHash<qint32, QString> &tipi, qint64 totaleVendite, qint64 totaleAcquisti)
{
    Elenco elenco;
    elenco.documento = QStringLiteral("Elenco operazioni");
    elenco.seconda = SecondaRiga::ElencoOperazioni;
    elenco.intestazione = INTESTAZIONE_ELENCO_OPERAZIONI;
    elenco.righe.reserve(elementi);
    for (qsizetype i = 0; i < elementi; ++i)
        elenco.righe.append(rigaElencoOperazioni(riga(i), tipi));
    elenco.piede = piedeElencoOperazioni(elementi, totaleVendite, totaleAcquisti);
    return elenco;
}
