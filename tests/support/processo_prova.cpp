// A second process for the tests that need one: it sells or buys in a loop
// until it is killed, holds a file locked, runs one routine as another user
// or under a file size limit, or saves a printout as a PDF. It reports in short lines, one write
// each, so that a killed run leaves everything it said in the pipe.

#include "common/formati.h"
#include "counter/stampante_qt.h"
#include "counter/tracciato.h"
#include "data/database_routines.h"
#include "data/percorso.h"
#include "data/rapporto.h"
#include "data/routine.h"
#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"

#include <QCoreApplication>
#include <QDate>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <csignal>
#include <memory>
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

[[noreturn]] void termina(const QString &perche)
{
    scrivi(QStringLiteral("errore ") + perche);
    std::_Exit(3);
}

// Puts back, in one transaction, the cart lines a sale took from prova_carrello.
void riempiCarrello()
{
    const bool fatto = eseguiRoutine(Zona{99}, [](Sessione &s) {
        Transazione t(s);
        s.esegui(QStringLiteral("INSERT INTO carrello SELECT * FROM prova_carrello"
                                " WHERE codice NOT IN (SELECT codice FROM carrello)"));
        t.conferma();
    });
    if (!fatto)
        termina(QStringLiteral("carrello non riempito"));
}

// The checkout as the cart window makes it: the lines as listed, the total as shown.
bool vendi()
{
    QList<RigaCarrello> righe;
    if (!VisualizzaCarrello(righe))
        return false;
    QList<RigaVendita> vendita;
    for (const RigaCarrello &r : righe)
        vendita.append({r.idTipo, r.codice, qint32(r.prezzo), qint16(r.pezzi)});
    return RegistraVendita(vendita, totaleCarrello(righe), QDate::currentDate()).stato
        == EsitoVendita::Stato::Registrata;
}

// Purchase i of ART-(i mod 10) at sale price i + 1, the movement's id-to-be,
// so that the latest movement of a code is known from its stock row.
bool acquista(qint64 i)
{
    return RegistraProdotto(QStringLiteral("Prova"), QStringLiteral("ART-%1").arg(i % 10), qint32(i),
                            qint32(i + 1), qint16(i % 7 + 1), OPERAZIONE_ACQUISTO, QDate::currentDate());
}

// A step runs from "V n" or "A n" (n steps already in the file) to "v" or
// "a"; the cart is refilled between "R" and "r".
[[noreturn]] void vendite()
{
    riempiCarrello();
    scrivi(QStringLiteral("pronto"));
    for (;;) {
        scrivi(QStringLiteral("R"));
        riempiCarrello();
        scrivi(QStringLiteral("r"));
        scrivi(QStringLiteral("V %1").arg(UltimaRicevuta()));
        if (!vendi())
            termina(QStringLiteral("vendita non registrata"));
        scrivi(QStringLiteral("v"));
    }
}

[[noreturn]] void acquisti()
{
    qint64 i = -1;
    eseguiRoutine(Zona{99}, [&](Sessione &s) {
        QSqlQuery q = s.esegui(QStringLiteral("SELECT count(*) FROM prodotto"));
        if (Sessione::prossima(q))
            i = colonnaIntero(q, 0);
    });
    if (i < 0)
        termina(QStringLiteral("movimenti non contati"));
    scrivi(QStringLiteral("pronto"));
    for (;; ++i) {
        scrivi(QStringLiteral("A %1").arg(i));
        if (!acquista(i))
            termina(QStringLiteral("acquisto non registrato"));
        scrivi(QStringLiteral("a"));
    }
}

// Another program in the middle of writing: one row written in a write
// transaction held for a while, then rolled back.
int blocca(const QString &percorso, int millisecondi, const QString &modo)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("blocco"));
        db.setDatabaseName(percorso);
        if (!db.open())
            termina(db.lastError().text());
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("BEGIN ") + modo)
            || !q.exec(QStringLiteral("INSERT INTO tipo (codice) VALUES ('bloccante')")))
            termina(q.lastError().text());
        scrivi(QStringLiteral("bloccato"));
        QThread::msleep(millisecondi);
        q.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("blocco"));
    return 0;
}

