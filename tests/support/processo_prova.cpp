// A second process for the tests: sells or buys until killed, runs a
// routine as another user, makes the day's copy, draws a printout (a long
// one until killed), or works as one of several counters on a server. Each
// report is one write, so that a killed run leaves all it said in the pipe.

#include "counter/stampante_qt.h"
#include "counter/tracciato.h"
#include "data/configurazione.h"
#include "data/copie.h"
#include "data/database_routines.h"
#include "data/rapporto.h"
#include "support/banco_dati.h"

#include <QGuiApplication>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void scrivi(const QString &riga)
{
    const QByteArray testo = riga.toUtf8() + '\n';
    if (::write(STDOUT_FILENO, testo.constData(), size_t(testo.size())) != testo.size())
        std::_Exit(4);
}

QList<RigaVendita> daVendere(const QList<RigaCarrello> &righe)
{
    QList<RigaVendita> vendita;
    for (const RigaCarrello &r : righe)
        vendita.append({.idTipo = r.idTipo, .codice = r.codice, .prezzo = qint32(r.prezzo), .pezzi = qint16(r.pezzi)});
    return vendita;
}

// One statement straight on the file, past the routines: all of it or none.
bool sulFile(const QString &percorso, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool fatto = sqlite3_open(QFile::encodeName(percorso).constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return fatto;
}

// Steps until killed: "V n" or "A n" (n steps in the file) opens a step, "v"
// or "a" closes it. A sale sells the cart as the cart window does, after
// refilling it from prova_carrello in one transaction; purchase i, of
// ART-(i mod 10), gets movement id i + 1 and sale price i + 1. With pieno no
// file may grow (EFBIG): the step that fails must leave the file as it was.
int ciclo(const QString &percorso, bool vendite, bool pieno)
{
    const ElencoOperazioni acquisti = VisualizzaOperazioni(OPERAZIONE_ACQUISTO, {}, {}, {});
    qint64 i = acquisti.completo ? acquisti.righe.size() : -1;
    const rlimit limite{rlim_t(byteDelFile(percorso).size()), RLIM_INFINITY};
    if (pieno && (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limite) != 0))
        i = -1;
    for (qint64 fatti = 0; i >= 0; ++i, ++fatti) {
        if (vendite && !sulFile(percorso, "INSERT INTO carrello SELECT * FROM prova_carrello"
                                          " WHERE codice NOT IN (SELECT codice FROM carrello)"))
            break;
        if (fatti == 0)
            scrivi("pronto");
        scrivi(vendite ? QStringLiteral("V %1").arg(UltimaRicevuta().value_or(-1)) : QStringLiteral("A %1").arg(i));
        const QByteArray prima = pieno ? byteDelFile(percorso) : QByteArray();
        const bool fatto = vendite ? RegistraVendita(daVendere(VisualizzaCarrello().value_or(QList<RigaCarrello>()))).stato
                == EsitoVendita::Stato::Registrata
                                   : RegistraProdotto("Prova", QStringLiteral("ART-%1").arg(i % 10), qint32(i),
                                                      qint32(i + 1), qint16(i % 7 + 1), OPERAZIONE_ACQUISTO,
                                                      QDate::currentDate());
        if (!fatto && pieno) {
            scrivi(QStringLiteral("riusciti %1 invariato %2").arg(fatti).arg(byteDelFile(percorso) == prima));
            return 0;
        }
        if (!fatto)
            break;
        scrivi(vendite ? "v" : "a");
    }
    scrivi("errore: passo non registrato");
    return 3;
}

