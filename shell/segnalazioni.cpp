#include "shell/segnalazioni.h"

#include "common/messaggi.h"
#include "data/rapporto.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void installaSegnalatoreMessaggi()
{
    installaSegnalatore([](const RapportoZona &rapporto) {
        mostraMessaggio(QApplication::activeWindow(), rapporto.testo());
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
