#pragma once

#include <QString>

#include <functional>
#include <memory>


// How a printout ended.
struct EsitoStampa
{
    enum class Modo {
        Stampata,          // sent to the printer
        SalvataSenzaStampante, // no printer installed: saved as PDF
        SalvataDopoErrore, // the printer did not take the job: saved as PDF
        Fallita,           // neither printed nor saved
    };
    Modo modo = Modo::Stampata;
    QString file;      // the PDF written, or the one that could not be
    QString motivo;    // why the printer did not take the job, in Italian for the user
    QString dettaglio; // the print system's own words, for the message box's detail
};

// The closing message: "Stampa completata" only for a job the print system
// accepted; a refused one names why. esito.dettaglio goes beside it.
QString messaggioEsito(const EsitoStampa &esito);

// The page operations the listings need. Lines are printed in the font set
// last; the document is printed (or saved) by fineDocumento.
class Stampante
{
public:
    virtual ~Stampante() = default;
    virtual void impostaCarattere(const QString &nome) = 0;
    virtual void impostaDimensione(int punti) = 0;
    virtual void impostaGrassetto(bool attivo) = 0;
    virtual void stampaRiga(const QString &riga) = 0;
    virtual EsitoStampa fineDocumento() = 0;
};

// Where windows get their printer from: the default printer in the program,
// a recorder in tests. The document name tells what is printed ("Ricevuta
// 12"); a printout saved as a file is named after it.
using FabbricaStampanti = std::function<std::unique_ptr<Stampante>(const QString &documento)>;

void installaFabbricaStampanti(FabbricaStampanti fabbrica);
std::unique_ptr<Stampante> nuovaStampante(const QString &documento);
