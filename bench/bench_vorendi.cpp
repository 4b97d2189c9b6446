// The program's own code against bare SQLite on a large shop file. Each bare
// reference runs the very statements the routine runs, with the same values,
// on the same file state.
// Usage: vorendi-bench file.mdb [--server] [Google Benchmark options]
//        (--server: also the server_* cases, on a private PostgreSQL cluster
//        the file is copied into, against bare libpq)
//        vorendi-bench file.mdb --server [--collegamento STRINGA] [--ritardo MS[,MS...]]
//        (the server of the string instead of a private cluster; the rete_*
//        cases at those delays added each way, 0,1,5,20 unless told)
//        vorendi-bench file.mdb --una-vendita=programma|riferimento|nessuna
//        (one checkout on a copy and nothing else, for counting its fsyncs)

#include "bench/nudo.h"
#include "bench/proxy.h"

#include "common/formati.h"
#include "common/lettore.h"
#include "common/messaggi.h"
#include "counter/Ricevute_frm.h"
#include "counter/VisCarrello_frm.h"
#include "counter/stampante.h"
#include "reports/Operazioni_frm.h"
#include "stock/AggCarrello_frm.h"
#include "data/configurazione.h"
#include "data/copie.h"
#include "data/database_routines.h"
#include "data/rapporto.h"
#include "data/server.h"
#include "shell/avvio.h"
#include "tests/support/server_prova.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QVarLengthArray>

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

QString &fileGrande()
{
    static QString percorso;
    return percorso;
}

// Writes go to a copy named as start-up looks for it, so the cached file
// stays as generated.
QString &fileScrivibile()
{
    static QString percorso;
    return percorso;
}

constexpr int ANNO = 2020;

// A window as the shop sees it: shown at a working size, its first paint
// done, so that the visible cells are formatted.
void mostra(QWidget &finestra)
{
    finestra.resize(finestra.sizeHint().expandedTo(QSize(1000, 700)));
    finestra.show();
    QApplication::processEvents();
}

// Monthly statistics -------------------------------------------------------

void Statistiche_Programma(benchmark::State &stato)
{
    impostaConfigurazione({.percorso = fileGrande()});
    for (auto _ : stato) {
        const std::optional<SlotMensili> slot = CalcolaStatistiche(int(stato.range(0)), ANNO);
        if (!slot)
            stato.SkipWithError("statistiche non calcolate");
        benchmark::DoNotOptimize(slot);
    }
}
BENCHMARK(Statistiche_Programma)->Name("statistiche_anno/programma")->Arg(1)->Arg(2)
    ->Unit(benchmark::kMillisecond);

// Both modes run the one statement.
void Statistiche_Riferimento(benchmark::State &stato)
{
    const QString da = QStringLiteral("%1-").arg(ANNO);
    const QString a = QStringLiteral("%1.").arg(ANNO);
    for (auto _ : stato) {
        Nudo nudo(fileGrande());
        benchmark::DoNotOptimize(nudo.leggi(
            "SELECT dataop,"
            " sum(operazione = 1),"
            " sum(CASE WHEN operazione = 1 THEN prezzoacquisto ELSE 0 END),"
            " sum(operazione = 2),"
            " sum(CASE WHEN operazione = 2 THEN prezzovendita ELSE 0 END)"
            " FROM prodotto WHERE dataop >= ? AND dataop < ?"
            " GROUP BY dataop",
            {da, a}));
    }
}
BENCHMARK(Statistiche_Riferimento)->Name("statistiche_anno/riferimento")
    ->Unit(benchmark::kMillisecond);

// Operations register -------------------------------------------------------

struct Periodo
{
    const char *nome;
    qint16 operazione;
    const char *tipo;
    QDate dal;
    QDate al;
};

const Periodo PERIODI[] = {
    {"operazioni_vendite_anno", 2, "", QDate(ANNO, 1, 1), QDate(ANNO, 12, 31)},
    {"operazioni_vendite_tutte", 2, "", QDate(), QDate()},
    {"operazioni_giorno", 2, "", QDate(ANNO, 5, 15), QDate(ANNO, 5, 15)},
    {"operazioni_tipo_tutti_gli_anni", 2, "Dadi", QDate(), QDate()},
};

void Operazioni_Programma(benchmark::State &stato, const Periodo &periodo)
{
    impostaConfigurazione({.percorso = fileGrande()});
    Operazioni_frm finestra;
    mostra(finestra);
    const QString tipo = QString::fromUtf8(periodo.tipo);
    qint64 righe = 0;
    for (auto _ : stato) {
        finestra.elenca(periodo.operazione, tipo, periodo.dal, periodo.al);
        if (!finestra.attendiElenco())
            stato.SkipWithError("elenco non riuscito");
        QApplication::processEvents();
        righe = finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"))->model()->rowCount() - 1;
    }
    stato.counters["righe"] = double(righe);
}

// The register's two statements and their values, as the routine builds them.
struct IstruzioneOperazioni
{
    QByteArray sql;
    QVariantList valori;
};

IstruzioneOperazioni istruzioneOperazioni(const Periodo &periodo)
{
    IstruzioneOperazioni i{"SELECT p.id, p.dataop, p.codice, p.tipo, p.prezzoacquisto,"
                           " p.prezzovendita, p.pezzi FROM prodotto p WHERE p.operazione = ?",
                           {periodo.operazione}};
    if (*periodo.tipo) {
        i.sql += " AND p.tipo = (SELECT id FROM tipo WHERE codice = ? ORDER BY id LIMIT 1)";
        i.valori.append(QString::fromUtf8(periodo.tipo));
    }
    if (periodo.dal.isValid()) {
        i.sql += " AND p.dataop >= ?";
        i.valori.append(periodo.dal.toString(Qt::ISODate));
    }
    if (periodo.al.isValid()) {
        i.sql += " AND p.dataop <= ?";
        i.valori.append(periodo.al.toString(Qt::ISODate));
    }
    i.sql += " ORDER BY p.dataop, p.codice, p.tipo, p.id";
    return i;
}

qint64 leggiOperazioni(Nudo &nudo, const IstruzioneOperazioni &i, qint64 massimo)
{
    benchmark::DoNotOptimize(nudo.leggi("SELECT id, codice FROM tipo"));
    switch (i.valori.size()) {
    case 1: return nudo.leggi(i.sql.constData(), {i.valori[0]}, massimo);
    case 2: return nudo.leggi(i.sql.constData(), {i.valori[0], i.valori[1]}, massimo);
    default: return nudo.leggi(i.sql.constData(), {i.valori[0], i.valori[1], i.valori[2]}, massimo);
    }
}

// The program keeps its connection from one list to the next: so does the
// reference.
void Operazioni_Riferimento(benchmark::State &stato, const Periodo &periodo)
{
    const IstruzioneOperazioni istruzione = istruzioneOperazioni(periodo);
    Nudo nudo(fileGrande());
    qint64 righe = 0;
    for (auto _ : stato)
        righe = leggiOperazioni(nudo, istruzione, std::numeric_limits<qint64>::max());
    stato.counters["righe"] = double(righe);
}

void registraOperazioni()
{
    for (const Periodo &periodo : PERIODI) {
        benchmark::RegisterBenchmark((std::string(periodo.nome) + "/programma").c_str(),
                                     Operazioni_Programma, periodo)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(periodo.nome) + "/riferimento").c_str(),
                                     Operazioni_Riferimento, periodo)
            ->Unit(benchmark::kMillisecond);
    }
}

// The stock of one type, 400 rows: one statement ---------------------------------

const char *const SQL_RIMANENZE = "SELECT codice, prezzo, pezzi FROM rimanenze WHERE tipo ="
                                  " (SELECT id FROM tipo WHERE codice=? ORDER BY id LIMIT 1)"
                                  " ORDER BY codice";

void Rimanenze_Programma(benchmark::State &stato)
{
    impostaConfigurazione({.percorso = fileGrande()});
    AggCarrello_frm finestra;
    mostra(finestra);
    auto *tipi = finestra.findChild<QComboBox *>(QStringLiteral("Combo1"));
    const int viti = tipi->findText(QStringLiteral("Viti"));
    for (auto _ : stato) {
        emit tipi->activated(viti);
        finestra.findChild<Lettore *>()->attendi();
        QApplication::processEvents();
    }
}
BENCHMARK(Rimanenze_Programma)->Name("rimanenze_tipo/programma")->Unit(benchmark::kMillisecond);

