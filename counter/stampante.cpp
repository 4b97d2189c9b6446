#include "counter/stampante.h"

#include "counter/stampante_qt.h"

#include <QDir>

namespace {

FabbricaStampanti &fabbricaAttiva()
{
    static FabbricaStampanti fabbrica;
    return fabbrica;
}

} // namespace

QString messaggioEsito(const EsitoStampa &esito)
{
    const QString file = QDir::toNativeSeparators(esito.file);
    const QString nonRiuscita = esito.motivo.isEmpty()
        ? QStringLiteral("Stampa non riuscita.\n")
        : QStringLiteral("Stampa non riuscita: ") + esito.motivo + QStringLiteral(".\n");
    switch (esito.modo) {
    case EsitoStampa::Modo::Stampata:
        return QStringLiteral("Stampa completata");
    case EsitoStampa::Modo::SalvataSenzaStampante:
        return QStringLiteral("Nessuna stampante installata.\nLa stampa è stata salvata nel file:\n")
            + file;
    case EsitoStampa::Modo::SalvataDopoErrore:
        return nonRiuscita + QStringLiteral("La stampa è stata salvata nel file:\n") + file;
    case EsitoStampa::Modo::Fallita:
        break;
    }
    return nonRiuscita + QStringLiteral("Non è stato possibile salvarla nel file:\n") + file;
}

void installaFabbricaStampanti(FabbricaStampanti fabbrica)
{
    fabbricaAttiva() = std::move(fabbrica);
}

std::unique_ptr<Stampante> nuovaStampante(const QString &documento)
{
    if (fabbricaAttiva())
        return fabbricaAttiva()(documento);
    return std::make_unique<StampanteQt>(documento);
}