int esegui(const QString &nome, bool nessuno)
{
    const ComandoDiProva *comando = comandoDiProva(nome);
    if (!comando)
        termina(QStringLiteral("comando sconosciuto ") + nome);
    // root writes through any permission: become nobody, who cannot.
    if (nessuno && ::geteuid() == 0
        && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        termina(QStringLiteral("utente non cambiato"));
    scrivi(QStringLiteral("esito %1").arg(comando->esegui() ? 1 : 0));
    return 0;
}

// A disk that fills up: no file of this process may grow beyond the size the
// database has now. Sales or purchases are repeated until one fails, which
// must leave the file exactly as it was before it.
int pieno(const QString &percorso, bool vendita)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const auto dimensione = rlim_t(byteDelFile(percorso).size());
    const rlimit limite{dimensione, dimensione};
    if (::setrlimit(RLIMIT_FSIZE, &limite) != 0)
        termina(QStringLiteral("limite non impostato"));
    for (qint64 n = 0; n < 100000; ++n) {
        if (vendita)
            riempiCarrello();
        const QByteArray prima = byteDelFile(percorso);
        if (!(vendita ? vendi() : acquista(n))) {
            scrivi(QStringLiteral("riusciti %1").arg(n));
            scrivi(QStringLiteral("invariato %1").arg(byteDelFile(percorso) == prima ? 1 : 0));
            return 0;
        }
    }
    termina(QStringLiteral("il file non si è mai riempito"));
}

// No file of this process may grow beyond that many bytes; a write past it
// fails, or, with SIGXFSZ left alone, kills the process there.
void limitaFile(rlim_t byte, bool uccide)
{
    std::signal(SIGXFSZ, uccide ? SIG_DFL : SIG_IGN);
    const rlimit limite{byte, byte};
    if (::setrlimit(RLIMIT_FSIZE, &limite) != 0)
        termina(QStringLiteral("limite non impostato"));
}

// A listing of that many lines saved as a PDF in the folder, with files
// limited to that many bytes (0: no limit): "disegno" as the pages begin to
// be drawn, then the outcome's mode.
int stampa(const QString &cartella, int righe, qint64 limite)
{
    if (limite > 0)
        limitaFile(rlim_t(limite), false);
    StampanteQt stampante(QStringLiteral("Elenco di prova"), cartella,
                          StampanteQt::Destinazione::SoloPdf);
    stampante.impostaCarattere(CARATTERE_STAMPA);
    stampante.impostaDimensione(DIMENSIONE_STAMPA);
    for (int i = 1; i <= righe; ++i)
        stampante.stampaRiga(QStringLiteral("Riga %1 ").arg(i) + lineaSeparatrice());
    scrivi(QStringLiteral("disegno"));
    scrivi(QStringLiteral("esito %1").arg(int(stampante.fineDocumento().modo)));
    return 0;
}

// A PDF being saved when the file size limit kills the process: "scrivo"
// just before the file is written.
int salva(const QString &cartella, qint64 limite)
{
    limitaFile(rlim_t(limite), true);
    scrivi(QStringLiteral("scrivo"));
    QString nome;
    const bool fatto = StampanteQt::salvaPdf(cartella, QStringLiteral("Elenco di prova"),
                                             QByteArray(limite * 4, 'x'), &nome);
    scrivi(QStringLiteral("esito %1").arg(fatto ? 1 : 0));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing pages needs fonts, so a GUI application, off screen.
    std::unique_ptr<QCoreApplication> applicazione;
    if (argc > 1 && qstrcmp(argv[1], "stampa") == 0) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        applicazione = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        applicazione = std::make_unique<QCoreApplication>(argc, argv);
    }
    const QStringList a = applicazione->arguments();
    const QString modo = a.value(1);
    impostaPercorsoDatabase(a.value(2));
    impostaAttesaFileBloccato(ATTESA_PROVA);
    installaSegnalatore([](const RapportoZona &r) {
        scrivi(QStringLiteral("rapporto %1 %2 %3").arg(r.zona).arg(r.numero).arg(r.descrizione));
    });
    if (modo == QLatin1String("vendite"))
        vendite();
    if (modo == QLatin1String("acquisti"))
        acquisti();
    if (modo == QLatin1String("blocca") && a.size() == 5)
        return blocca(a.at(2), a.at(3).toInt(), a.at(4));
    if (modo == QLatin1String("esegui") && a.size() >= 4)
        return esegui(a.at(3), a.value(4) == QLatin1String("nessuno"));
    if (modo == QLatin1String("pieno") && a.size() == 4)
        return pieno(a.at(2), a.at(3) == QLatin1String("vendite"));
    if (modo == QLatin1String("stampa") && a.size() == 5)
        return stampa(a.at(2), a.at(3).toInt(), a.at(4).toLongLong());
    if (modo == QLatin1String("salva") && a.size() == 4)
        return salva(a.at(2), a.at(3).toLongLong());
    termina(QStringLiteral(
        "uso: processo_prova vendite|acquisti|blocca|esegui|pieno|stampa|salva file [...]"));
}
