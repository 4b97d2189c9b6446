#include "common/riga_di_comando.h"
#include "common/versione.h"
#include "shell/avvio.h"
#include "shell/segnalazioni.h"

#include <QApplication>

namespace {

// Read before any window system is reached: --help, --version and a wrong
// option answer on the terminal, with or without a display. Qt's own
// options (-platform xcb, -style ...) are let through to the application.
void leggiOpzioni(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vorendi"));
    QCoreApplication::setApplicationVersion(QLatin1String(VERSIONE));
    QCommandLineParser riga;
    riga.setApplicationDescription(QStringLiteral(
        "Acquisti, magazzino, carrello e ricevute del negozio, sul file Vorendi.mdb\n"
        "della cartella in cui il programma viene avviato."));
    riga.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *nome : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                             "geometry", "qwindowtitle", "title", "qwindowicon", "icon", "style",
                             "stylesheet", "display", "session", "name"}) {
        QCommandLineOption qt(QString::fromLatin1(nome), QString(), QStringLiteral("valore"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        riga.addOption(qt);
    }
    for (const char *nome : {"reverse", "nograb", "dograb", "widgetcount"}) {
        QCommandLineOption qt(QString::fromLatin1(nome));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        riga.addOption(qt);
    }
    leggiRigaDiComando(riga, app);
}

} // namespace

int main(int argc, char *argv[])
{
    leggiOpzioni(argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vorendi"));
    QCoreApplication::setApplicationVersion(QLatin1String(VERSIONE));
    installaTraduzioni(app);

    // Where the shop's data is and how it is reached, read once.
    const auto finestra = avviaVorendi(configurazioneDallAmbiente());
    finestra->show();
    return app.exec();
}