void Rimanenze_Riferimento(benchmark::State &stato)
{
    Nudo nudo(fileGrande());
    for (auto _ : stato)
        benchmark::DoNotOptimize(nudo.leggi(SQL_RIMANENZE, {QStringLiteral("Viti")}));
}
BENCHMARK(Rimanenze_Riferimento)->Name("rimanenze_tipo/riferimento")->Unit(benchmark::kMillisecond);

// Receipts register ----------------------------------------------------------

void Ricevute_Programma(benchmark::State &stato)
{
    impostaConfigurazione({.percorso = fileGrande()});
    Ricevute_frm finestra;
    mostra(finestra);
    auto *aggiorna = finestra.findChild<QPushButton *>(QStringLiteral("Command1"));
    for (auto _ : stato) {
        aggiorna->click();
        finestra.findChild<Lettore *>()->attendi();
        QApplication::processEvents();
    }
}
BENCHMARK(Ricevute_Programma)->Name("ricevute_tutte/programma")->Unit(benchmark::kMillisecond);

const char *const SQL_RICEVUTE = "SELECT codice, dataop, totale FROM ricevuta ORDER BY dataop, codice";

void Ricevute_Riferimento(benchmark::State &stato)
{
    Nudo nudo(fileGrande());
    for (auto _ : stato)
        benchmark::DoNotOptimize(nudo.leggi(SQL_RICEVUTE));
}
BENCHMARK(Ricevute_Riferimento)->Name("ricevute_tutte/riferimento")->Unit(benchmark::kMillisecond);

// The first screen of each list ----------------------------------------------
// From the command to the first screen of rows painted, the rest of the list
// still being read; the reference reads that many rows with the same
// statements. Between rounds, untimed, the read is stopped.

struct ListaSchermo
{
    const char *nome;
    std::function<std::unique_ptr<QWidget>()> crea;
    std::function<void(QWidget &)> avvia;
    std::function<qint64(Nudo &, qint64 righe)> riferimento;
};

// Rows a grid shows at once.
int righeInVista(const QTableView &vista)
{
    return vista.viewport()->height() / vista.verticalHeader()->defaultSectionSize() + 1;
}

int &righeSchermo()
{
    static int righe = 0;
    return righe;
}

const ListaSchermo LISTE_SCHERMO[] = {
    {"primo_schermo_vendite_tutte", [] { return std::unique_ptr<QWidget>(new Operazioni_frm); },
     [](QWidget &f) { static_cast<Operazioni_frm &>(f).elenca(2, QString(), QDate(), QDate()); },
     [](Nudo &nudo, qint64 righe) { return leggiOperazioni(nudo, istruzioneOperazioni(PERIODI[1]), righe); }},
    {"primo_schermo_acquisti_tutti", [] { return std::unique_ptr<QWidget>(new Operazioni_frm); },
     [](QWidget &f) { static_cast<Operazioni_frm &>(f).elenca(1, QString(), QDate(), QDate()); },
     [](Nudo &nudo, qint64 righe) {
         return leggiOperazioni(nudo, istruzioneOperazioni({"", 1, "", QDate(), QDate()}), righe);
     }},
    {"primo_schermo_ricevute_tutte", [] { return std::unique_ptr<QWidget>(new Ricevute_frm); },
     [](QWidget &f) { f.findChild<QPushButton *>(QStringLiteral("Command1"))->click(); },
     [](Nudo &nudo, qint64 righe) { return nudo.leggi(SQL_RICEVUTE, {}, righe); }},
    {"primo_schermo_rimanenze_tipo", [] { return std::unique_ptr<QWidget>(new AggCarrello_frm); },
     [](QWidget &f) {
         auto *tipi = f.findChild<QComboBox *>(QStringLiteral("Combo1"));
         emit tipi->activated(tipi->findText(QStringLiteral("Viti")));
     },
     [](Nudo &nudo, qint64 righe) { return nudo.leggi(SQL_RIMANENZE, {QStringLiteral("Viti")}, righe); }},
};

void primoSchermo(benchmark::State &stato, const ListaSchermo &lista, const Configurazione &configurazione)
{
    impostaConfigurazione(configurazione);
    const std::unique_ptr<QWidget> finestra = lista.crea();
    mostra(*finestra);
    auto *vista = finestra->findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
    auto *lettore = finestra->findChild<Lettore *>();
    const int schermo = righeInVista(*vista);
    righeSchermo() = schermo;
    int righe = 0;
    for (auto _ : stato) {
        lista.avvia(*finestra);
        while (vista->model()->rowCount() - 1 < schermo && lettore->inCorso())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        vista->viewport()->repaint();
        righe = vista->model()->rowCount() - 1;
        stato.PauseTiming();
        lettore->ferma();
        stato.ResumeTiming();
    }
    stato.counters["righe"] = double(righe);
    impostaConfigurazione({});
}

void PrimoSchermo_Programma(benchmark::State &stato, const ListaSchermo &lista)
{
    primoSchermo(stato, lista, {.percorso = fileGrande()});
}

void PrimoSchermo_Riferimento(benchmark::State &stato, const ListaSchermo &lista)
{
    // The program's screen, or a typical one when the program was not run.
    const qint64 schermo = righeSchermo() > 0 ? righeSchermo() : 30;
    Nudo nudo(fileGrande());
    qint64 righe = 0;
    for (auto _ : stato)
        righe = lista.riferimento(nudo, schermo);
    stato.counters["righe"] = double(righe);
}

void registraPrimoSchermo()
{
    for (const ListaSchermo &lista : LISTE_SCHERMO) {
        benchmark::RegisterBenchmark((std::string(lista.nome) + "/programma").c_str(),
                                     PrimoSchermo_Programma, lista)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(lista.nome) + "/riferimento").c_str(),
                                     PrimoSchermo_Riferimento, lista)
            ->Unit(benchmark::kMillisecond);
    }
}

// Code suggestions for one typed letter --------------------------------------

void Suggerimenti_Programma(benchmark::State &stato)
{
    impostaConfigurazione({.percorso = fileGrande()});
    for (auto _ : stato)
        benchmark::DoNotOptimize(SuggerimentiCodice(7, QStringLiteral("a")));
}
BENCHMARK(Suggerimenti_Programma)->Name("suggerimenti_lettera/programma")
    ->Unit(benchmark::kMicrosecond);

void Suggerimenti_Riferimento(benchmark::State &stato)
{
    for (auto _ : stato) {
        Nudo nudo(fileGrande());
        benchmark::DoNotOptimize(nudo.leggi(
            "SELECT codice FROM rimanenze WHERE tipo=? AND codice LIKE ? ESCAPE '!'"
            " ORDER BY codice",
            {7, QStringLiteral("a%")}));
    }
}
BENCHMARK(Suggerimenti_Riferimento)->Name("suggerimenti_lettera/riferimento")
    ->Unit(benchmark::kMicrosecond);

// Finding an article by code, one key at a time ------------------------------

// What the shopkeeper has typed after 1 to 4 keys.
QString digitato(const benchmark::State &stato)
{
    return QStringLiteral("AB-1").left(int(stato.range(0)));
}

void Trova_Programma(benchmark::State &stato)
{
    impostaConfigurazione({.percorso = fileGrande()});
    for (auto _ : stato)
        benchmark::DoNotOptimize(TrovaRimanenze(digitato(stato)));
}
BENCHMARK(Trova_Programma)->Name("trova_codice/programma")->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

void Trova_Riferimento(benchmark::State &stato)
{
    for (auto _ : stato) {
        Nudo nudo(fileGrande());
        benchmark::DoNotOptimize(nudo.leggi(
            "SELECT r.codice, r.prezzo, r.pezzi, coalesce(t.codice, '') FROM rimanenze r"
            " LEFT JOIN tipo t ON t.id = r.tipo WHERE r.codice LIKE ? ESCAPE '!' ORDER BY r.codice",
            {u'%' + digitato(stato) + u'%'}));
    }
}
BENCHMARK(Trova_Riferimento)->Name("trova_codice/riferimento")->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

// The day's backup of the large file, and the longest a purchase made at the
// same time waits for it. No bare reference: nothing bare does this work
// (a stepped copy restarted by writes), and a ratio to another would mean
// nothing -----------------------------------------------------------------------