// A counter on the server: passi purchases of six shared articles, each
// followed by a checkout of one to four of them. Says "ricevuta n totale t"
// for each sale, "acquisto codice pezzi" for each purchase, "fallita" for a
// step not registered, "fine" at the end.
int cassa(const QString &connessione, const QString &nome, int passi, quint32 seme)
{
    // Another counter's rows are waited for, as a shopkeeper would.
    impostaConfigurazione({.server = connessione, .attesaFileBloccato = std::chrono::seconds(20), .postazione = nome});
    QRandomGenerator caso(seme);
    const QDate oggi = QDate::currentDate();
    for (int i = 0; i < passi; ++i) {
        const QString codice = QStringLiteral("ART-%1").arg(caso.bounded(6));
        const auto pezzi = qint16(caso.bounded(1, 9));
        scrivi(RegistraProdotto("Prova", codice, 50, 100 + i % 7, pezzi, OPERAZIONE_ACQUISTO, oggi)
                   ? QStringLiteral("acquisto %1 %2").arg(codice).arg(pezzi)
                   : QStringLiteral("fallita"));
        for (int linee = caso.bounded(1, 5); linee > 0; --linee)
            AggiungiCarrello(QStringLiteral("ART-%1").arg(caso.bounded(6)), qint16(caso.bounded(1, 4)));
        const QList<RigaCarrello> righe = VisualizzaCarrello().value_or(QList<RigaCarrello>());
        if (righe.isEmpty())
            continue;
        const EsitoVendita esito = RegistraVendita(daVendere(righe));
        if (esito.stato == EsitoVendita::Stato::Registrata) {
            scrivi(QStringLiteral("ricevuta %1 totale %2").arg(esito.numeroRicevuta).arg(esito.totale));
        } else {
            scrivi(QStringLiteral("fallita"));
            for (const RigaCarrello &r : righe)
                CancellaCarrello(r.codice);
        }
    }
    scrivi("fine");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing pages needs fonts, so a GUI application off screen; the rest
    // starts quicker without.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto app = argc > 1 && qstrcmp(argv[1], "stampa") == 0 ? std::make_unique<QGuiApplication>(argc, argv)
                                                                  : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList a = app->arguments();
    impostaConfigurazione({.percorso = a.value(2), .attesaFileBloccato = std::chrono::milliseconds(400)});
    installaSegnalatore([](const RapportoZona &r) {
        scrivi(QStringLiteral("rapporto %1 %2 %3").arg(r.zona).arg(r.numero).arg(r.descrizione));
    });
    if (a.value(1) == "cassa")
        return cassa(a.value(2), a.value(3), a.value(4).toInt(), a.value(5).toUInt());
    if (a.value(1) == "vendite" || a.value(1) == "acquisti")
        return ciclo(a.value(2), a.value(1) == "vendite", a.value(3) == "pieno");
    // root writes through any permission: become nobody, who cannot.
    if (a.value(1) == "nessuno") {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            scrivi("errore utente non cambiato");
            return 3;
        }
        scrivi(QStringLiteral("esito %1").arg(RegistraProdotto("Prova", "X", 1, 1, 1, OPERAZIONE_ACQUISTO, QDate(2024, 1, 1))));
        scrivi(QStringLiteral("esito %1").arg(!VisualizzaTipi().value_or(QList<RigaTipo>()).isEmpty()));
        return 0;
    }
    if (a.value(1) == "copia") {
        const EsitoCopia copia = copiaDelGiorno(a.value(2), QDate::currentDate());
        scrivi(copia.stato == EsitoCopia::Stato::Fatta ? QStringLiteral("fatta") : copia.motivo);
        return copia.stato == EsitoCopia::Stato::Fatta ? 0 : 3;
    }
    // "disegno" as the pages of a printout (long, unless told how many lines) begin to be drawn.
    if (a.value(1) == "stampa") {
        StampanteQt stampante("Elenco di prova", a.value(2), StampanteQt::Destinazione::SoloPdf);
        stampante.impostaCarattere(CARATTERE_STAMPA);
        for (int i = 1, n = a.size() > 3 ? a.value(3).toInt() : 100000; i <= n; ++i)
            stampante.stampaRiga(QStringLiteral("Riga %1 ").arg(i) + lineaSeparatrice());
        scrivi("disegno");
        return int(stampante.fineDocumento().modo);
    }
    scrivi("errore: uso processo_prova vendite|acquisti file [pieno], nessuno file, copia file,"
           " stampa cartella [righe], o cassa collegamento postazione passi seme");
    return 2;
}
