// Peak memory of the largest list a shop asks for: every purchase of every
// year in the operations register.
// Usage: vorendi-memoria file.mdb

#include "data/configurazione.h"
#include "reports/Operazioni_frm.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTableView>
#include <QTextStream>

#include <sys/resource.h>

namespace {

double piccoMegabyte()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return double(uso.ru_maxrss) / 1024.0; // Linux gives kilobytes
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream uscita(stdout);
    if (argc != 2) {
        QTextStream(stderr) << "Uso: vorendi-memoria file.mdb\n";
        return 2;
    }
    impostaConfigurazione({.percorso = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath()});
    Operazioni_frm finestra;
    finestra.resize(1000, 700);
    finestra.show();
    QApplication::processEvents();
    const double prima = piccoMegabyte();

    QElapsedTimer tempo;
    tempo.start();
    finestra.elenca(1, QString(), QDate(), QDate());
    finestra.attendiElenco();
    QApplication::processEvents();
    const qint64 millisecondi = tempo.elapsed();

    const int righe = finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"))->model()->rowCount() - 1;
    uscita << "acquisti_tutti_gli_anni: " << righe << " righe in " << millisecondi
           << " ms; picco di memoria " << QString::number(piccoMegabyte(), 'f', 1)
           << " MB (prima dell'elenco " << QString::number(prima, 'f', 1) << " MB)\n";
    return 0;
}