void Copia_Programma(benchmark::State &stato)
{
    double attesaMassima = 0;
    for (auto _ : stato) {
        stato.PauseTiming();
        QDir(QFileInfo(fileScrivibile()).absolutePath() + QStringLiteral("/Backup")).removeRecursively();
        impostaConfigurazione({.percorso = fileScrivibile()});
        const QString tipo = CodiceTipo(1).value_or(std::nullopt).value_or(QString());
        std::atomic<bool> finita = false;
        stato.ResumeTiming();
        std::thread copia([&] {
            if (copiaDelGiorno(fileScrivibile(), QDate(2030, 1, 1)).stato != EsitoCopia::Stato::Fatta)
                stato.SkipWithError("copia non fatta");
            finita = true;
        });
        // A sale or a purchase every quarter of a second, a busy counter.
        for (int i = 0; !finita; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(250))) {
            QElapsedTimer tempo;
            tempo.start();
            if (!RegistraProdotto(tipo, QStringLiteral("COPIA-%1").arg(i % 50), 1, 2, 1, OPERAZIONE_ACQUISTO,
                                  QDate(2030, 1, 1)))
                stato.SkipWithError("acquisto non registrato");
            attesaMassima = std::max(attesaMassima, tempo.nsecsElapsed() / 1e6);
        }
        copia.join();
    }
    stato.counters["acquisto_piu_lento_ms"] = attesaMassima;
}
BENCHMARK(Copia_Programma)->Name("copia_del_giorno/programma")->Unit(benchmark::kMillisecond)->Iterations(3);


// Checkout of the 200-line cart ----------------------------------------------

// The cart as the checkout window hands it over, and what a checkout changes,
// so that every iteration of either side starts from the same file.
struct Carrello
{
    QList<RigaVendita> righe;
    qint64 totale = 0;
    qint64 ultimoMovimento = 0;
    qint64 ultimaRicevuta = 0;
    qint64 sequenzaMovimenti = 0;
    qint64 sequenzaRicevute = 0;
    QList<qint64> pezziInScorta; // of each line's article
    QList<qint64> totaliRighe; // as stored in the cart
};

Carrello leggiCarrello(const QString &percorso)
{
    impostaConfigurazione({.percorso = percorso});
    const QList<RigaCarrello> righe = VisualizzaCarrello().value_or(QList<RigaCarrello>());
    if (righe.isEmpty())
        throw std::runtime_error("carrello non letto");
    Carrello carrello;
    Nudo nudo(percorso);
    Preparata scorta(nudo, "SELECT pezzi FROM rimanenze WHERE codice=?");
    Preparata totaleRiga(nudo, "SELECT totale FROM carrello WHERE codice=?");
    for (const RigaCarrello &r : righe) {
        carrello.righe.append({.idTipo = r.idTipo, .codice = r.codice, .prezzo = qint32(r.prezzo),
                               .pezzi = qint16(r.pezzi)});
        carrello.totale += r.totale;
        carrello.pezziInScorta.append(scorta.esegui({r.codice}));
        carrello.totaliRighe.append(totaleRiga.esegui({r.codice}));
    }
    carrello.ultimoMovimento = Preparata(nudo, "SELECT max(id) FROM prodotto").esegui();
    carrello.ultimaRicevuta = Preparata(nudo, "SELECT max(codice) FROM ricevuta").esegui();
    Preparata sequenza(nudo, "SELECT seq FROM sqlite_sequence WHERE name=?");
    carrello.sequenzaMovimenti = sequenza.esegui({QStringLiteral("prodotto")});
    carrello.sequenzaRicevute = sequenza.esegui({QStringLiteral("ricevuta")});
    return carrello;
}

// Undoes a checkout: its movements, its receipt, the stock it took, the cart
// it emptied, and the counters, so the next one gets the same numbers.
void rimettiCarrello(const Carrello &c)
{
    Nudo nudo(fileScrivibile());
    nudo.esegui("BEGIN IMMEDIATE");
    nudo.esegui("DELETE FROM prodotto WHERE id > ?", {c.ultimoMovimento});
    nudo.esegui("DELETE FROM ricevuta WHERE codice > ?", {c.ultimaRicevuta});
    nudo.esegui("UPDATE sqlite_sequence SET seq=? WHERE name='prodotto'", {c.sequenzaMovimenti});
    nudo.esegui("UPDATE sqlite_sequence SET seq=? WHERE name='ricevuta'", {c.sequenzaRicevute});
    nudo.esegui("DELETE FROM carrello");
    Preparata scorta(nudo, "UPDATE rimanenze SET pezzi=? WHERE codice=?");
    Preparata riga(nudo, "INSERT INTO carrello (tipo, codice, prezzo, pezzi, totale)"
                         " VALUES (?, ?, ?, ?, ?)");
    for (qsizetype i = 0; i < c.righe.size(); ++i) {
        const RigaVendita &r = c.righe[i];
        scorta.esegui({c.pezziInScorta[i], r.codice});
        riga.esegui({r.idTipo, r.codice, r.prezzo, r.pezzi, c.totaliRighe[i]});
    }
    nudo.esegui("COMMIT");
}

bool vendiProgramma(const Carrello &carrello)
{
    impostaConfigurazione({.percorso = fileScrivibile()});
    return RegistraVendita(carrello.righe).stato == EsitoVendita::Stato::Registrata;
}

// The same durable work the lean way: one connection, each statement
// prepared once, the same PRAGMAs, one transaction.
void vendiRiferimento(Nudo &nudo, const Carrello &carrello, const QDate &giorno)
{
    const QString oggi = giorno.toString(Qt::ISODate);
    nudo.esegui("PRAGMA cache_size=-16384");
    nudo.esegui("BEGIN IMMEDIATE");
    {
        Preparata movimento(nudo, "INSERT INTO prodotto (tipo, codice, prezzoacquisto,"
                                  " prezzovendita, pezzi, operazione, dataop)"
                                  " VALUES (?, ?, ?, ?, ?, ?, ?)");
        Preparata scarico(nudo, "UPDATE rimanenze SET pezzi=pezzi+? WHERE codice=?");
        Preparata togli(nudo, "DELETE FROM carrello WHERE codice=? AND pezzi=? AND prezzo=?");
        for (const RigaVendita &r : carrello.righe) {
            movimento.esegui({r.idTipo, r.codice, 0, r.prezzo, -r.pezzi, 2, oggi});
            if (scarico.esegui({-r.pezzi, r.codice}) != 1
                || togli.esegui({r.codice, r.pezzi, r.prezzo}) != 1)
                throw std::runtime_error("riga non venduta");
        }
        if (Preparata(nudo, "SELECT EXISTS (SELECT 1 FROM carrello)").esegui() != 0)
            throw std::runtime_error("carrello non vuoto");
        Preparata(nudo, "INSERT INTO ricevuta (dataop, totale) VALUES (?, ?)")
            .esegui({oggi, carrello.totale});
    }
    nudo.esegui("COMMIT");
}

void Vendita_Programma(benchmark::State &stato)
{
    const Carrello carrello = leggiCarrello(fileScrivibile());
    for (auto _ : stato) {
        const bool registrata = vendiProgramma(carrello);
        stato.PauseTiming();
        if (!registrata)
            stato.SkipWithError("vendita non registrata");
        rimettiCarrello(carrello);
        stato.ResumeTiming();
    }
}
BENCHMARK(Vendita_Programma)->Name("vendita_200_righe/programma")->Unit(benchmark::kMillisecond);

// The program keeps its connection from one routine to the next: so does
// the reference.
void Vendita_Riferimento(benchmark::State &stato)
{
    const Carrello carrello = leggiCarrello(fileScrivibile());
    Nudo nudo(fileScrivibile());
    for (auto _ : stato) {
        vendiRiferimento(nudo, carrello, oggi());
        stato.PauseTiming();
        rimettiCarrello(carrello);
        stato.ResumeTiming();
    }
}
BENCHMARK(Vendita_Riferimento)->Name("vendita_200_righe/riferimento")->Unit(benchmark::kMillisecond);

// The same checkout from the cart window's command ------------------------------
// Yes to the question, the sale, the cart read again, the company read for
// the receipt's header, the receipt laid out; its printout goes to a printer
// that keeps nothing, and the closing message is answered at once. The
// reference runs the same statements on one connection.

