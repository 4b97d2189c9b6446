#include "common/riga_di_comando.h"
#include "shell/MDIVorendi.h"
#include "shell/segnalazioni.h"

#include <QApplication>

namespace {

template <typename Applicazione>
void leggi(Applicazione &app)
{
    QCoreApplication::setApplicationName(QStringLiteral("Vorendi"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0"));
    installaTraduzioni(app);
    QCommandLineParser riga;
    riga.setApplicationDescription(QStringLiteral(
        "Acquisti, magazzino, carrello e ricevute del negozio, sul file Vorendi.mdb\n"
        "della cartella in cui il programma viene avviato."));
    leggiRigaDiComando(riga, app);
}

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version answer on the terminal, without a display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "-h" || a == "-?" || a == "--help" || a == "-v" || a == "--version") {
            QCoreApplication app(argc, argv);
            leggi(app);
        }
    }
    QApplication app(argc, argv);
    leggi(app);

    MDIVorendi finestra;
    finestra.show();
    return app.exec();
}
