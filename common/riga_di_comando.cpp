#include "common/riga_di_comando.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

#include <cstdlib>

void leggiRigaDiComando(QCommandLineParser &riga, const QCoreApplication &app)
{
    // Qt's own messages (an unknown option, "Utilizzo") in Italian too.
    static QTranslator traduttore;
    if (traduttore.isEmpty()
        && traduttore.load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&traduttore);
    const QCommandLineOption aiuto({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                   QStringLiteral("Mostra questo aiuto ed esce."));
    const QCommandLineOption versione({QStringLiteral("v"), QStringLiteral("version")},
                                      QStringLiteral("Mostra la versione ed esce."));
    riga.addOption(aiuto);
    riga.addOption(versione);
    if (!riga.parse(app.arguments())) {
        QTextStream(stderr) << riga.errorText() << '\n'
                            << QStringLiteral("Per le opzioni: %1 --help\n").arg(QCoreApplication::applicationName());
        std::exit(2);
    }
    if (riga.isSet(versione)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n';
        std::exit(0);
    }
    if (riga.isSet(aiuto))
        riga.showHelp(0);
}
