#include "reports/modello_operazioni.h"

#include "reports/elenco_operazioni.h"

#include <limits>

namespace {

constexpr qint64 GIORNO_ZERO = 2415021; // 1 January 1900

template <typename Intero>
bool entra(qint64 numero)
{
    return numero >= std::numeric_limits<Intero>::min() && numero <= std::numeric_limits<Intero>::max();
}

} // namespace

ModelloOperazioni::ModelloOperazioni(QObject *genitore)
    : ModelloGriglia({QStringLiteral("ID"), QStringLiteral("Data"), QStringLiteral("Codice"),
                      QStringLiteral("Tipo"), QStringLiteral("Prezzo Acquisto"),
                      QStringLiteral("Prezzo Vendita"), QStringLiteral("n. Pezzi")},
                     genitore)
{
    for (ColonnaOperazione c : {ColonnaOperazione::Id, ColonnaOperazione::PrezzoAcquisto,
                                ColonnaOperazione::PrezzoVendita, ColonnaOperazione::Pezzi})
        allineaADestra(int(c));
}

void ModelloOperazioni::svuota()
{
    beginResetModel();
    righe_ = {};
    intere_ = {};
    codici_ = {};
    posti_ = {};
    codiciTipo_ = {};
    endResetModel();
}

void ModelloOperazioni::aggiungi(const QList<RigaOperazione> &righe, const QHash<qint32, QString> &codiciTipo)
{
    if (righe.isEmpty())
        return;
    if (righe_.isEmpty())
        codiciTipo_ = codiciTipo;
    const int da = int(righe_.size());
    beginInsertRows(QModelIndex(), da, da + int(righe.size()) - 1);
    for (const RigaOperazione &r : righe) {
        const qint64 giorno = r.data.isValid() ? r.data.toJulianDay() - GIORNO_ZERO
                                               : std::numeric_limits<qint64>::min();
        if (!entra<qint32>(r.id) || !entra<qint32>(r.prezzoAcquisto) || !entra<qint32>(r.prezzoVendita)
            || !entra<quint16>(giorno) || !entra<quint16>(r.tipo)) {
            righe_.append({0, 0, 0, 0, qint32(-1 - intere_.size()), 0, 0});
            intere_.append(r);
            continue;
        }
        const QChar *testo = r.codice.constData();
        auto posto = posti_.constFind(testo);
        if (posto == posti_.cend() || codici_[*posto].size() != r.codice.size()) {
            posto = posti_.insert(testo, qint32(codici_.size()));
            codici_.append(r.codice);
        }
        righe_.append({qint32(r.id), qint32(r.prezzoAcquisto), qint32(r.prezzoVendita), r.pezzi, *posto,
                       quint16(giorno), quint16(r.tipo)});
    }
    endInsertRows();
}

std::optional<RigaOperazione> ModelloOperazioni::riga(int indice) const
{
    if (indice < 0 || indice >= righe_.size())
        return std::nullopt;
    const Compatta &c = righe_[indice];
    if (c.codice < 0)
        return intere_[-1 - c.codice];
    RigaOperazione r;
    r.id = c.id;
    r.prezzoAcquisto = c.prezzoAcquisto;
    r.prezzoVendita = c.prezzoVendita;
    r.data = QDate::fromJulianDay(GIORNO_ZERO + c.giorno);
    r.codice = codici_[c.codice];
    r.tipo = c.tipo;
    r.pezzi = c.pezzi;
    return r;
}

void ModelloOperazioni::rimuovi(int indice)
{
    if (indice < 0 || indice >= righe_.size())
        return;
    beginRemoveRows(QModelIndex(), indice, indice);
    righe_.removeAt(indice);
    endRemoveRows();
}

QString ModelloOperazioni::cella(int indice, int colonna) const
{
    return cellaOperazione(*riga(indice), codiciTipo_, ColonnaOperazione(colonna));
}
