// Writes a new, empty Vorendi database file; never overwrites one.

#include "common/riga_di_comando.h"
#include "data/percorso.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.0"));
    QCommandLineParser riga;
    riga.setApplicationDescription(QStringLiteral(
        "Crea un file Vorendi nuovo e vuoto. Un file che esiste già non viene mai sovrascritto."));
    riga.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("Il file da creare (predefinito: Vorendi.mdb nella cartella di lavoro)."),
                               QStringLiteral("[file]"));
    leggiRigaDiComando(riga, app);
    const QStringList argomenti = riga.positionalArguments();
    QTextStream errori(stderr);
    if (argomenti.size() > 1) {
        errori << "Uso: vorendi-nuovo-db [file]\n";
        return 2;
    }
    const QString percorso = argomenti.isEmpty() ? percorsoPredefinito() : argomenti.first();
    QString errore;
    if (!creaDatabase(percorso, &errore)) {
        errori << errore << '\n';
        return 1;
    }
    QTextStream(stdout) << "Creato " << percorso << '\n';
    return 0;
}
