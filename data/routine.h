#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <QVariantList>

#include <chrono>
#include <functional>
#include <memory>
#include <limits>
#include <optional>

struct sqlite3;
struct pg_conn;
struct pg_result;
class Dialetto;

// The frame every database routine shares: this thread's connection to the
// file (opened read-write, never creating it) or to the server, then the
// routine; any failure becomes one zone report and the routine's failure
// value, and the file's connection is opened anew next time. Inside a
// routine, failures travel as ErroreRoutine and never leave eseguiRoutine.

// Each routine's own zone number, shown only in its report.
enum class Zona : int {
    Nessuna = 0,
    RegistraProdotto = 1,
    AggiungiTipo = 2,
    CaricaTipi = 3,
    AggiornaRimanenze = 4,
    AggiungiCarrello = 5,
    CancellaTipo = 6,
    CodiceTipo = 7,
    IdTipo = 8,
    VisualizzaCarrello = 9,
    CancellaCarrello = 10,
    VisualizzaTipi = 11,
    LeggiGeneralita = 12,
    AggiungiRicevuta = 13,
    VisualizzaRicevute = 14,
    CancellaRicevuta = 15,
    VisualizzaOperazioni = 16,
    SalvaGeneralita = 17,
    CalcolaStatistiche = 18,
    SuggerimentiCodice = 19,
    CancellaRimanenza = 20,
    AggiornaPrezzo = 21,
    CancellaOperazione = 22,
    UltimaRicevuta = 23,
    VisualizzaRimanenze = 24,
    TrovaRimanenze = 25,
};

struct ErroreRoutine
{
    int numero = 0;
    QString descrizione;
    // Set when the failing step belongs to another routine run inside this
    // one (a movement's stock update): that routine's zone is reported.
    Zona zona = Zona::Nessuna;
    // On the server: the SQLSTATE of the failure, in place of a number.
    QString stato = {};
    // A failure the program found itself, told in Italian.
    QString italiano = {};
};

// Engine codes, for failures the program detects itself while reading.
inline constexpr int ERRORE_TIPO_DATO = 20; // SQLITE_MISMATCH
inline constexpr int ERRORE_NON_TROVATO = 12; // SQLITE_NOTFOUND
inline constexpr int ERRORE_SCHEMA = 17;      // SQLITE_SCHEMA

// How long a file locked by another program is waited for before it counts
// as a failure: long enough to ride out another program's short write, short
// enough that the user is told soon. Tests take a shorter one.
inline constexpr std::chrono::milliseconds ATTESA_FILE_BLOCCATO{5000};
void impostaAttesaFileBloccato(std::chrono::milliseconds attesa);
std::chrono::milliseconds attesaFileBloccato();

class Collegamento;

// The rows of one statement, read forward: the file's through Qt, the
// server's whole as libpq received them.
class Righe final
{
public:
    Righe() = default;
    // Advances to the next row; false at the end. Step errors are failures.
    bool prossima();
    bool nullo(int colonna) const;
    // Rows the statement changed.
    qint64 cambiate() const;
    // Done with: the file's statement lets go of what it holds.
    void finisci() { query_.finish(); }
    // The file's number of the row just inserted.
    QVariant idInserito() const { return query_.lastInsertId(); }

private:
    friend class Sessione;
    friend QString colonnaTesto(const Righe &righe, int colonna);
    friend qint64 colonnaIntero(const Righe &righe, int colonna, qint64 minimo, qint64 massimo);
    QSqlQuery query_;
    std::shared_ptr<pg_result> pg_;
    int riga_ = -1;
};

// A statement prepared once for running it many times; on the server it is
// prepared once per connection and kept.
class Istruzione final
{
private:
    friend class Sessione;
    QSqlQuery query_;
    QByteArray sql_;
};

class Sessione final
{
public:
    // The shop file at percorso: this thread's connection, kept open from
    // one routine to the next while it is still that file's.
    explicit Sessione(const QString &percorso);
    // The server of a libpq connection string: this thread's connection,
    // kept open from one routine to the next.
    struct SulServer
    {
        QString connessione;
    };
    explicit Sessione(const SulServer &server);
    ~Sessione();
    Sessione(const Sessione &) = delete;
    Sessione &operator=(const Sessione &) = delete;

    Istruzione prepara(const QString &sql);
    Righe esegui(Istruzione &istruzione, const QVariantList &valori = {});
    // Runs with the values bound in order; rows are read forward only.
    Righe esegui(const QString &sql, const QVariantList &valori = {});

    // What differs between the file and the server, for routine bodies.
    const Dialetto &dialetto() const { return *dialetto_; }
    // The place that holds the shop, for a report ("Il file …").
    QString luogo() const;

    // The engine's own handle, for long lists read with SQLite's C API
    // (data/lettura.h) on this very connection.
    sqlite3 *motore() const;
    // For the frame and the reader only: routine bodies ask the dialect.
    bool server() const { return server_; }
    // On the server, this thread's connection, for long lists.
    Collegamento &collegamento() const;
    // After the server's connection was lost: a new one, for finding out
    // what became of the work sent.
    void ricollega();

    // The start and end of a transaction (Transazione); on the server the
    // start travels with the first statement.
    void inizia();
    void termina(bool conferma);

    // Advances to the next row; false at the end. Step errors are failures.
    static bool prossima(Righe &righe) { return righe.prossima(); }

private:
    void chiudi();
    void apriSulServer();
    QString chiaveDelServer(const QString &connessione);

    QString nome_;
    QSqlDatabase db_;
    bool server_ = false;
    const Dialetto *dialetto_ = nullptr;
    QString nomeLuogo_;
};

// All or nothing: rolls back unless conferma() was reached.
class Transazione final
{
public:
    explicit Transazione(Sessione &sessione);
    ~Transazione();
    Transazione(const Transazione &) = delete;
    Transazione &operator=(const Transazione &) = delete;
    void conferma();

private:
    Sessione &sessione_;
    bool aperta_ = true;
};

// Typed reads of column i of the current row; a null or a value of the wrong
// kind is a failure, as is a number outside the stated range.
QString colonnaTesto(const Righe &righe, int colonna);
qint64 colonnaIntero(const Righe &righe, int colonna, qint64 minimo = std::numeric_limits<qint64>::min(),
                     qint64 massimo = std::numeric_limits<qint64>::max());

[[noreturn]] void fallisci(int numero, const QString &descrizione);
[[noreturn]] void fallisciSulServer(const QString &stato, const QString &descrizione);
// A failure told in Italian: what is missing, or a schema the program cannot use.
[[noreturn]] void fallisciInItaliano(int numero, const QString &descrizione);

// How many times a routine on the server is run again after a serialization
// failure, a deadlock or a concurrent insert of the same key.
inline constexpr int TENTATIVI_SUL_SERVER = 8;

// An amount from sommaImporti or prodottoImporti: one that did not fit in 64
// bits is a failure, reported as the engine's own sum() reports it.
qint64 importo(std::optional<qint64> risultato);

// Runs corpo inside the frame; true when it finished without a failure.
bool eseguiRoutine(Zona zona, const std::function<void(Sessione &)> &corpo);

// Runs one step of a routine; a failure carries the zone of the routine whose
// work the step is, unless a deeper step named its own already.
template <typename Passo>
auto inZona(Zona zona, Passo passo)
{
    try {
        return passo();
    } catch (ErroreRoutine &errore) {
        if (errore.zona == Zona::Nessuna)
            errore.zona = zona;
        throw;
    }
}