class StampanteMuta final : public Stampante
{
public:
    void impostaCarattere(const QString &) override {}
    void impostaDimensione(int) override {}
    void impostaGrassetto(bool) override {}
    void stampaRiga(const QString &riga) override { benchmark::DoNotOptimize(riga.size()); }
    EsitoStampa fineDocumento() override
    {
        ++stampe();
        return {};
    }
    static int &stampe()
    {
        static int n = 0;
        return n;
    }
};

void VenditaDalCarrello_Programma(benchmark::State &stato)
{
    const Carrello carrello = leggiCarrello(fileScrivibile());
    impostaConfigurazione({.percorso = fileScrivibile()});
    const Risponditore prima = installaRisponditore([](const Scatola &scatola) {
        return std::optional<RispostaScatola>(RispostaScatola{
            scatola.tipo == Scatola::Tipo::Messaggio ? QMessageBox::Ok : QMessageBox::Yes});
    });
    installaFabbricaStampanti([](const QString &) { return std::make_unique<StampanteMuta>(); });
    VisCarrello_frm finestra;
    mostra(finestra);
    auto *aggiorna = finestra.findChild<QPushButton *>(QStringLiteral("Command1"));
    auto *vendi = finestra.findChild<QPushButton *>(QStringLiteral("Command3"));
    for (auto _ : stato) {
        stato.PauseTiming();
        aggiorna->click();
        const int stampePrima = StampanteMuta::stampe();
        stato.ResumeTiming();
        vendi->click();
        stato.PauseTiming();
        if (StampanteMuta::stampe() != stampePrima + 1 || UltimaRicevuta() != carrello.ultimaRicevuta + 1)
            stato.SkipWithError("vendita non registrata o ricevuta non stampata");
        rimettiCarrello(carrello);
        stato.ResumeTiming();
    }
    installaRisponditore(prima);
}
BENCHMARK(VenditaDalCarrello_Programma)->Name("vendita_dal_carrello/programma")->Unit(benchmark::kMillisecond);

void VenditaDalCarrello_Riferimento(benchmark::State &stato)
{
    const Carrello carrello = leggiCarrello(fileScrivibile());
    Nudo nudo(fileScrivibile());
    for (auto _ : stato) {
        vendiRiferimento(nudo, carrello, oggi());
        benchmark::DoNotOptimize(nudo.leggi("SELECT c.codice, c.tipo, COALESCE(t.codice, ''), c.prezzo, c.pezzi"
                                            " FROM carrello c LEFT JOIN tipo t ON t.id = c.tipo"
                                            " ORDER BY c.tipo, c.prezzo"));
        benchmark::DoNotOptimize(
            nudo.leggi("SELECT nome, info1, info2, info3, info4 FROM \"generalità\" LIMIT 1"));
        stato.PauseTiming();
        rimettiCarrello(carrello);
        stato.ResumeTiming();
    }
}
BENCHMARK(VenditaDalCarrello_Riferimento)->Name("vendita_dal_carrello/riferimento")->Unit(benchmark::kMillisecond);

// One routine call's own frame, reading a real table: the types ------------

void Cornice_Programma(benchmark::State &stato)
{
    impostaConfigurazione({.percorso = fileGrande()});
    for (auto _ : stato)
        benchmark::DoNotOptimize(CaricaTipi());
}
BENCHMARK(Cornice_Programma)->Name("cornice_routine/programma")->Unit(benchmark::kMicrosecond);

void Cornice_Riferimento(benchmark::State &stato)
{
    for (auto _ : stato) {
        Nudo nudo(fileGrande());
        benchmark::DoNotOptimize(nudo.leggi("SELECT codice FROM tipo ORDER BY codice, id"));
    }
}
BENCHMARK(Cornice_Riferimento)->Name("cornice_routine/riferimento")->Unit(benchmark::kMicrosecond);

// Start-up with the large file: the main window and the company row ----------

void Avvio_Programma(benchmark::State &stato)
{
    const QString cartella = QDir::currentPath();
    QDir::setCurrent(QFileInfo(fileScrivibile()).absolutePath());
    for (auto _ : stato) {
        const auto finestra = avviaVorendi(configurazioneDallAmbiente());
        finestra->show();
        QApplication::processEvents();
    }
    QDir::setCurrent(cartella);
}
BENCHMARK(Avvio_Programma)->Name("avvio/programma")->Unit(benchmark::kMillisecond);

void Avvio_Riferimento(benchmark::State &stato)
{
    for (auto _ : stato) {
        Nudo nudo(fileScrivibile());
        benchmark::DoNotOptimize(nudo.leggi(
            "SELECT nome, info1, info2, info3, info4 FROM \"generalità\" LIMIT 1"));
    }
}
BENCHMARK(Avvio_Riferimento)->Name("avvio/riferimento")->Unit(benchmark::kMillisecond);

// On a PostgreSQL server -----------------------------------------------------

QString &connessioneServer()
{
    static QString connessione;
    return connessione;
}

using Risultato = std::unique_ptr<PGresult, void (*)(PGresult *)>;

// The bare reference on the server: libpq alone, one connection kept open as
// the program keeps its own, this counter's cart in view.
class Pg final
{
public:
    explicit Pg(const QString &connessione = connessioneServer())
        : c_(PQconnectdb(connessione.toUtf8().constData()))
    {
        if (PQstatus(c_) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(c_));
        esegui("SELECT set_config('vorendi.postazione', $1, false)", {postazione()});
    }
    ~Pg() { PQfinish(c_); }
    PGconn *c() const { return c_; }
    Pg(const Pg &) = delete;
    Pg &operator=(const Pg &) = delete;

    void prepara(const char *nome, const char *sql)
    {
        controlla(PQprepare(c_, nome, sql, 0, nullptr));
    }
    // A statement with no values goes as a simple query, as Qt sends it.
    Risultato esegui(const char *sql, std::initializer_list<QVariant> valori = {})
    {
        return invia(sql, nullptr, valori);
    }
    Risultato preparata(const char *nome, std::initializer_list<QVariant> valori)
    {
        return invia(nullptr, nome, valori);
    }
    static qint64 numero(const Risultato &r) { return std::atoll(PQgetvalue(r.get(), 0, 0)); }
    static qint64 cambiate(const Risultato &r) { return std::atoll(PQcmdTuples(r.get())); }

private:
    Risultato invia(const char *sql, const char *nome, std::initializer_list<QVariant> valori)
    {
        QVarLengthArray<QByteArray, 8> testi;
        QVarLengthArray<const char *, 8> puntatori;
        for (const QVariant &valore : valori)
            puntatori.append(testi.emplace_back(valore.toString().toUtf8()).constData());
        const int n = int(testi.size());
        if (nome)
            return controlla(PQexecPrepared(c_, nome, n, puntatori.data(), nullptr, nullptr, 0));
        if (n == 0)
            return controlla(PQexec(c_, sql));
        return controlla(PQexecParams(c_, sql, n, nullptr, puntatori.data(), nullptr, nullptr, 0));
    }
    Risultato controlla(PGresult *r)
    {
        Risultato risultato(r, PQclear);
        const ExecStatusType stato = PQresultStatus(r);
        if (stato != PGRES_COMMAND_OK && stato != PGRES_TUPLES_OK)
            throw std::runtime_error(PQerrorMessage(c_));
        return risultato;
    }
    PGconn *c_;
};

// The migrated cart; the counters and last numbers are the server's.
Carrello leggiCarrelloServer(Pg &pg)
{
    Carrello carrello = leggiCarrello(fileGrande());
    carrello.ultimoMovimento = Pg::numero(pg.esegui("SELECT max(id) FROM prodotto"));
    carrello.ultimaRicevuta = Pg::numero(pg.esegui("SELECT max(codice) FROM ricevuta"));
    carrello.sequenzaMovimenti = Pg::numero(pg.esegui("SELECT last_value FROM prodotto_id_seq"));
    carrello.sequenzaRicevute = Pg::numero(pg.esegui("SELECT last_value FROM ricevuta_codice_seq"));
    return carrello;
}

