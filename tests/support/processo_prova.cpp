// A second process for the tests that need one: it sells or buys in a loop
// until it is killed, holds a file locked, or runs one routine as another
// user or with a file size limit. Progress goes to stdout as short lines, one
// write each, so that a killed run leaves everything it said in the pipe.

#include "common/formati.h"
#include "data/database_routines.h"
#include "data/percorso.h"
#include "data/rapporto.h"
#include "data/routine.h"
#include "support/comandi_di_prova.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void scrivi(const QString &riga)
{
    const QByteArray testo = riga.toUtf8() + '\n';
    qsizetype scritti = 0;
    while (scritti < testo.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, testo.constData() + scritti,
                                  size_t(testo.size() - scritti));
        if (n <= 0)
            std::_Exit(4);
        scritti += n;
    }
}

[[noreturn]] void termina(int codice, const QString &perche)
{
    scrivi(QStringLiteral("errore ") + perche);
    std::_Exit(codice);
}

qint64 contaRighe(const QString &tabella)
{
    qint64 righe = -1;
    eseguiRoutine(99, [&](Sessione &s) {
        QSqlQuery q = s.esegui(QStringLiteral("SELECT count(*) FROM ") + tabella);
        if (Sessione::prossima(q))
            righe = colonnaIntero(q, 0);
    });
    return righe;
}

// Puts back the cart lines that a sale took, all in one transaction; the
// lines to sell are kept in prova_carrello by the test.
bool riempiCarrello()
{
    return eseguiRoutine(99, [](Sessione &s) {
        Transazione t(s);
        s.esegui(QStringLiteral("INSERT INTO carrello SELECT * FROM prova_carrello"
                                " WHERE codice NOT IN (SELECT codice FROM carrello)"));
        t.conferma();
    });
}

// The checkout as the cart window makes it: the lines as listed, the total
// as shown.
bool vendi()
{
    QList<RigaCarrello> righe;
    if (!VisualizzaCarrello(righe))
        return false;
    QList<RigaVendita> vendita;
    for (const RigaCarrello &r : righe)
        vendita.append({r.tipo, r.codice, qint32(r.prezzo), qint16(r.pezzi)});
    const EsitoVendita esito = RegistraVendita(vendita, totaleCarrello(righe), dataOggi());
    return esito.stato == EsitoVendita::Stato::Registrata;
}

[[noreturn]] void vendite()
{
    if (!riempiCarrello())
        termina(3, QStringLiteral("carrello non riempito"));
    scrivi(QStringLiteral("pronto"));
    for (;;) {
        scrivi(QStringLiteral("R"));
        if (!riempiCarrello())
            termina(3, QStringLiteral("carrello non riempito"));
        scrivi(QStringLiteral("r"));
        scrivi(QStringLiteral("V %1").arg(UltimaRicevuta()));
        if (!vendi())
            termina(3, QStringLiteral("vendita non registrata"));
        scrivi(QStringLiteral("v"));
    }
}

// Purchase i of article ART-(i mod 10): sale price i + 1, the movement's
// id-to-be, so that the latest movement of a code is known from the stock.
bool acquista(qint64 i)
{
    return RegistraProdotto(QStringLiteral("Prova"), QStringLiteral("ART-%1").arg(i % 10),
                            qint32(i), qint32(i + 1), qint16(i % 7 + 1), OPERAZIONE_ACQUISTO,
                            dataOggi());
}

[[noreturn]] void acquisti()
{
    qint64 i = contaRighe(QStringLiteral("prodotto"));
    if (i < 0)
        termina(3, QStringLiteral("movimenti non contati"));
    scrivi(QStringLiteral("pronto"));
    for (;; ++i) {
        scrivi(QStringLiteral("A %1").arg(i));
        if (!acquista(i))
            termina(3, QStringLiteral("acquisto non registrato"));
        scrivi(QStringLiteral("a"));
    }
}

// Another program in the middle of writing: a write transaction with one
// row written, held for a while, then rolled back.
int blocca(const QString &percorso, int millisecondi, bool esclusiva)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("blocco"));
        db.setDatabaseName(percorso);
        if (!db.open())
            termina(3, db.lastError().text());
        QSqlQuery q(db);
        if (!q.exec(esclusiva ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN IMMEDIATE"))
            || !q.exec(QStringLiteral("INSERT INTO tipo (codice) VALUES ('bloccante')")))
            termina(3, q.lastError().text());
        scrivi(QStringLiteral("bloccato"));
        QThread::msleep(millisecondi);
        q.exec(QStringLiteral("ROLLBACK"));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("blocco"));
    scrivi(QStringLiteral("libero"));
    return 0;
}

void senzaPrivilegi()
{
    // root writes through any permission: become nobody, who cannot.
    if (::geteuid() != 0)
        return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
        termina(3, QStringLiteral("utente non cambiato"));
}

int esegui(const QString &nome, bool nessuno)
{
    const ComandoDiProva *comando = comandoDiProva(nome);
    if (!comando)
        termina(3, QStringLiteral("comando sconosciuto ") + nome);
    if (nessuno)
        senzaPrivilegi();
    const bool riuscito = comando->esegui();
    scrivi(QStringLiteral("esito %1").arg(riuscito ? 1 : 0));
    return 0;
}

// A disk that fills up: no file of this process may grow beyond the size the
// database has now. The step is repeated until it fails; the file must then
// be exactly as before that step.
int pieno(const QString &percorso, const QString &passo)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const auto dimensione = rlim_t(byteDelFile(percorso).size());
    const rlimit limite{dimensione, dimensione};
    if (::setrlimit(RLIMIT_FSIZE, &limite) != 0)
        termina(3, QStringLiteral("limite non impostato"));
    for (qint64 n = 0; n < 100000; ++n) {
        if (passo == QLatin1String("vendite") && !riempiCarrello())
            termina(3, QStringLiteral("carrello non riempito"));
        const QByteArray prima = byteDelFile(percorso);
        bool riuscito = false;
        if (passo == QLatin1String("vendite"))
            riuscito = vendi();
        else if (passo == QLatin1String("acquisti"))
            riuscito = acquista(n);
        else
            riuscito = AggiungiTipo(QString(300, u'x') + QString::number(n));
        if (!riuscito) {
            scrivi(QStringLiteral("riusciti %1").arg(n));
            scrivi(QStringLiteral("invariato %1").arg(byteDelFile(percorso) == prima ? 1 : 0));
            return 0;
        }
    }
    termina(3, QStringLiteral("il file non si è mai riempito"));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    if (argomenti.size() < 3)
        termina(2, QStringLiteral("uso: processo_prova modo file [...]"));
    const QString modo = argomenti.at(1);
    const QString percorso = argomenti.at(2);
    impostaPercorsoDatabase(percorso);
    installaSegnalatore([](const RapportoZona &r) {
        scrivi(QStringLiteral("rapporto %1 %2 %3").arg(r.zona).arg(r.numero).arg(r.descrizione));
    });

    if (modo == QLatin1String("vendite"))
        vendite();
    if (modo == QLatin1String("acquisti"))
        acquisti();
    if (modo == QLatin1String("blocca") && argomenti.size() == 5)
        return blocca(percorso, argomenti.at(3).toInt(), argomenti.at(4) == QLatin1String("esclusiva"));
    if (modo == QLatin1String("esegui") && argomenti.size() >= 4)
        return esegui(argomenti.at(3), argomenti.value(4) == QLatin1String("nessuno"));
    if (modo == QLatin1String("pieno") && argomenti.size() == 4)
        return pieno(percorso, argomenti.at(3));
    termina(2, QStringLiteral("modo sconosciuto ") + modo);
}
