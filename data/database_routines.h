#pragma once

// The database routines by name and zone. Each opens the file, does its work,
// closes it; on any failure it shows its zone report once and returns its
// failure value: a command false (or its Esito's Errore), a lookup or a list
// no value. No window opens the database itself.

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

// The company name and four lines that head every printout; program-wide,
// empty until first read.
extern QString AziendaNome;
extern QString AziendaInfo1;
extern QString AziendaInfo2;
extern QString AziendaInfo3;
extern QString AziendaInfo4;

// A lookup's answer: no value after a report; else what was found, which
// may be nothing.
template <typename T>
using Ricerca = std::optional<std::optional<T>>;

// The operation codes of a goods movement.
inline constexpr qint16 OPERAZIONE_ACQUISTO = 1;
inline constexpr qint16 OPERAZIONE_VENDITA = 2;

// Zone 1: records one goods movement (operation 1 purchase, 2 sale with its
// pieces negated) dated giorno and brings the article's stock row up to date
// (a sale changes its pieces only), all in one transaction. A failed stock
// update is reported as zone 4; either way nothing is written and the result
// is false.
bool RegistraProdotto(const QString &codiceTipo, const QString &codice, qint32 prezzoAcquisto,
                      qint32 prezzoVendita, qint16 pezzi, qint16 operazione, const QDate &giorno);

struct EsitoAggiungiTipo
{
    enum class Stato {
        Aggiunto,
        Esistente, // a type with that code, compared as IdTipo does, is there: nothing added
        Errore,    // reported already
    };
    Stato stato = Stato::Errore;
    explicit operator bool() const { return stato == Stato::Aggiunto; }
};

// Zone 2: adds a type with the code as given, unless a type with an equal
// code (without regard to case) exists already.
EsitoAggiungiTipo AggiungiTipo(const QString &codice);

// Zone 3: every type code, in ascending code order.
std::optional<QStringList> CaricaTipi();

// Zone 4: adds pieces to the stock row of an article code, or creates it;
// the row takes the given sale price and type.
bool AggiornaRimanenze(const QString &codice, qint32 idTipo, qint16 pezzi, qint32 prezzo);

enum class EsitoCarrello {
    Aggiunto,
    PezziInsufficienti, // the line would hold fewer than 1 piece: nothing changed
    Errore,             // reported already
};

struct RigaCarrello
{
    QString codice;
    qint32 idTipo = 0;
    QString tipo; // the type's code; empty when the type was deleted
    qint64 prezzo = 0;
    qint64 pezzi = 0;
    qint64 totale = 0;
};

// Zone 5: adds pieces of a stock article to its cart line, creating the line
// at the stock's price; the line keeps that price, its total is always price
// times pieces.
EsitoCarrello AggiungiCarrello(const QString &codice, qint16 pezzi);

struct EsitoCancellaTipo
{
    enum class Stato {
        Cancellato,
        InUso,  // stock rows or cart lines carry the type: nothing deleted
        Errore, // reported already
    };
    Stato stato = Stato::Errore;
    qint64 articoli = 0; // the article codes that use the type, when InUso
};

// Zone 6: deletes one type, unless an article in stock or in the cart still
// carries it; movements keep its id and do not hold it back.
EsitoCancellaTipo CancellaTipo(qint32 idTipo);

// Zone 7: the code of a type id, if there is such a type.
Ricerca<QString> CodiceTipo(qint32 idTipo);

// Zone 8: the id of a type code (compared without regard to case), if there
// is such a type; with equal codes the oldest type.
Ricerca<qint32> IdTipo(const QString &codice);

// Zone 9: the cart lines by type id, then price, each total price times
// pieces. A line or a sum beyond 64 bits is a failure.
std::optional<QList<RigaCarrello>> VisualizzaCarrello();

// The sum of the lines' totals; for lines from VisualizzaCarrello it fits.
qint64 totaleCarrello(const QList<RigaCarrello> &righe);

// Zone 10: removes the cart line of a code.
bool CancellaCarrello(const QString &codice);

struct RigaTipo
{
    qint32 id = 0;
    QString codice;
};

// Zone 11: every type, in ascending code order.
std::optional<QList<RigaTipo>> VisualizzaTipi();

// The company name and the four lines that head every printout.
struct DatiAzienda
{
    QString nome;
    QString info1;
    QString info2;
    QString info3;
    QString info4;
};

// Zone 12: reads the one generalità row into the company fields and returns
// them. With no row the fields keep their values; a null column stops the
// reading there, the fields before it read.
std::optional<DatiAzienda> LeggiGeneralita();
// The company row read now, for a printout's header or the company window;
// after a report, the fields as last read.
DatiAzienda generalitaDaStampare();

struct RigaRicevuta
{
    qint64 codice = 0;
    QDate data; // invalid when the stored text is not a day
    qint64 totale = 0;
};

// Zone 13: writes one receipt dated today; false after a report. Checkout
// writes its receipt with inserisciRicevuta (data/ricevute.h) inside its own
// transaction instead.
bool AggiungiRicevuta(qint64 totale);

// A long list handed over while it is read, in batches: the receiver takes
// the rows out of the list it is given, and returns false to stop the read
// where it is (a newer list was asked for). The routine then returns what a
// complete read would, without the rows already handed over.
template <typename Riga>
using Partite = std::function<bool(QList<Riga> &righe)>;

