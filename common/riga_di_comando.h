#pragma once

#include <QCommandLineParser>

class QCoreApplication;

// The options every program of the shop takes, besides its own: -h/--help
// and -v/--version, with Italian texts. Reads the arguments; answers --help
// or --version on the terminal and ends the program; an option it does not
// know ends it with a message and exit code 2, as any other wrong use.
void leggiRigaDiComando(QCommandLineParser &riga, const QCoreApplication &app);