void rimettiCarrelloServer(Pg &pg, const Carrello &c)
{
    pg.esegui("BEGIN");
    pg.esegui("DELETE FROM prodotto WHERE id > $1", {c.ultimoMovimento});
    pg.esegui("DELETE FROM ricevuta WHERE codice > $1", {c.ultimaRicevuta});
    pg.esegui("SELECT setval('prodotto_id_seq', $1), setval('ricevuta_codice_seq', $2)",
              {c.sequenzaMovimenti, c.sequenzaRicevute});
    pg.esegui("DELETE FROM carrello");
    for (qsizetype i = 0; i < c.righe.size(); ++i) {
        const RigaVendita &r = c.righe[i];
        pg.esegui("UPDATE rimanenze SET pezzi=$1 WHERE codice=$2", {c.pezziInScorta[i], r.codice});
        pg.esegui("INSERT INTO carrello (tipo, codice, prezzo, pezzi, totale) VALUES ($1, $2, $3, $4, $5)",
                  {r.idTipo, r.codice, r.prezzo, r.pezzi, c.totaliRighe[i]});
    }
    pg.esegui("COMMIT");
    // The dead rows of the undone sale go too, or every sale would scan more
    // of them than the one before.
    pg.esegui("VACUUM prodotto, ricevuta, rimanenze, carrelli");
}

// The routine's statements in its order, each prepared once for the sale.
void vendiRiferimentoServer(Pg &pg, const Carrello &carrello, const QDate &giorno)
{
    const QString oggi = giorno.toString(Qt::ISODate);
    pg.esegui("BEGIN ISOLATION LEVEL READ COMMITTED");
    pg.prepara("movimento", "INSERT INTO prodotto (tipo, codice, prezzoacquisto, prezzovendita, pezzi,"
                            " operazione, dataop) VALUES ($1, $2, $3, $4, $5, $6, $7)");
    pg.prepara("scarico", "UPDATE rimanenze SET pezzi=pezzi+$1 WHERE codice=$2");
    pg.prepara("togli", "DELETE FROM carrello WHERE codice=$1 AND pezzi=$2 AND prezzo=$3");
    for (const RigaVendita &r : carrello.righe) {
        pg.preparata("movimento", {r.idTipo, r.codice, 0, r.prezzo, -r.pezzi, 2, oggi});
        if (Pg::cambiate(pg.preparata("scarico", {-r.pezzi, r.codice})) != 1
            || Pg::cambiate(pg.preparata("togli", {r.codice, r.pezzi, r.prezzo})) != 1)
            throw std::runtime_error("riga non venduta");
    }
    if (Pg::numero(pg.esegui("SELECT count(*) FROM (SELECT 1 FROM carrello LIMIT 1) AS c")) != 0)
        throw std::runtime_error("carrello non vuoto");
    if (Pg::numero(pg.esegui("INSERT INTO ricevuta (dataop, totale) VALUES ($1, $2) RETURNING codice",
                             {oggi, carrello.totale})) <= 0)
        throw std::runtime_error("ricevuta senza numero");
    pg.esegui("COMMIT");
    pg.esegui("DEALLOCATE ALL");
}

void VenditaServer(benchmark::State &stato, bool programma)
{
    Pg pg;
    const Carrello carrello = leggiCarrelloServer(pg);
    impostaConfigurazione({.server = connessioneServer()});
    for (auto _ : stato) {
        if (programma) {
            if (RegistraVendita(carrello.righe).stato != EsitoVendita::Stato::Registrata)
                stato.SkipWithError("vendita non registrata");
        } else {
            vendiRiferimentoServer(pg, carrello, oggi());
        }
        stato.PauseTiming();
        rimettiCarrelloServer(pg, carrello);
        stato.ResumeTiming();
    }
    impostaConfigurazione({});
}

void OperazioniServer_Programma(benchmark::State &stato)
{
    impostaConfigurazione({.server = connessioneServer()});
    ElencoOperazioni elenco;
    for (auto _ : stato) {
        elenco = VisualizzaOperazioni(OPERAZIONE_VENDITA, QString(), PERIODI[0].dal, PERIODI[0].al);
        if (!elenco.completo)
            stato.SkipWithError("elenco non riuscito");
    }
    stato.counters["righe"] = double(elenco.righe.size());
    impostaConfigurazione({});
}

// Both statements, every column of every row into the routine's typed rows.
// The list streams row by row, as Qt reads a forward-only query, so that
// the client reads while the server still sorts and sends.
void OperazioniServer_Riferimento(benchmark::State &stato, bool aRighe)
{
    Pg pg;
    const auto intero = [](PGresult *r, int riga, int colonna) {
        return std::atoll(PQgetvalue(r, riga, colonna));
    };
    const QByteArray dal = PERIODI[0].dal.toString(Qt::ISODate).toUtf8();
    const QByteArray al = PERIODI[0].al.toString(Qt::ISODate).toUtf8();
    const char *valori[] = {"2", dal.constData(), al.constData()};
    ElencoOperazioni elenco;
    for (auto _ : stato) {
        elenco = ElencoOperazioni{};
        const Risultato tipi = pg.esegui("SELECT id, codice FROM tipo");
        for (int i = 0; i < PQntuples(tipi.get()); ++i)
            elenco.codiciTipo.insert(qint32(intero(tipi.get(), i, 0)),
                                     QString::fromUtf8(PQgetvalue(tipi.get(), i, 1)));
        if (!PQsendQueryParams(pg.c(), "SELECT p.id, p.dataop, p.codice, p.tipo, p.prezzoacquisto,"
                               " p.prezzovendita, p.pezzi FROM prodotto p WHERE p.operazione = $1"
                               " AND p.dataop >= $2 AND p.dataop <= $3 ORDER BY p.dataop, p.codice, p.tipo, p.id",
                               3, nullptr, valori, nullptr, nullptr, 0)
            || (aRighe && !PQsetSingleRowMode(pg.c())))
            throw std::runtime_error(PQerrorMessage(pg.c()));
        while (PGresult *r = PQgetResult(pg.c())) {
            const Risultato risultato(r, PQclear);
            if (PQresultStatus(r) != PGRES_SINGLE_TUPLE && PQresultStatus(r) != PGRES_TUPLES_OK)
                throw std::runtime_error(PQerrorMessage(pg.c()));
            for (int i = 0; i < PQntuples(r); ++i) {
                RigaOperazione riga;
                riga.id = intero(r, i, 0);
                riga.data = giornoIso(QByteArrayView(PQgetvalue(r, i, 1), PQgetlength(r, i, 1)));
                riga.codice = QString::fromUtf8(PQgetvalue(r, i, 2), PQgetlength(r, i, 2));
                riga.tipo = qint32(intero(r, i, 3));
                riga.prezzoAcquisto = intero(r, i, 4);
                riga.prezzoVendita = intero(r, i, 5);
                riga.pezzi = qint32(intero(r, i, 6));
                elenco.righe.append(riga);
            }
        }
    }
    stato.counters["righe"] = double(elenco.righe.size());
}

void registraServer()
{
    // Iterations by the clock: a sale made on the server costs the client
    // almost no CPU, and counted by that the undo outside the timing would
    // run a thousand times per repetition.
    benchmark::RegisterBenchmark("server_vendita_200_righe/programma", VenditaServer, true)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("server_vendita_200_righe/riferimento", VenditaServer, false)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("server_operazioni_anno/programma", OperazioniServer_Programma)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("server_operazioni_anno/riferimento", OperazioniServer_Riferimento, true)
        ->Unit(benchmark::kMillisecond);
    // The whole list in one result before any row is read: the usual libpq way.
    benchmark::RegisterBenchmark("server_operazioni_anno_intera/riferimento", OperazioniServer_Riferimento, false)
        ->Unit(benchmark::kMillisecond);
    // The first screen of each list on the server, program only.
    for (const ListaSchermo &lista : LISTE_SCHERMO) {
        benchmark::RegisterBenchmark(
            (std::string("server_") + lista.nome + "/programma").c_str(),
            [](benchmark::State &stato, const ListaSchermo *l) {
                primoSchermo(stato, *l, {.server = connessioneServer()});
            },
            &lista)
            ->Unit(benchmark::kMillisecond);
    }
}

// The large file copied into the server's empty database; how long it took.
bool copiaSulServer()
{
    QElapsedTimer tempo;
    tempo.start();
    const EsitoMigrazione esito = migraSuServer(fileGrande(), connessioneServer());
    const double migrazione = tempo.nsecsElapsed() / 1e9;
    if (!esito.riuscita) {
        std::fprintf(stderr, "%s\n", qPrintable(esito.messaggio));
        return false;
    }
    // Statistics and the visibility map as a server that has run a while has them.
    tempo.restart();
    Pg().esegui("VACUUM ANALYZE");
    std::printf("migraSuServer: %.1f s (%s); VACUUM ANALYZE: %.1f s\n", migrazione,
                qPrintable(esito.messaggio), tempo.nsecsElapsed() / 1e9);
    return true;
}

