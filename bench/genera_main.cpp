// Writes a large, realistic shop file for the benchmarks.
// Usage: vorendi-genera [--fattore N] file [seed]

#include "bench/genera.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser opzioni;
    const QCommandLineOption fattore(QStringLiteral("fattore"),
                                     QStringLiteral("Movimenti e ricevute moltiplicati per N."),
                                     QStringLiteral("N"), QStringLiteral("1"));
    opzioni.addOption(fattore);
    opzioni.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Il file da scrivere."));
    opzioni.addPositionalArgument(QStringLiteral("seme"), QStringLiteral("Il seme."), QStringLiteral("[seme]"));
    opzioni.process(app);
    const QStringList argomenti = opzioni.positionalArguments();
    bool ok = false;
    const int volte = opzioni.value(fattore).toInt(&ok);
    if (argomenti.isEmpty() || argomenti.size() > 2 || !ok || volte < 1 || volte > 20) {
        QTextStream(stderr) << "Uso: vorendi-genera [--fattore N] file [seme]\n";
        return 2;
    }
    const quint64 seme = argomenti.size() == 2 ? argomenti.at(1).toULongLong() : 20261206;
    QElapsedTimer tempo;
    tempo.start();
    QString errore;
    if (!generaNegozio(argomenti.at(0), seme, dimensioniPerFattore(volte), &errore)) {
        QTextStream(stderr) << errore << '\n';
        return 1;
    }
    QTextStream(stdout) << "Generato " << argomenti.at(0) << " in " << tempo.elapsed() / 1000.0
                        << " s\n";
    return 0;
}
