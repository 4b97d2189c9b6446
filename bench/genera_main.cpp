// Writes a large, realistic shop file for the benchmarks.
// Usage: vorendi-genera file [seed]

#include "bench/genera.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    QTextStream uscita(stdout);
    if (argomenti.size() < 2 || argomenti.size() > 3) {
        QTextStream(stderr) << "Uso: vorendi-genera file [seme]\n";
        return 2;
    }
    const quint64 seme = argomenti.size() == 3 ? argomenti.at(2).toULongLong() : 20261206;
    QElapsedTimer tempo;
    tempo.start();
    QString errore;
    if (!generaNegozio(argomenti.at(1), seme, DimensioniNegozio{}, &errore)) {
        QTextStream(stderr) << errore << '\n';
        return 1;
    }
    uscita << "Generato " << argomenti.at(1) << " in " << tempo.elapsed() / 1000.0 << " s\n";
    return 0;
}
