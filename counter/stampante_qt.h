#pragma once

#include "counter/stampante.h"

#include <QDir>
#include <QFont>
#include <QList>

class QPagedPaintDevice;
class QPrinter;

// The real printer: the lines are gathered and drawn with QPainter when the
// document ends, on the default printer, A4 landscape so that a 108-character
// line of 10-point Courier is never cut. With no printer installed, or when
// the printer does not take the job, the same pages are saved as a PDF file in
// the given folder (the working directory unless told otherwise).
class StampanteQt final : public Stampante
{
public:
    enum class Destinazione { Predefinita, SoloPdf };

    explicit StampanteQt(const QString &documento, const QString &cartella = QDir::currentPath(),
                         Destinazione destinazione = Destinazione::Predefinita);

    void impostaCarattere(const QString &nome) override;
    void impostaDimensione(int punti) override;
    void impostaGrassetto(bool attivo) override;
    void stampaRiga(const QString &riga) override;
    EsitoStampa fineDocumento() override;

    // A file name in the folder, free at the time of the call and reserved by
    // creating it empty: what and when, never another printout's file.
    static QString riservaFilePdf(const QString &cartella, const QString &documento);

private:
    struct Riga
    {
        QFont carattere;
        QString testo;
    };

    bool disegna(QPrinter &stampante) const;

    QString documento_;
    QString cartella_;
    Destinazione destinazione_;
    QFont carattere_;
    QList<Riga> righe_;
};