// A private cluster holding a copy of the large file.
bool preparaServer(ServerProva &prova)
{
    const QString database = prova.isValid() ? prova.nuovoDatabase() : QString();
    if (database.isEmpty()) {
        std::fprintf(stderr, "Server non avviato: %s\n", qPrintable(prova.errore()));
        return false;
    }
    connessioneServer() = prova.connessione(database, {}, true);
    return copiaSulServer();
}

// The options a libpq string sets, and the one TCP server it names: the
// proxy stands in front of that server only, and a string that leaves the
// server to libpq's defaults (a local socket) is refused before any
// connection is tried.
struct Indirizzo
{
    QMap<QByteArray, QString> opzioni;
    QString host;
    quint16 porta = 5432;
};

Indirizzo leggiIndirizzo(const QString &connessione)
{
    Indirizzo indirizzo;
    PQconninfoOption *opzioni = PQconninfoParse(connessione.toUtf8().constData(), nullptr);
    if (!opzioni)
        throw std::runtime_error("stringa di connessione non valida");
    for (PQconninfoOption *o = opzioni; o->keyword; ++o) {
        if (o->val)
            indirizzo.opzioni.insert(o->keyword, QString::fromUtf8(o->val));
    }
    PQconninfoFree(opzioni);
    indirizzo.host = indirizzo.opzioni.value("hostaddr", indirizzo.opzioni.value("host"));
    const QString porta = indirizzo.opzioni.value("port");
    if (indirizzo.host.isEmpty() || indirizzo.host.startsWith(u'/') || indirizzo.host.contains(u',')
        || porta.contains(u','))
        throw std::runtime_error("la stringa deve indicare un solo server TCP (host= o hostaddr=)");
    bool numero = true;
    if (!porta.isEmpty())
        indirizzo.porta = porta.toUShort(&numero);
    if (!numero || indirizzo.porta == 0)
        throw std::runtime_error("porta non valida nella stringa di connessione");
    return indirizzo;
}

// A server the bench was given: its database empty, and the large file is
// copied in, or a copy of it from an earlier run. The bench sells and undoes
// its sales there, so it refuses any other shop's data.
bool usaServer(const QString &collegamento)
{
    connessioneServer() = collegamento;
    try {
        leggiIndirizzo(collegamento);
        Pg pg;
        if (!Pg::numero(pg.esegui("SELECT count(*) FROM pg_class WHERE relname = 'prodotto'"
                                  " AND relnamespace = current_schema()::regnamespace")))
            return copiaSulServer();
        Nudo nudo(fileGrande());
        for (const char *tabella : {"prodotto", "ricevuta", "rimanenze"}) {
            const QByteArray conta = QByteArray("SELECT count(*) FROM ") + tabella;
            const qint64 nelFile = Preparata(nudo, conta.constData()).esegui();
            if (Pg::numero(pg.esegui(conta.constData())) != nelFile) {
                std::fprintf(stderr, "Il database contiene dati che non sono una copia di %s"
                                     " (tabella %s): il bench vi registra vendite e le annulla,"
                                     " serve un database vuoto.\n",
                             qPrintable(fileGrande()), tabella);
                return false;
            }
        }
    } catch (const std::exception &errore) {
        std::fprintf(stderr, "Server non usato: %s\n", errore.what());
        return false;
    }
    return true;
}

// Through a proxy that delays each way ----------------------------------------
// Each action a counter does on the server runs through a Proxy in front of
// it, at each delay added each way, its round trips counted there, and is
// set against its limit: the fewest round trips the action needs, each as
// long as one bare round trip through the proxy at that delay, plus the work
// that no saving of round trips removes.

std::vector<int> &ritardiMs()
{
    static std::vector<int> ritardi{0, 1, 5, 20};
    return ritardi;
}

using Orologio = std::chrono::steady_clock;

double millisecondiDa(Orologio::time_point inizio)
{
    return std::chrono::duration<double, std::milli>(Orologio::now() - inizio).count();
}

double mediana(std::vector<double> valori)
{
    std::sort(valori.begin(), valori.end());
    return valori.empty() ? 0 : valori[valori.size() / 2];
}

// A libpq value in a connection string: quoted, its quotes and backslashes escaped.
QString valoreConnessione(const QString &valore)
{
    QString testo = valore;
    testo.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + testo + u'\'';
}

struct Rete
{
    std::unique_ptr<Proxy> proxy;
    QString attraverso; // the server's string through the proxy
    std::unique_ptr<Pg> diretta; // for undoing, outside the timing
    std::unique_ptr<Pg> nuda; // through the proxy, for the bare round trip
    Carrello carrello;
    Carrello venti; // its first 20 lines
    QString codiceNuovo; // an article in stock that the cart does not hold
    std::map<std::string, double> lavoro; // of each action, measured once
};

// The proxy in front of the server of connessioneServer(), and the same
// string through it: where to connect replaced, the rest as given. The
// password libpq found for the server goes along, since a ~/.pgpass line
// names the server's port and not the proxy's.
void apriRete(Rete &r)
{
    const Indirizzo indirizzo = leggiIndirizzo(connessioneServer());
    r.proxy = std::make_unique<Proxy>(indirizzo.host, indirizzo.porta);
    if (!r.proxy->valido())
        throw std::runtime_error(("proxy non avviato: " + r.proxy->errore()).toStdString());
    r.diretta = std::make_unique<Pg>();
    QMap<QByteArray, QString> date = indirizzo.opzioni;
    date.insert("hostaddr", QStringLiteral("127.0.0.1"));
    date.insert("port", QString::number(r.proxy->porta()));
    if (PQconnectionUsedPassword(r.diretta->c()) && PQpass(r.diretta->c()))
        date.insert("password", QString::fromUtf8(PQpass(r.diretta->c())));
    QStringList parti;
    for (auto i = date.cbegin(); i != date.cend(); ++i)
        parti << QString::fromUtf8(i.key()) + u'=' + valoreConnessione(i.value());
    r.attraverso = parti.join(u' ');
    r.nuda = std::make_unique<Pg>(r.attraverso);
    r.carrello = leggiCarrelloServer(*r.diretta);
    r.venti = r.carrello;
    r.venti.righe = r.carrello.righe.first(20);
    r.venti.totaliRighe = r.carrello.totaliRighe.first(20);
    r.venti.totale =
        std::accumulate(r.venti.totaliRighe.cbegin(), r.venti.totaliRighe.cend(), qint64(0));
    const Risultato codice = r.diretta->esegui(
        "SELECT codice FROM rimanenze WHERE pezzi > 0"
        " AND codice NOT IN (SELECT codice FROM carrello) ORDER BY codice LIMIT 1");
    if (PQntuples(codice.get()) != 1)
        throw std::runtime_error("nessun articolo in magazzino fuori dal carrello");
    r.codiceNuovo = QString::fromUtf8(PQgetvalue(codice.get(), 0, 0));
}

// One bare round trip through the proxy at its delay now: an empty query on a
// connection already open, the median of a few. Each must have been counted
// as one round trip and have taken at least the delay both ways, or no
// figure of the run could be trusted.
double giroNudo(Rete &r, int ritardoMs)
{
    constexpr int VOLTE = 7;
    std::vector<double> tempi;
    const quint64 prima = r.proxy->giri();
    for (int i = 0; i < VOLTE; ++i) {
        const auto inizio = Orologio::now();
        const Risultato vuota(PQexec(r.nuda->c(), ";"), PQclear);
        if (PQresultStatus(vuota.get()) != PGRES_EMPTY_QUERY)
            throw std::runtime_error(PQerrorMessage(r.nuda->c()));
        tempi.push_back(millisecondiDa(inizio));
    }
    const double minimo = *std::min_element(tempi.cbegin(), tempi.cend());
    if (r.proxy->giri() - prima != VOLTE || minimo < 2 * ritardoMs)
        throw std::runtime_error("il proxy non conta o non ritarda i giri come deve");
    return mediana(tempi);
}

