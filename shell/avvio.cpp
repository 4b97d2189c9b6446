#include "shell/avvio.h"

#include "common/messaggi.h"
#include "data/database_routines.h"
#include "data/schema.h"
#include "data/server.h"
#include "shell/segnalazioni.h"

#include <QDir>
#include <QFileInfo>

std::unique_ptr<MDIVorendi> avviaVorendi(const Configurazione &configurazione)
{
    installaSegnalatoreMessaggi();
    impostaConfigurazione(configurazione);
    auto finestra = std::make_unique<MDIVorendi>(configurazione);
    const QString &connessione = configurazione.server;
    // A wrong string is told, and never replaced by the file: the counters
    // would sell apart.
    QString errore;
    if (!connessione.isEmpty() && !connessioneValida(connessione, &errore))
        mostraMessaggio(finestra.get(), errore + QStringLiteral("\nControllare VORENDI_SERVER."));
    // Started where there is no shop file: a new one only if the shopkeeper
    // wants it, else the missing file is reported (zone 12) and the program
    // opens all the same.
    const QString &file = configurazione.percorso;
    bool creato = true;
    if (connessione.isEmpty() && !QFileInfo::exists(file)
        && chiediConferma(finestra.get(),
                          QStringLiteral("Il file %1 non c'è. Crearne uno nuovo, vuoto?")
                              .arg(QDir::toNativeSeparators(file)),
                          QMessageBox::No)
        && !(creato = creaDatabase(file, &errore)))
        mostraMessaggio(finestra.get(), errore);
    // A file that does not open has already been reported, and a copy of it
    // would only fail again.
    if (creato && LeggiGeneralita().has_value() && configurazione.copiaDelGiorno)
        finestra->avviaCopiaDelGiorno();
    return finestra;
}