// Zone 14: the receipts of one day, or all of them for an invalid date, by
// date then number. No value after a report.
std::optional<QList<RigaRicevuta>> VisualizzaRicevute(const QDate &giorno = QDate(),
                                                      const Partite<RigaRicevuta> &partite = {});

// Zone 15: deletes one receipt; false after a report.
bool CancellaRicevuta(qint64 codice);

// One goods movement as the register lists it, compact: a long list holds
// hundreds of thousands.
struct RigaOperazione
{
    qint64 id = 0;
    qint64 prezzoAcquisto = 0;
    qint64 prezzoVendita = 0;
    QDate data; // invalid when the stored text is not a day
    QString codice;
    qint32 tipo = 0; // the type's id; its code is in the list's codiciTipo
    qint32 pezzi = 0; // negative for a sale
};
Q_DECLARE_TYPEINFO(RigaOperazione, Q_RELOCATABLE_TYPE);

struct ElencoOperazioni
{
    QList<RigaOperazione> righe;
    // Every type's code by id; a deleted type has none and shows empty.
    QHash<qint32, QString> codiciTipo;
    // Price times signed pieces over the rows, so sales sum below zero.
    qint64 totaleVendite = 0;
    qint64 totaleAcquisti = 0;
    // False after a report: the rows are those read before the failure, which
    // the register still shows, and the totals count nothing.
    bool completo = false;
};

// Zone 16: the movements of one operation, narrowed to a type code unless it
// is empty and to the days from dal to al (both included) where those are
// valid, by day, article code and type. The totals and completo come at the
// end of the read that gave the rows; partite, when given, receives the rows
// as they are read, each batch with every type's code.
ElencoOperazioni VisualizzaOperazioni(qint16 operazione, const QString &codiceTipo, const QDate &dal,
                                      const QDate &al,
                                      const std::function<bool(ElencoOperazioni &parte)> &partite = {});

// Zone 17: writes the company row, creating it when the table has none.
bool SalvaGeneralita(const QString &nome, const QString &info1, const QString &info2,
                     const QString &info3, const QString &info4);

// The monthly statistics of one year, January first: per month the purchase
// and the sales figure.
struct SlotMensili
{
    std::array<qint64, 12> acquisti{};
    std::array<qint64, 12> vendite{};
};

// Zone 18: the slots of one year. Mode 1 sums prices (prezzoacquisto of
// purchases, prezzovendita of sales, once per movement whatever its pieces),
// mode 2 counts purchases and sales; any other mode reads nothing and gives
// zeros. Movements whose date is not a real day are left out.
std::optional<SlotMensili> CalcolaStatistiche(int modo, int anno);

// Zone 19: the stock codes of a type that begin with prefisso, taken
// literally and without regard to case, in code order.
std::optional<QStringList> SuggerimentiCodice(qint32 idTipo, const QString &prefisso);

// Zone 20: deletes the stock row of a code; its movements and cart line stay.
bool CancellaRimanenza(const QString &codice);

// Zone 21: sets the sale price of the stock row of a code.
bool AggiornaPrezzo(const QString &codice, qint32 prezzo);

// Zone 22: deletes one movement; the stock and the receipts stay as they are.
// False after a report.
bool CancellaOperazione(qint64 id);

// Zone 23: the number of the last receipt written; 0 when there is none.
std::optional<qint64> UltimaRicevuta();

// One stock row as the stock window lists it.
struct RigaRimanenza
{
    QString codice;
    qint64 prezzo = 0;
    qint64 pezzi = 0;
    QString tipo = {}; // the type's code, in a search across types
};

// Zone 24: the stock rows of one type, in code order.
std::optional<QList<RigaRimanenza>> VisualizzaRimanenze(qint32 idTipo);
// Zone 24 too: the stock rows of the type of that code (compared as IdTipo
// does; the lowest id among equal codes), in one statement; none when there
// is no such type.
std::optional<QList<RigaRimanenza>> RimanenzeDelTipo(const QString &codiceTipo,
                                                     const Partite<RigaRimanenza> &partite = {});

// Zone 25: the stock rows of every type whose code contains the text, taken
// literally and without regard to case, in code order, each with its type's
// code (empty for a deleted type).
std::optional<QList<RigaRimanenza>> TrovaRimanenze(const QString &parte);

// One cart line as checkout sells it, built with designated initializers.
struct RigaVendita
{
    qint32 idTipo = 0; // as the cart line carries it
    QString codice;
    qint32 prezzo = 0;
    qint16 pezzi = 0; // pieces sold, positive
};

struct EsitoVendita
{
    enum class Stato {
        Registrata,
        CarrelloCambiato, // a line is no longer in the cart as listed: nothing written
        Errore,           // reported already: nothing written
    };
    Stato stato = Stato::Errore;
    // The receipt written, when Registrata: what the customer's copy prints.
    qint64 numeroRicevuta = 0;
    QDate giorno;
    qint64 totale = 0;
};

// Checkout, all or nothing in one transaction, dated the day it starts: for
// each line a sale movement (pieces negated, purchase price 0) that lowers
// the stock's pieces only, then the line's removal from the cart; then one
// receipt of the lines' total (price times pieces, as matched). The sale is
// exactly the list: a line no longer in the cart with the same pieces and
// price, or a line in the cart that the list does not hold, stops it. On a
// failure the failing step's zone is reported once (1 movement, 4 stock, 10
// cart, 13 receipt).
EsitoVendita RegistraVendita(const QList<RigaVendita> &righe);
