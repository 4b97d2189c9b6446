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

thread_local Segnalatore segnalatoreDelThread;

} // namespace

QString RapportoZona::testo() const
{
    return QStringLiteral("Si è verificato in zona %1:\nErrore n.%2 %3")
        .arg(zona)
        .arg(codice.isEmpty() ? testoNumero(numero) : u' ' + codice, descrizione);
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

RapportoZona RapportoZona::daServer(int zona, int numero, const QString &stato, const QString &motore,
                                    const QString &server)
{
    const QString classe = stato.left(2);
    QString descrizione;
    if (stato == QLatin1String("08001"))
        descrizione = QStringLiteral("Il server %1 non risponde: è acceso e raggiungibile dalla rete?");
    else if (classe == QLatin1String("28") || stato == QLatin1String("3D000"))
        descrizione = QStringLiteral("Il server %1 ha rifiutato l'accesso: controllare utente, password e nome del database.");
    else if (stato == QLatin1String("57P03"))
        descrizione = QStringLiteral("Il server %1 non accetta collegamenti in questo momento.");
    else if (classe == QLatin1String("08") || stato.startsWith(QLatin1String("57P")))
        descrizione = QStringLiteral("Il collegamento con il server %1 si è interrotto.");
    else if (stato == QLatin1String("40001") || stato == QLatin1String("40P01") || stato == QLatin1String("55P03"))
        descrizione = QStringLiteral("I dati sul server %1 sono bloccati da un'altra postazione.");
    else if (stato == QLatin1String("25006"))
        descrizione = QStringLiteral("Il database %1 è di sola lettura: non vi si può scrivere.");
    else if (stato == QLatin1String("42501"))
        descrizione = QStringLiteral("Il server %1 non permette a questo utente di farlo.");
    else if (stato == QLatin1String("53100"))
        descrizione = QStringLiteral("Il disco del server %1 è pieno.");
    else if (classe == QLatin1String("53") || classe == QLatin1String("58"))
        descrizione = QStringLiteral("Errore del disco o della memoria del server %1.");
    else if (stato == QLatin1String("XX001") || stato == QLatin1String("XX002"))
        descrizione = QStringLiteral("Il database %1 è danneggiato.");
    else if (stato == QLatin1String("42P01") || stato == QLatin1String("42703")) {
        // The object's name is the first quoted word of the server's text.
        const qsizetype da = motore.indexOf(u'"');
        const qsizetype a = motore.indexOf(u'"', da + 1);
        if (da >= 0 && a > da)
            descrizione = (stato == QLatin1String("42P01") ? QStringLiteral("Nel database %1 manca la tabella %2.")
                                                           : QStringLiteral("Nel database %1 manca la colonna %2."))
                              .arg(QStringLiteral("%1"), motore.mid(da + 1, a - da - 1));
    }
    return {zona, numero, descrizione.isEmpty() ? motore : descrizione.arg(server), motore, stato};
}

Segnalatore installaSegnalatore(Segnalatore segnalatore)
{
    return std::exchange(segnalatoreAttivo(), std::move(segnalatore));
}

SegnalatoreDelThread::SegnalatoreDelThread(Segnalatore segnalatore)
    : precedente_(std::exchange(segnalatoreDelThread, std::move(segnalatore)))
{
}

SegnalatoreDelThread::~SegnalatoreDelThread()
{
    segnalatoreDelThread = std::move(precedente_);
}

void segnala(const RapportoZona &rapporto)
{
    if (segnalatoreDelThread)
        segnalatoreDelThread(rapporto);
    else if (segnalatoreAttivo())
        segnalatoreAttivo()(rapporto);
    else
        qWarning().noquote() << rapporto.testo();
}
