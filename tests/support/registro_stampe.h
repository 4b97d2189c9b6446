#pragma once

#include "counter/stampante.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// One line as the printer received it, with the font in force.
struct RigaStampata
{
    QString testo;
    QString carattere;
    int punti = 0;
    bool grassetto = false;
};

struct DocumentoStampato
{
    QString nome;
    QList<RigaStampata> righe;
    QStringList operazioni; // every call in order: "carattere Courier New", "riga ...", "fine"
    bool concluso = false;

    QStringList testi() const;
};

// A printer that records into a document and ends it with a planned outcome.
class StampanteRegistrata final : public Stampante
{
public:
    explicit StampanteRegistrata(std::shared_ptr<DocumentoStampato> documento,
                                 EsitoStampa esito = {});

    void impostaCarattere(const QString &nome) override;
    void impostaDimensione(int punti) override;
    void impostaGrassetto(bool attivo) override;
    void stampaRiga(const QString &riga) override;
    EsitoStampa fineDocumento() override;

private:
    std::shared_ptr<DocumentoStampato> documento_;
    EsitoStampa esito_;
    QString carattere_;
    int punti_ = 0;
    bool grassetto_ = false;
};

// While it lives, every printer the program asks for records here instead of
// printing; each document ends as printed unless told otherwise.
class RegistroStampe final
{
public:
    RegistroStampe();
    ~RegistroStampe();
    RegistroStampe(const RegistroStampe &) = delete;
    RegistroStampe &operator=(const RegistroStampe &) = delete;

    QList<DocumentoStampato> documenti() const;
    void esitoSeguente(const EsitoStampa &esito) { esito_ = esito; }

private:
    QList<std::shared_ptr<DocumentoStampato>> documenti_;
    EsitoStampa esito_;
};
