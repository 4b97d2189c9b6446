#include "data/schema.h"

#include "common/file_durevole.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <cstring>

QStringList istruzioniSchema()
{
    // Counters never hand a number out twice (AUTOINCREMENT); codes match,
    // sort and prefix-search without regard to case (NOCASE). Dates are
    // stored as yyyy-MM-dd so that text order is calendar order.
    return {
        QStringLiteral("CREATE TABLE tipo ("
                       " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " codice TEXT COLLATE NOCASE NOT NULL)"),
        QStringLiteral("CREATE INDEX tipo_codice ON tipo (codice)"),

        QStringLiteral("CREATE TABLE rimanenze ("
                       " codice TEXT COLLATE NOCASE NOT NULL,"
                       " tipo INTEGER NOT NULL,"
                       " pezzi INTEGER NOT NULL DEFAULT 0,"
                       " prezzo INTEGER NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE UNIQUE INDEX rimanenze_codice ON rimanenze (codice)"),
        QStringLiteral("CREATE INDEX rimanenze_tipo_codice ON rimanenze (tipo, codice)"),

        QStringLiteral("CREATE TABLE prodotto ("
                       " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " tipo INTEGER NOT NULL,"
                       " codice TEXT COLLATE NOCASE NOT NULL,"
                       " prezzovendita INTEGER NOT NULL,"
                       " prezzoacquisto INTEGER NOT NULL,"
                       " pezzi INTEGER NOT NULL,"
                       " operazione INTEGER NOT NULL,"
                       " dataop TEXT NOT NULL)"),
        // The statistics read a year from this index alone, grouped by day.
        QStringLiteral("CREATE INDEX prodotto_dataop"
                       " ON prodotto (dataop, operazione, prezzoacquisto, prezzovendita)"),
        // The register lists one kind by day, code and type: in index order,
        // with no sort, for every day, one day or one type.
        QStringLiteral("CREATE INDEX prodotto_operazione"
                       " ON prodotto (operazione, dataop, codice, tipo)"),
        QStringLiteral("CREATE INDEX prodotto_operazione_tipo"
                       " ON prodotto (operazione, tipo, dataop, codice)"),

        QStringLiteral("CREATE TABLE carrello ("
                       " codice TEXT COLLATE NOCASE NOT NULL,"
                       " tipo INTEGER NOT NULL,"
                       " prezzo INTEGER NOT NULL,"
                       " pezzi INTEGER NOT NULL,"
                       " totale INTEGER NOT NULL)"),
        QStringLiteral("CREATE UNIQUE INDEX carrello_codice ON carrello (codice)"),

        QStringLiteral("CREATE TABLE ricevuta ("
                       " codice INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " dataop TEXT NOT NULL,"
                       " totale INTEGER NOT NULL)"),
        QStringLiteral("CREATE INDEX ricevuta_dataop ON ricevuta (dataop)"),

        QStringLiteral("CREATE TABLE \"generalità\" ("
                       " nome TEXT, info1 TEXT, info2 TEXT, info3 TEXT, info4 TEXT)"),
        QStringLiteral("INSERT INTO \"generalità\" (nome, info1, info2, info3, info4)"
                       " VALUES ('', '', '', '', '')"),

        QStringLiteral("PRAGMA user_version = %1").arg(VERSIONE_SCHEMA),
    };
}

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
            for (const QString &istruzione : istruzioniSchema()) {
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
