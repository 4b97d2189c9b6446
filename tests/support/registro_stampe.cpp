#include "support/registro_stampe.h"

QStringList DocumentoStampato::testi() const
{
    QStringList risultato;
    for (const RigaStampata &r : righe)
        risultato.append(r.testo);
    return risultato;
}

StampanteRegistrata::StampanteRegistrata(std::shared_ptr<DocumentoStampato> documento,
                                         EsitoStampa esito)
    : documento_(std::move(documento))
    , esito_(std::move(esito))
{
}

void StampanteRegistrata::impostaCarattere(const QString &nome)
{
    carattere_ = nome;
    documento_->operazioni.append(QStringLiteral("carattere ") + nome);
}

void StampanteRegistrata::impostaDimensione(int punti)
{
    punti_ = punti;
    documento_->operazioni.append(QStringLiteral("dimensione %1").arg(punti));
}

void StampanteRegistrata::impostaGrassetto(bool attivo)
{
    grassetto_ = attivo;
    documento_->operazioni.append(attivo ? QStringLiteral("grassetto si")
                                         : QStringLiteral("grassetto no"));
}

void StampanteRegistrata::stampaRiga(const QString &riga)
{
    documento_->righe.append({riga, carattere_, punti_, grassetto_});
    documento_->operazioni.append(QStringLiteral("riga ") + riga);
}

EsitoStampa StampanteRegistrata::fineDocumento()
{
    documento_->concluso = true;
    documento_->operazioni.append(QStringLiteral("fine"));
    return esito_;
}

RegistroStampe::RegistroStampe()
{
    installaFabbricaStampanti([this](const QString &nome) {
        auto documento = std::make_shared<DocumentoStampato>();
        documento->nome = nome;
        documenti_.append(documento);
        return std::make_unique<StampanteRegistrata>(documento, esito_);
    });
}

RegistroStampe::~RegistroStampe()
{
    installaFabbricaStampanti({});
}

QList<DocumentoStampato> RegistroStampe::documenti() const
{
    QList<DocumentoStampato> copia;
    for (const auto &d : documenti_)
        copia.append(*d);
    return copia;
}
