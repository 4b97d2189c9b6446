#include "common/riga_di_comando.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdlib>

void leggiRigaDiComando(QCommandLineParser &riga, const QCoreApplication &app)
{
    const QCommandLineOption aiuto({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                   QStringLiteral("Mostra questo aiuto ed esce."));
    const QCommandLineOption versione({QStringLiteral("v"), QStringLiteral("version")},
                                      QStringLiteral("Mostra la versione ed esce."));
    riga.addOption(aiuto);
    riga.addOption(versione);
    if (!riga.parse(app.arguments())) {
        QTextStream(stderr) << riga.errorText() << '\n'
                            << QStringLiteral("Per le opzioni: %1 --help\n").arg(QCoreApplication::applicationName());
        std::exit(1);
    }
    if (riga.isSet(versione)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' '
                            << QCoreApplication::applicationVersion() << '\n';
        std::exit(0);
    }
    if (riga.isSet(aiuto))
        riga.showHelp(0);
}
