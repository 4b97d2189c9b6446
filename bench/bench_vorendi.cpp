// The program's own code against bare SQLite on a large shop file.
// Usage: vorendi-bench file.mdb [Google Benchmark options]

#include "bench/nudo.h"

#include "common/formati.h"
#include "common/griglia.h"
#include "counter/Ricevute_frm.h"
#include "reports/Operazioni_frm.h"
#include "stock/AggCarrello_frm.h"
#include "data/database_routines.h"
#include "data/percorso.h"
#include "data/routine.h"
#include "shell/MDIVorendi.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

QString &fileGrande()
{
    static QString percorso;
    return percorso;
}

// Writes go to a copy, so the cached file stays as generated.
QString &fileScrivibile()
{
    static QString percorso;
    return percorso;
}

constexpr int ANNO = 2020;

void usaFile(const QString &percorso)
{
    impostaPercorsoDatabase(percorso);
}

// Monthly statistics -------------------------------------------------------

void Statistiche_Programma(benchmark::State &stato)
{
    usaFile(fileGrande());
    SlotMensili slot;
    for (auto _ : stato) {
        CalcolaStatistiche(int(stato.range(0)), ANNO, slot);
        benchmark::DoNotOptimize(slot);
    }
}
BENCHMARK(Statistiche_Programma)->Name("statistiche_anno/programma")->Arg(1)->Arg(2)
    ->Unit(benchmark::kMillisecond);

void Statistiche_Riferimento(benchmark::State &stato)
{
    for (auto _ : stato) {
        Nudo nudo(fileGrande());
        benchmark::DoNotOptimize(nudo.leggi(
            "SELECT substr(dataop, 6, 2) AS mese, operazione, sum(prezzoacquisto),"
            " sum(prezzovendita), count(*) FROM prodotto"
            " WHERE dataop >= ? AND dataop < ? GROUP BY mese, operazione",
            {QStringLiteral("%1-01-01").arg(ANNO), QStringLiteral("%1-01-01").arg(ANNO + 1)}));
    }
}
BENCHMARK(Statistiche_Riferimento)->Name("statistiche_anno/riferimento")
    ->Unit(benchmark::kMillisecond);

// Operations register -------------------------------------------------------

const char *const SQL_OPERAZIONI =
    "SELECT p.id, p.dataop, p.codice, p.tipo, t.codice, p.prezzoacquisto, p.prezzovendita,"
    " p.pezzi FROM prodotto p LEFT JOIN tipo t ON t.id = p.tipo WHERE p.operazione = ?";
// The reference joins the type code to every row, the plain way.

struct Periodo
{
    const char *nome;
    qint16 operazione;
    const char *tipo;
    const char *dal;
    const char *al;
};

const Periodo PERIODI[] = {
    {"operazioni_vendite_anno", 2, "", "01/01/2020", "31/12/2020"},
    {"operazioni_giorno", 2, "", "15/05/2020", "15/05/2020"},
    {"operazioni_tipo_tutti_gli_anni", 2, "Dadi", "", ""},
};

void Operazioni_Programma(benchmark::State &stato, const Periodo &periodo)
{
    usaFile(fileGrande());
    Operazioni_frm finestra;
    for (auto _ : stato) {
        finestra.elenca(periodo.operazione, QString::fromUtf8(periodo.tipo),
                        QDate::fromString(QString::fromUtf8(periodo.dal), QStringLiteral("dd/MM/yyyy")),
                        QDate::fromString(QString::fromUtf8(periodo.al), QStringLiteral("dd/MM/yyyy")));
    }
}

