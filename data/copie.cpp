#include "data/copie.h"

#include "common/file_durevole.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <limits>
#include <memory>

namespace {

struct Chiudi
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using Connessione = std::unique_ptr<sqlite3, Chiudi>;

Connessione apri(const QString &percorso, int modo, QString *motivo)
{
    sqlite3 *db = nullptr;
    const int esito = sqlite3_open_v2(QFile::encodeName(percorso).constData(), &db, modo, nullptr);
    Connessione connessione(db);
    if (esito != SQLITE_OK)
        *motivo = QStringLiteral("il file %1 non si apre (%2).").arg(QDir::toNativeSeparators(percorso),
                                                                    QString::fromUtf8(sqlite3_errstr(esito)));
    return connessione;
}

} // namespace

EsitoCopia copiaDelGiorno(const QString &database, const QDate &oggi, bool sostituisci,
                          std::chrono::milliseconds pausa)
{
    EsitoCopia copia;
    const QFileInfo originale(database);
    QDir cartella = originale.absoluteDir();
    const QString nome = QStringLiteral("Vorendi-%1.mdb").arg(oggi.toString(Qt::ISODate));
    if (!originale.exists()) {
        copia.motivo = QStringLiteral("il file %1 non esiste.").arg(QDir::toNativeSeparators(database));
        return copia;
    }
    if (!cartella.mkpath(QStringLiteral("Backup")) || !cartella.cd(QStringLiteral("Backup"))) {
        copia.motivo = QStringLiteral("la cartella %1 non si può creare.")
                           .arg(QDir::toNativeSeparators(cartella.filePath(QStringLiteral("Backup"))));
        return copia;
    }
    copia.file = cartella.filePath(nome);
    // What a crash or a power cut left half-written on an earlier run.
    for (const QString &parziale :
         cartella.entryList({QStringLiteral(".Vorendi-*.parziale*")}, QDir::Files | QDir::Hidden))
        cartella.remove(parziale);
    if (!sostituisci && QFileInfo::exists(copia.file)) {
        copia.stato = EsitoCopia::Stato::GiaFatta;
        return copia;
    }
    const QString provvisorio = cartella.filePath(QStringLiteral(".") + nome + QStringLiteral(".parziale"));
    {
        Connessione sorgente = apri(database, SQLITE_OPEN_READONLY, &copia.motivo);
        Connessione destinazione = apri(provvisorio, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &copia.motivo);
        if (!sorgente || !destinazione || !copia.motivo.isEmpty()) {
            destinazione.reset();
            QFile::remove(provvisorio);
            return copia;
        }
        sqlite3_busy_timeout(sorgente.get(), 5000);
        sqlite3_exec(destinazione.get(), "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr);
        sqlite3_backup *copiatura = sqlite3_backup_init(destinazione.get(), "main", sorgente.get(), "main");
        int esito = copiatura ? SQLITE_OK : sqlite3_errcode(destinazione.get());
        // A few pages at a time: between steps the counter may write, and a
        // change starts the copy again, which stays consistent. After three
        // such starts the rest is copied in one go: a sale then waits for
        // that, a moment, rather than the copy for a quiet minute.
        QElapsedTimer tempo;
        tempo.start();
        int ripartenze = 0;
        int rimaste = std::numeric_limits<int>::max();
        while (copiatura && (esito == SQLITE_OK || esito == SQLITE_BUSY || esito == SQLITE_LOCKED)
               && !tempo.hasExpired(120000)) {
            esito = sqlite3_backup_step(copiatura, ripartenze < 3 ? 256 : -1);
            ripartenze += sqlite3_backup_remaining(copiatura) > rimaste;
            rimaste = sqlite3_backup_remaining(copiatura);
            if (esito != SQLITE_DONE)
                QThread::msleep(quint64(pausa.count()));
        }
        if (copiatura) {
            const int fine = sqlite3_backup_finish(copiatura);
            esito = esito == SQLITE_DONE ? fine : esito == SQLITE_OK ? SQLITE_BUSY : esito;
        }
        if (esito != SQLITE_OK) {
            copia.motivo = QStringLiteral("errore n. %1 nella copia (%2).")
                               .arg(esito)
                               .arg(QString::fromUtf8(sqlite3_errstr(esito)));
            destinazione.reset();
            QFile::remove(provvisorio);
            return copia;
        }
    }
    // Named only once whole and on disk: a copy under its day's name is
    // never a half one, and the one it replaces stays until then.
    if (!mettiAlPosto(provvisorio, copia.file, true)) {
        QFile::remove(provvisorio);
        copia.motivo = QStringLiteral("il file %1 non si può scrivere.").arg(QDir::toNativeSeparators(copia.file));
        return copia;
    }
    copia.stato = EsitoCopia::Stato::Fatta;
    QStringList copie = cartella.entryList({QStringLiteral("Vorendi-\?\?\?\?-\?\?-\?\?.mdb")}, QDir::Files, QDir::Name);
    while (copie.size() > COPIE_TENUTE)
        cartella.remove(copie.takeFirst());
    return copia;
}