// Drops this thread's connection outside the timing, so that the next
// routine opens a new one: a routine on a string that libpq refuses before
// any network (an sslmode that does not exist) closes the one kept open,
// with a report that is expected and swallowed. Then a bare round trip
// through the proxy, by which time the old connection's goodbye is counted.
void lasciaConnessione(Rete &r)
{
    const Segnalatore segnalatore = installaSegnalatore([](const RapportoZona &) {});
    impostaConfigurazione({.server = r.attraverso + QStringLiteral(" sslmode=nessuno")});
    UltimaRicevuta();
    impostaConfigurazione({.server = r.attraverso});
    installaSegnalatore(segnalatore);
    PQclear(PQexec(r.nuda->c(), ";"));
}

// The cart holding only the lines the sale will sell.
void soloRighe(Rete &r, const Carrello &c)
{
    r.diretta->esegui("BEGIN");
    r.diretta->esegui("DELETE FROM carrello");
    for (qsizetype i = 0; i < c.righe.size(); ++i) {
        const RigaVendita &riga = c.righe[i];
        r.diretta->esegui("INSERT INTO carrello (tipo, codice, prezzo, pezzi, totale)"
                          " VALUES ($1, $2, $3, $4, $5)",
                          {riga.idTipo, riga.codice, riga.prezzo, riga.pezzi, c.totaliRighe[i]});
    }
    r.diretta->esegui("COMMIT");
}

// The stock window's choice of a type, as the window makes it.
std::optional<QList<RigaRimanenza>> sceltaTipo(const QString &codice)
{
    return RimanenzeDelTipo(codice);
}

template <typename Elenco>
bool pieno(const std::optional<Elenco> &elenco)
{
    return elenco && !elenco->isEmpty();
}

struct AzioneRete
{
    const char *nome;
    int giriMinimi;
    std::function<bool(Rete &)> esegui; // timed
    std::function<void(Rete &)> prima = {}; // outside the timing, before each run
    std::function<void(Rete &)> dopo = {}; // outside the timing, after each run
    bool nuovaConnessione = false; // each run must open one
    // Runs per repetition when undoing one costs far more than the run (a
    // sale's undo and vacuum); else as many as Google Benchmark wants.
    int volte = 0;
};

bool registrata(const EsitoVendita &esito)
{
    return esito.stato == EsitoVendita::Stato::Registrata;
}

const std::vector<AzioneRete> &azioniRete()
{
    const auto rimetti = [](Rete &r) { rimettiCarrelloServer(*r.diretta, r.carrello); };
    static const std::vector<AzioneRete> azioni = {
        {"vendita_200_righe", 1,
         [](Rete &r) { return registrata(RegistraVendita(r.carrello.righe)); }, {}, rimetti, false,
         10},
        {"vendita_20_righe", 1, [](Rete &r) { return registrata(RegistraVendita(r.venti.righe)); },
         [](Rete &r) { soloRighe(r, r.venti); }, rimetti, false, 10},
        {"aggiungi_carrello", 1,
         [](Rete &r) { return AggiungiCarrello(r.codiceNuovo, 1) == EsitoCarrello::Aggiunto; }, {},
         [](Rete &r) {
             r.diretta->esegui("DELETE FROM carrello WHERE codice = $1", {r.codiceNuovo});
         }},
        {"scelta_tipo", 1, [](Rete &) { return pieno(sceltaTipo(QStringLiteral("Viti"))); }},
        {"trova_codice", 1,
         [](Rete &r) { return pieno(TrovaRimanenze(r.carrello.righe.first().codice)); }},
        // Start-up, or a reconnection: the first routine on a new connection.
        {"avvio", 3, [](Rete &) { return LeggiGeneralita().has_value(); }, lasciaConnessione, {},
         true},
        {"operazioni_anno", 1,
         [](Rete &) {
             const Periodo &anno = PERIODI[0];
             return VisualizzaOperazioni(OPERAZIONE_VENDITA, QString(), anno.dal, anno.al).completo;
         }},
        {"ricevute_tutte", 1, [](Rete &) { return pieno(VisualizzaRicevute()); }},
    };
    return azioni;
}

struct Misura
{
    bool riuscita = false;
    double ms = 0;
    quint64 giri = 0; // a new connection's handshake counted as one more
    quint64 connessioni = 0;
};

Misura misura(Rete &r, const AzioneRete &azione)
{
    if (azione.prima)
        azione.prima(r);
    const quint64 giri = r.proxy->giri();
    const quint64 connessioni = r.proxy->connessioni();
    Misura m;
    const auto inizio = Orologio::now();
    m.riuscita = azione.esegui(r);
    m.ms = millisecondiDa(inizio);
    m.connessioni = r.proxy->connessioni() - connessioni;
    m.giri = r.proxy->giri() - giri + m.connessioni;
    if (azione.dopo)
        azione.dopo(r);
    if (m.riuscita && azione.nuovaConnessione && m.connessioni != 1)
        throw std::runtime_error("nessuna connessione nuova: l'avvio non è misurato");
    return m;
}

// The action's work that no saving of round trips removes: its time with no
// delay added, less its round trips each as long as a bare one then. The
// whole time at no delay would count the program's surplus round trips on
// the loopback as work, and the limit would hide them. The least of five
// runs, since a limit is what can be reached and the machine's load only
// adds; measured once, so that an action's limits at every delay share it.
double lavoro(Rete &r, const AzioneRete &azione)
{
    const auto noto = r.lavoro.find(azione.nome);
    if (noto != r.lavoro.end())
        return noto->second;
    const double giro = giroNudo(r, 0);
    double minimo = std::numeric_limits<double>::max();
    for (int i = 0; i < 5; ++i) {
        const Misura m = misura(r, azione);
        if (!m.riuscita)
            throw std::runtime_error("azione non riuscita");
        minimo = std::min(minimo, m.ms - double(m.giri) * giro);
    }
    return r.lavoro[azione.nome] = std::max(0.0, minimo);
}

void Rete_Azione(benchmark::State &stato, Rete *r, const AzioneRete *azione, int ritardoMs)
{
    try {
        impostaConfigurazione({.server = r->attraverso});
        // Its connection open and warm, as a counter that has worked a while.
        r->proxy->impostaRitardo({});
        if (!misura(*r, *azione).riuscita)
            throw std::runtime_error("azione non riuscita");
        const double daFare = lavoro(*r, *azione);
        r->proxy->impostaRitardo(std::chrono::milliseconds(ritardoMs));
        const double giro = giroNudo(*r, ritardoMs);
        double giri = 0;
        double tempo = 0;
        int volte = 0;
        for (auto _ : stato) {
            const Misura m = misura(*r, *azione);
            stato.SetIterationTime(m.ms / 1000);
            if (!m.riuscita) {
                stato.SkipWithError("azione non riuscita");
                break;
            }
            giri += double(m.giri);
            tempo += m.ms;
            ++volte;
        }
        const double limite = azione->giriMinimi * giro + daFare;
        if (volte > 0) {
            stato.counters["giri"] = giri / volte;
            stato.counters["giro_ms"] = giro;
            stato.counters["limite_ms"] = limite;
            stato.counters["rapporto"] = tempo / volte / limite;
        }
    } catch (const std::exception &errore) {
        stato.SkipWithError(errore.what());
    }
    r->proxy->impostaRitardo({});
    impostaConfigurazione({});
}

bool preparaRete(Rete &r)
{
    try {
        apriRete(r);
    } catch (const std::exception &errore) {
        std::fprintf(stderr, "Rete non preparata: %s\n", errore.what());
        return false;
    }
    for (const AzioneRete &azione : azioniRete()) {
        for (const int ritardo : ritardiMs()) {
            const std::string nome =
                "rete_" + std::string(azione.nome) + '/' + std::to_string(ritardo) + "ms";
            auto *caso = benchmark::RegisterBenchmark(nome.c_str(), Rete_Azione, &r, &azione,
                                                      ritardo);
            caso->UseManualTime()->Unit(benchmark::kMillisecond);
            if (azione.volte > 0)
                caso->Iterations(azione.volte);
        }
    }
    return true;
}