void Operazioni_Riferimento(benchmark::State &stato, const Periodo &periodo)
{
    QByteArray sql(SQL_OPERAZIONI);
    QVariantList valori{periodo.operazione};
    if (*periodo.tipo) {
        sql += " AND p.tipo = (SELECT id FROM tipo WHERE codice = ? ORDER BY id LIMIT 1)";
    }
    if (*periodo.dal)
        sql += " AND p.dataop >= ? AND p.dataop <= ?";
    sql += " ORDER BY p.dataop, p.codice, p.tipo, p.id";
    const QString tipo = QString::fromUtf8(periodo.tipo);
    const auto iso = [](const char *giorno) {
        return QDate::fromString(QString::fromUtf8(giorno), QStringLiteral("dd/MM/yyyy"))
            .toString(Qt::ISODate);
    };
    const QString dal = iso(periodo.dal);
    const QString al = iso(periodo.al);
    for (auto _ : stato) {
        Nudo nudo(fileGrande());
        if (*periodo.tipo)
            benchmark::DoNotOptimize(nudo.leggi(sql.constData(), {periodo.operazione, tipo}));
        else if (*periodo.dal)
            benchmark::DoNotOptimize(nudo.leggi(sql.constData(), {periodo.operazione, dal, al}));
        else
            benchmark::DoNotOptimize(nudo.leggi(sql.constData(), {periodo.operazione}));
    }
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

// The stock of one type, 400 rows ------------------------------------------------

void Rimanenze_Programma(benchmark::State &stato)
{
    usaFile(fileGrande());
    AggCarrello_frm finestra;
    auto *tipi = finestra.findChild<QComboBox *>(QStringLiteral("Combo1"));
    const int viti = tipi->findText(QStringLiteral("Viti"));
    for (auto _ : stato)
        emit tipi->activated(viti);
}
BENCHMARK(Rimanenze_Programma)->Name("rimanenze_tipo/programma")->Unit(benchmark::kMillisecond);

void Rimanenze_Riferimento(benchmark::State &stato)
{
    for (auto _ : stato) {
        Nudo nudo(fileGrande());
        benchmark::DoNotOptimize(nudo.leggi("SELECT id FROM tipo WHERE codice=? ORDER BY id LIMIT 1",
                                            {QStringLiteral("Viti")}));
        benchmark::DoNotOptimize(nudo.leggi(
            "SELECT codice, prezzo, pezzi FROM rimanenze WHERE tipo=? ORDER BY codice", {1}));
    }
}
BENCHMARK(Rimanenze_Riferimento)->Name("rimanenze_tipo/riferimento")->Unit(benchmark::kMillisecond);

// Receipts register ----------------------------------------------------------

void Ricevute_Programma(benchmark::State &stato)
{
    usaFile(fileGrande());
    Ricevute_frm finestra;
    auto *aggiorna = finestra.findChild<QPushButton *>(QStringLiteral("Command1"));
    for (auto _ : stato)
        aggiorna->click();
}
BENCHMARK(Ricevute_Programma)->Name("ricevute_tutte/programma")->Unit(benchmark::kMillisecond);

void Ricevute_Riferimento(benchmark::State &stato)
{
    for (auto _ : stato) {
        Nudo nudo(fileGrande());
        benchmark::DoNotOptimize(
            nudo.leggi("SELECT codice, dataop, totale FROM ricevuta ORDER BY dataop, codice"));
    }
}
BENCHMARK(Ricevute_Riferimento)->Name("ricevute_tutte/riferimento")->Unit(benchmark::kMillisecond);

// Code suggestions for one typed letter --------------------------------------

void Suggerimenti_Programma(benchmark::State &stato)
{
    usaFile(fileGrande());
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

// Checkout of the 200-line cart ----------------------------------------------

struct Carrello
{
    QList<RigaVendita> righe;
    QList<QVariantList> grezze; // as stored, to put the cart back
    qint64 totale = 0;
};

Carrello leggiCarrello(const QString &percorso)
{
    Carrello carrello;
    Nudo nudo(percorso);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(nudo.db(),
                       "SELECT c.codice, t.codice, c.prezzo, c.pezzi, c.tipo, c.totale"
                       " FROM carrello c JOIN tipo t ON t.id = c.tipo ORDER BY c.tipo, c.prezzo",
                       -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const QString codice = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        const QString tipo = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
        const qint64 prezzo = sqlite3_column_int64(stmt, 2);
        const qint64 pezzi = sqlite3_column_int64(stmt, 3);
        carrello.righe.append({qint32(sqlite3_column_int64(stmt, 4)), codice, qint32(prezzo),
                               qint16(pezzi)});
        carrello.grezze.append(QVariantList{qint64(sqlite3_column_int64(stmt, 4)), codice, prezzo,
                                            pezzi, qint64(sqlite3_column_int64(stmt, 5))});
        carrello.totale += prezzo * pezzi;
    }
    sqlite3_finalize(stmt);
    return carrello;
}

void rimettiCarrello(const Carrello &carrello)
{
    Nudo nudo(fileScrivibile());
    nudo.esegui("BEGIN");
    nudo.esegui("DELETE FROM carrello");
    for (const QVariantList &r : carrello.grezze) {
        nudo.esegui("INSERT INTO carrello (tipo, codice, prezzo, pezzi, totale) VALUES (?, ?, ?, ?, ?)",
                    {r[0], r[1], r[2], r[3], r[4]});
    }
    nudo.esegui("COMMIT");
}

void Vendita_Programma(benchmark::State &stato)
{
    const Carrello carrello = leggiCarrello(fileScrivibile());
    usaFile(fileScrivibile());
    for (auto _ : stato) {
        const EsitoVendita esito =
            RegistraVendita(carrello.righe, carrello.totale, QDate::currentDate());
        stato.PauseTiming();
        if (esito.stato != EsitoVendita::Stato::Registrata)
            stato.SkipWithError("vendita non registrata");
        rimettiCarrello(carrello);
        stato.ResumeTiming();
    }
}
BENCHMARK(Vendita_Programma)->Name("vendita_200_righe/programma")->Unit(benchmark::kMillisecond);

void Vendita_Riferimento(benchmark::State &stato)
{
    const Carrello carrello = leggiCarrello(fileScrivibile());
    const QString oggi = QDate::currentDate().toString(Qt::ISODate);
    for (auto _ : stato) {
        {
            Nudo nudo(fileScrivibile());
            nudo.esegui("BEGIN IMMEDIATE");
            for (const RigaVendita &riga : carrello.righe) {
                nudo.esegui("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto,"
                            " pezzi, operazione, dataop) VALUES (?, ?, ?, 0, ?, 2, ?)",
                            {1, riga.codice, riga.prezzo, -riga.pezzi, oggi});
                nudo.esegui("UPDATE rimanenze SET pezzi=pezzi+?, prezzo=?, tipo=? WHERE codice=?",
                            {-riga.pezzi, riga.prezzo, 1, riga.codice});
                nudo.esegui("DELETE FROM carrello WHERE codice=? AND pezzi=?",
                            {riga.codice, riga.pezzi});
            }
            nudo.esegui("INSERT INTO ricevuta (dataop, totale) VALUES (?, ?)", {oggi, carrello.totale});
            nudo.esegui("COMMIT");
        }
        stato.PauseTiming();
        rimettiCarrello(carrello);
        stato.ResumeTiming();
    }
}
BENCHMARK(Vendita_Riferimento)->Name("vendita_200_righe/riferimento")->Unit(benchmark::kMillisecond);

// One routine call's own frame -------------------------------------------------

void Cornice_Programma(benchmark::State &stato)
{
    usaFile(fileGrande());
    for (auto _ : stato) {
        eseguiRoutine(Zona::Nessuna, [](Sessione &s) {
            QSqlQuery q = s.esegui(QStringLiteral("SELECT 1"));
            Sessione::prossima(q);
        });
    }
}
BENCHMARK(Cornice_Programma)->Name("cornice_routine/programma")->Unit(benchmark::kMicrosecond);

void Cornice_Riferimento(benchmark::State &stato)
{
    for (auto _ : stato) {
        Nudo nudo(fileGrande());
        benchmark::DoNotOptimize(nudo.leggi("SELECT 1"));
    }
}
BENCHMARK(Cornice_Riferimento)->Name("cornice_routine/riferimento")->Unit(benchmark::kMicrosecond);

// Start-up with the large file --------------------------------------------------

void Avvio_Programma(benchmark::State &stato)
{
    // Start-up opens Vorendi.mdb in the working directory: the copy is named so.
    const QString cartella = QDir::currentPath();
    QDir::setCurrent(QFileInfo(fileScrivibile()).absolutePath());
    for (auto _ : stato) {
        MDIVorendi finestra;
        finestra.show();
        QApplication::processEvents();
    }
    QDir::setCurrent(cartella);
}
BENCHMARK(Avvio_Programma)->Name("avvio/programma")->Unit(benchmark::kMillisecond);

// The table: median of each case, and its ratio to its reference.
class Tabella final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            std::string nome = run.benchmark_name();
            const std::string suffisso = "_median";
            if (nome.size() > suffisso.size()
                && nome.compare(nome.size() - suffisso.size(), suffisso.size(), suffisso) == 0)
                nome.erase(nome.size() - suffisso.size());
            mediane_[nome] = run.GetAdjustedRealTime() * multiplicatore(run.time_unit);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
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
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "Uso: vorendi-bench file.mdb [opzioni di Google Benchmark]\n");
        return 2;
    }
    fileGrande() = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    QTemporaryDir copie;
    fileScrivibile() = copie.filePath(QStringLiteral("Vorendi.mdb"));
    if (!QFile::copy(fileGrande(), fileScrivibile())) {
        std::fprintf(stderr, "Impossibile copiare %s\n", argv[1]);
        return 1;
    }
    registraOperazioni();
    Tabella tabella;
    benchmark::RunSpecifiedBenchmarks(&tabella);
    benchmark::Shutdown();
    return 0;
}
