#pragma once

#include "counter/coda_stampa.h"
#include "counter/stampante.h"

#include <QByteArray>
#include <QDir>
#include <QFont>
#include <QList>

class QPdfWriter;

// The real printer: the lines are gathered and drawn with QPainter into a PDF
// when the document ends, A4 landscape so that a 108-character line of
// 10-point Courier is never cut, and the PDF is handed to the default queue.
// With no printer installed, or when the queue does not take the job, the
// same PDF is saved as a file in the given folder (the working directory
// unless told otherwise).
class StampanteQt final : public Stampante
{
public:
    enum class Destinazione { Predefinita, SoloPdf };

    explicit StampanteQt(const QString &documento, const QString &cartella = QDir::currentPath(),
                         Destinazione destinazione = Destinazione::Predefinita,
                         InvioStampa invio = inviaAllaCodaPredefinita);

    void impostaCarattere(const QString &nome) override;
    void impostaDimensione(int punti) override;
    void impostaGrassetto(bool attivo) override;
    void stampaRiga(const QString &riga) override;
    EsitoStampa fineDocumento() override;

    // Writes the PDF as a new file in the folder, named after the document
    // and the time, never over another file ("Ricevuta 12 2024-03-05
    // 10.11.12.pdf", then " (2)" and on). The file appears under its name
    // only once it is whole and on disk: a failure or a kill on the way
    // leaves nothing. Returns false on failure; *nome is the file written,
    // or the one that could not be.
    static bool salvaPdf(const QString &cartella, const QString &documento, const QByteArray &pdf,
                         QString *nome);

private:
    struct Riga
    {
        QFont carattere;
        QString testo;
    };

    bool disegna(QPdfWriter &pdf) const;
    QByteArray pdf() const;

    QString documento_;
    QString cartella_;
    Destinazione destinazione_;
    InvioStampa invio_;
    QFont carattere_;
    QList<Riga> righe_;
};
