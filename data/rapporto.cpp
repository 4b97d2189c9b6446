#include "data/rapporto.h"

#include "common/formati.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

Segnalatore &segnalatoreAttivo()
{
    static Segnalatore segnalatore;
    return segnalatore;
}

} // namespace

QString RapportoZona::testo() const
{
    return QStringLiteral("Si è verificato in zona %1:\nErrore n.%2 %3")
        .arg(zona)
        .arg(testoNumero(qint64(numero)), descrizione);
}

RapportoZona RapportoZona::daMotore(int zona, int numero, const QString &motore, const QString &file)
{
    const QString nome = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    QString descrizione;
    // The primary code is the low byte of an extended one.
    switch (numero & 0xff) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        descrizione = QStringLiteral("Il file %1 è bloccato da un altro programma.");
        break;
    case 8: // SQLITE_READONLY
        descrizione = QStringLiteral("Il file %1 è di sola lettura: non vi si può scrivere.");
        break;
    case 10: // SQLITE_IOERR
        descrizione = QStringLiteral("Errore del disco leggendo o scrivendo il file %1 (disco pieno o guasto).");
        break;
    case 11: // SQLITE_CORRUPT
        descrizione = QStringLiteral("Il file %1 è danneggiato.");
        break;
    case 13: // SQLITE_FULL
        descrizione = QStringLiteral("Il disco è pieno: il file %1 non si può scrivere.");
        break;
    case 14: // SQLITE_CANTOPEN
        descrizione = QStringLiteral("Il file %1 non c'è o non si può aprire.");
        break;
    case 26: // SQLITE_NOTADB
        descrizione = QStringLiteral("Il file %1 non è un archivio di Vorendi.");
        break;
    }
    for (const auto &[inglese, italiano] : {std::pair{"no such table: ", "Nel file %1 manca la tabella %2."},
                                            {"no such column: ", "Nel file %1 manca la colonna %2."}}) {
        if (descrizione.isEmpty() && motore.startsWith(QLatin1String(inglese)))
            descrizione = QString::fromUtf8(italiano).arg(QStringLiteral("%1"), motore.mid(qstrlen(inglese)));
    }
    return {zona, numero, descrizione.isEmpty() ? motore : descrizione.arg(nome), motore};
}

Segnalatore installaSegnalatore(Segnalatore segnalatore)
{
    return std::exchange(segnalatoreAttivo(), std::move(segnalatore));
}

bool segnalatoreInstallato()
{
    return bool(segnalatoreAttivo());
}

void segnala(const RapportoZona &rapporto)
{
    if (segnalatoreAttivo())
        segnalatoreAttivo()(rapporto);
    else
        qWarning().noquote() << rapporto.testo();
}
