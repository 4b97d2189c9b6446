// Writes a new, empty Vorendi database file; never overwrites one.

#include "common/riga_di_comando.h"
#include "common/versione.h"
#include "data/configurazione.h"
#include "data/percorso.h"
#include "data/schema.h"
#include "data/server.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QLatin1String(VERSIONE));
    QCommandLineParser riga;
    riga.setApplicationDescription(QStringLiteral(
        "Crea un file Vorendi nuovo e vuoto. Un file che esiste già non viene mai sovrascritto.\n"
        "Con --server crea invece le tabelle di Vorendi in un database PostgreSQL vuoto;\n"
        "con --da-file e --server vi copia un file Vorendi esistente, in una sola transazione.\n"
        "Le tabelle appartengono all'utente della stringa di collegamento, che deve essere il\n"
        "proprietario del database; con --ruolo-casse le casse si collegano con un ruolo che usa\n"
        "i dati ma non può cambiare né cancellare le tabelle."));
    riga.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("Il file da creare (predefinito: Vorendi.mdb nella cartella di lavoro)."),
                               QStringLiteral("[file]"));
    const QCommandLineOption server(QStringLiteral("server"),
                                    QStringLiteral("Il database PostgreSQL, come stringa di collegamento "
                                                   "(\"host=... port=... dbname=... user=...\"; la password "
                                                   "in ~/.pgpass)."),
                                    QStringLiteral("collegamento"));
    const QCommandLineOption daFile(QStringLiteral("da-file"),
                                    QStringLiteral("Il file Vorendi da copiare nel database del server."),
                                    QStringLiteral("file"));
    const QCommandLineOption ruoloCasse(
        QStringLiteral("ruolo-casse"),
        QStringLiteral("Il ruolo PostgreSQL con cui si collegano le casse, già creato (createuser): riceve "
                       "solo ciò che serve a una cassa (leggere, aggiungere, cambiare e togliere righe, usare "
                       "i contatori e le funzioni), mai il diritto di cambiare o cancellare le tabelle."),
        QStringLiteral("ruolo"));
    riga.addOption(server);
    riga.addOption(daFile);
    riga.addOption(ruoloCasse);
    leggiRigaDiComando(riga, app);
    const QStringList argomenti = riga.positionalArguments();
    QTextStream errori(stderr);
    const bool sulServer = riga.isSet(server);
    if (argomenti.size() > 1 || (sulServer && !argomenti.isEmpty())
        || ((riga.isSet(daFile) || riga.isSet(ruoloCasse)) && !sulServer)) {
        errori << "Uso: vorendi-nuovo-db [file]\n"
                  "     vorendi-nuovo-db --server \"<collegamento>\" [--da-file <file>] [--ruolo-casse <ruolo>]\n";
        return 2;
    }
    const QString casse = riga.value(ruoloCasse);
    if (riga.isSet(ruoloCasse) && casse.isEmpty()) {
        errori << "Il nome del ruolo delle casse è vuoto.\n";
        return 2;
    }
    // The counter's name as the program takes it: a file's carts copied to
    // the server become this counter's cart.
    Configurazione configurazione = configurazioneDallAmbiente();
    configurazione.server = sulServer ? riga.value(server) : QString();
    configurazione.percorso = argomenti.isEmpty() ? percorsoPredefinito() : argomenti.first();
    impostaConfigurazione(configurazione);
    if (sulServer) {
        const QString &connessione = configurazione.server;
        QString errore;
        if (!connessioneValida(connessione, &errore)) {
            errori << errore << '\n';
            return 2;
        }
        const QString permessi = casse.isEmpty() ? QString()
                                                 : QStringLiteral("Il ruolo delle casse «%1» può usare i dati, "
                                                                  "non cambiare le tabelle.\n").arg(casse);
        if (riga.isSet(daFile)) {
            const EsitoMigrazione esito = migraSuServer(riga.value(daFile), connessione, casse);
            if (!esito.riuscita) {
                errori << esito.messaggio << '\n';
                return 1;
            }
            QTextStream(stdout) << esito.messaggio << '\n' << permessi;
            return 0;
        }
        if (!creaDatabaseServer(connessione, &errore, casse)) {
            errori << errore << '\n';
            return 1;
        }
        QTextStream(stdout) << "Create le tabelle nel database " << descrizioneServer(connessione) << '\n'
                            << permessi;
        return 0;
    }
    const QString &percorso = configurazione.percorso;
    QString errore;
    if (!creaDatabase(percorso, &errore)) {
        errori << errore << '\n';
        return 1;
    }
    QTextStream(stdout) << "Creato " << percorso << '\n';
    return 0;
}
