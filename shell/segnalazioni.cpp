#include "shell/segnalazioni.h"

#include "common/messaggi.h"
#include "data/rapporto.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void installaSegnalatoreMessaggi()
{
    installaSegnalatore([](const RapportoZona &rapporto) {
        // The engine's own words behind "Mostra dettagli", for whoever looks into it.
        mostraMessaggio(QApplication::activeWindow(), rapporto.testo(), QMessageBox::Ok, TITOLO_PROGRAMMA,
                        QMessageBox::NoIcon, QMessageBox::NoButton,
                        rapporto.dettaglio != rapporto.descrizione ? rapporto.dettaglio : QString());
    });
}

void installaTraduzioni(QCoreApplication &app)
{
    auto *traduttore = new QTranslator(&app);
    if (traduttore->load(QStringLiteral("qtbase_it"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(traduttore);
    else
        delete traduttore;
}