// The table: median of each case, and its ratio to its reference.
class Tabella final : public benchmark::ConsoleReporter
{
public:
    Tabella() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            std::string nome = run.benchmark_name();
            for (const std::string suffisso : {"_median", "/real_time"}) {
                if (nome.size() > suffisso.size()
                    && nome.compare(nome.size() - suffisso.size(), suffisso.size(), suffisso) == 0)
                    nome.erase(nome.size() - suffisso.size());
            }
            mediane_[nome] = run.GetAdjustedRealTime() * multiplicatore(run.time_unit);
            if (nome.rfind("rete_", 0) == 0 && !run.error_occurred)
                reteRiga(nome, run);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (!rete_.empty()) {
            std::printf("\n%-22s %8s %8s %7s %12s %12s %9s\n", "azione sul server", "ritardo",
                        "giri", "minimi", "mediana", "limite", "rapporto");
            for (const auto &[chiave, riga] : rete_) {
                const AzioneRete &azione = azioniRete()[chiave.first];
                std::printf("%-22s %5d ms %8.0f %7d %9.2f ms %9.2f ms %8.1fx\n", azione.nome,
                            chiave.second, riga.giri, azione.giriMinimi, riga.tempo, riga.limite,
                            riga.rapporto);
            }
        }
        std::printf("\n%-44s %14s %14s %8s\n", "caso", "programma", "riferimento", "rapporto");
        for (const auto &[nome, tempo] : mediane_) {
            const auto barra = nome.find("/programma");
            if (barra == std::string::npos)
                continue;
            std::string base = nome.substr(0, barra);
            const std::string resto = nome.substr(barra + std::string("/programma").size());
            const auto riferimento = mediane_.find(base + "/riferimento");
            if (riferimento != mediane_.end()) {
                std::printf("%-44s %11.3f ms %11.3f ms %7.2fx\n", (base + resto).c_str(), tempo,
                            riferimento->second, tempo / riferimento->second);
            } else {
                std::printf("%-44s %11.3f ms %14s %8s\n", (base + resto).c_str(), tempo, "-", "-");
            }
        }
    }

private:
    struct RigaRete
    {
        double giri = 0;
        double tempo = 0;
        double limite = 0;
        double rapporto = 0;
    };

    // "rete_<azione>/<ritardo>ms", kept by action, as listed, then delay.
    void reteRiga(const std::string &nome, const Run &run)
    {
        const auto barra = nome.find('/');
        const std::string azione = nome.substr(5, barra - 5);
        const auto valore = [&](const char *contatore) {
            const auto c = run.counters.find(contatore);
            return c == run.counters.end() ? 0.0 : double(c->second);
        };
        for (size_t i = 0; i < azioniRete().size(); ++i) {
            if (azione == azioniRete()[i].nome)
                rete_[{i, std::atoi(nome.c_str() + barra + 1)}] = {
                    valore("giri"), run.GetAdjustedRealTime() * multiplicatore(run.time_unit),
                    valore("limite_ms"), valore("rapporto")};
        }
    }

    static double multiplicatore(benchmark::TimeUnit unita)
    {
        switch (unita) {
        case benchmark::kNanosecond: return 1e-6;
        case benchmark::kMicrosecond: return 1e-3;
        case benchmark::kMillisecond: return 1;
        case benchmark::kSecond: return 1e3;
        }
        return 1;
    }
    std::map<std::string, double> mediane_;
    std::map<std::pair<size_t, int>, RigaRete> rete_;
};

QtMessageHandler &gestorePrecedente()
{
    static QtMessageHandler gestore = nullptr;
    return gestore;
}

// The offscreen platform warns at every window shown: the table stays readable.
void filtraAvvisi(QtMsgType tipo, const QMessageLogContext &contesto, const QString &testo)
{
    if (!testo.contains(QLatin1String("propagateSizeHints")))
        gestorePrecedente()(tipo, contesto, testo);
}

// Takes an option out of argv, "--nome valore" or "--nome=valore" (a bare
// "--nome" when it takes none): its value, or nothing when it is absent.
std::optional<QString> togliOpzione(int &argc, char **argv, const char *nome, bool conValore)
{
    const std::string conUguale = std::string(nome) + '=';
    for (int i = 1; i < argc; ++i) {
        int presi = 1;
        QString valore;
        if (std::strcmp(argv[i], nome) == 0 && conValore) {
            if (i + 1 >= argc)
                throw std::invalid_argument(std::string(nome) + ": manca il valore");
            valore = QString::fromLocal8Bit(argv[i + 1]);
            presi = 2;
        } else if (conValore && std::strncmp(argv[i], conUguale.c_str(), conUguale.size()) == 0) {
            valore = QString::fromLocal8Bit(argv[i] + conUguale.size());
        } else if (std::strcmp(argv[i], nome) != 0) {
            continue;
        }
        std::copy(argv + i + presi, argv + argc + 1, argv + i);
        argc -= presi;
        return valore;
    }
    return std::nullopt;
}

// "5" or "0,5,20": milliseconds added each way, whole, at most a second.
std::vector<int> leggiRitardi(const QString &testo)
{
    std::vector<int> ritardi;
    for (const QString &parte : testo.split(u',')) {
        bool numero = false;
        const int ms = parte.trimmed().toInt(&numero);
        if (!numero || ms < 0 || ms > 1000)
            throw std::invalid_argument("--ritardo: millisecondi interi da 0 a 1000,"
                                        " separati da virgole (per esempio 0,5,20)");
        ritardi.push_back(ms);
    }
    std::sort(ritardi.begin(), ritardi.end());
    ritardi.erase(std::unique(ritardi.begin(), ritardi.end()), ritardi.end());
    return ritardi;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gestorePrecedente() = qInstallMessageHandler(filtraAvvisi);
    benchmark::Initialize(&argc, argv);
    bool conServer = false;
    std::optional<QString> collegamento;
    try {
        conServer = togliOpzione(argc, argv, "--server", false).has_value();
        collegamento = togliOpzione(argc, argv, "--collegamento", true);
        if (const std::optional<QString> ritardi = togliOpzione(argc, argv, "--ritardo", true)) {
            if (!conServer)
                throw std::invalid_argument("--ritardo vale solo con --server");
            ritardiMs() = leggiRitardi(*ritardi);
        }
        if (collegamento && (!conServer || collegamento->trimmed().isEmpty()))
            throw std::invalid_argument("--collegamento vuole --server e una stringa di"
                                        " connessione");
    } catch (const std::invalid_argument &errore) {
        std::fprintf(stderr, "%s\n", errore.what());
        return 2;
    }
    if (argc < 2) {
        std::fprintf(stderr, "Uso: vorendi-bench file.mdb [opzioni di Google Benchmark]\n"
                             "     vorendi-bench file.mdb --server [--collegamento STRINGA]"
                             " [--ritardo MS[,MS...]] [opzioni di Google Benchmark]\n"
                             "     vorendi-bench file.mdb --una-vendita=programma|riferimento|nessuna\n");
        return 2;
    }
    // Where the server is comes from the string alone, never from the environment.
    for (const char *variabile : {"PGHOST", "PGHOSTADDR", "PGPORT", "PGSERVICE", "PGSERVICEFILE"})
        qunsetenv(variabile);
    fileGrande() = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    QTemporaryDir copie;
    fileScrivibile() = copie.filePath(QStringLiteral("Vorendi.mdb"));
    if (!QFile::copy(fileGrande(), fileScrivibile())) {
        std::fprintf(stderr, "Impossibile copiare %s\n", argv[1]);
        return 1;
    }
    const char *unaVendita = "--una-vendita=";
    if (argc == 3 && std::strncmp(argv[2], unaVendita, std::strlen(unaVendita)) == 0) {
        // Everything but the checkout itself happens in every mode, so that
        // "nessuna" counts what the others add to it.
        const std::string modo = argv[2] + std::strlen(unaVendita);
        const Carrello carrello = leggiCarrello(fileScrivibile());
        if (modo == "programma")
            return vendiProgramma(carrello) ? 0 : 1;
        if (modo == "riferimento")
            vendiRiferimento(*std::make_unique<Nudo>(fileScrivibile()), carrello, QDate::currentDate());
        else if (modo != "nessuna")
            return 2;
        return 0;
    }
    registraOperazioni();
    registraPrimoSchermo();
    std::optional<ServerProva> prova;
    std::optional<Rete> rete;
    if (conServer) {
        if (collegamento ? !usaServer(*collegamento) : !preparaServer(prova.emplace()))
            return 1;
        registraServer();
        if (!preparaRete(rete.emplace()))
            return 1;
    }
    Tabella tabella;
    benchmark::RunSpecifiedBenchmarks(&tabella);
    benchmark::Shutdown();
    return 0;
}
