#include "data/schema.h"

#include "common/file_durevole.h"
#include "data/tabelle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <cstring>

bool creaDatabase(const QString &percorso, QString *errore)
{
    auto fallito = [errore](const QString &motivo) {
        if (errore)
            *errore = motivo;
        return false;
    };
    if (QFileInfo::exists(percorso))
        return fallito(QStringLiteral("Il file %1 esiste già: non viene sovrascritto.").arg(percorso));

    // Built under a hidden name and given its own only when whole and on
    // disk: a power cut never leaves a file that looks made and is not, and
    // the program never finds half a file where it expects the shop's.
    const QFileInfo finale(percorso);
    const QString provvisorio = finale.absoluteDir().filePath(
        QStringLiteral(".%1.nuovo-%2").arg(finale.fileName()).arg(QCoreApplication::applicationPid()));
    QFile::remove(provvisorio);
    const QString nome = QStringLiteral("vorendi-nuovo-db");
    bool riuscito = false;
    QString motivo;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(provvisorio);
        if (!db.open()) {
            motivo = db.lastError().text();
        } else {
            QSqlQuery query(db);
            // The commit waits for the disk, the journal's removal included.
            riuscito = query.exec(QStringLiteral("PRAGMA synchronous=EXTRA")) && query.exec(QStringLiteral("BEGIN"));
            for (const QString &istruzione : istruzioniSchema(Dialetto::delFile())) {
                if (!riuscito)
                    break;
                riuscito = query.exec(istruzione);
            }
            riuscito = riuscito && query.exec(QStringLiteral("COMMIT"));
            if (!riuscito)
                motivo = query.lastError().text();
            query.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nome);
    if (riuscito && !mettiAlPosto(provvisorio, percorso, false)) {
        const int errore = errno;
        riuscito = false;
        motivo = errore == EEXIST ? QStringLiteral("il file esiste già.")
                                  : QString::fromLocal8Bit(std::strerror(errore));
    }
    if (!riuscito) {
        QFile::remove(provvisorio);
        return fallito(QStringLiteral("Impossibile creare %1: %2").arg(percorso, motivo));
    }
    return true;
}
