// Writes a new, empty Vorendi database file; never overwrites one.
// Usage: vorendi-nuovo-db [path]   (default: Vorendi.mdb in the working directory)

#include "data/percorso.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    QTextStream errori(stderr);
    if (argomenti.size() > 2) {
        errori << "Uso: vorendi-nuovo-db [file]\n";
        return 2;
    }
    const QString percorso = argomenti.size() == 2 ? argomenti.at(1) : percorsoPredefinito();
    QString errore;
    if (!creaDatabase(percorso, &errore)) {
        errori << errore << '\n';
        return 1;
    }
    QTextStream(stdout) << "Creato " << percorso << '\n';
    return 0;
}
