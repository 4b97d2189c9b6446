#pragma once

#include <QString>

#include <functional>
#include <optional>

// A shop with several counters keeps its data on a PostgreSQL server: the
// routines then work there instead of on the file. Empty: the file. As
// configured (data/configurazione.h).
QString server();
bool suServer();

// The libpq connection string checked, or why it is not one (in Italian).
bool connessioneValida(const QString &connessione, QString *errore = nullptr);

// What the shopkeeper is shown of the server: "negozio su 10.0.0.5:5432".
// Never the password.
QString descrizioneServer(const QString &connessione);

// This counter's name on the server; every counter has a cart of its own.
// As configured, else the machine's name.
QString postazione();

// Whether the link to the server is encrypted (TLS), as the last server
// connection opened found it; nullopt before any. Any thread.
void registraCifratura(bool cifrato);
std::optional<bool> collegamentoCifrato();
// Told each time a server connection opens, on the thread that opened it,
// whether it is encrypted. Returns the one it replaces.
using AvvisoCifratura = std::function<void(bool cifrato)>;
AvvisoCifratura installaAvvisoCifratura(AvvisoCifratura avviso);

// Builds the tables on an empty server database, in one transaction, as the
// connection's role, which must own the database: it sets the database's
// idle_in_transaction_session_timeout, so that the rows a silent counter
// holds are freed in seconds. With ruoloCasse, an existing role, that role
// gets only what a counter does with the tables, never their change.
bool creaDatabaseServer(const QString &connessione, QString *errore = nullptr, const QString &ruoloCasse = {});

// Copies a shop file into an empty server database in one transaction, the
// counters carried on, and checks that every table holds as many rows and
// the same sums on both sides. The file is only read. The carts of the file
// become this counter's cart. The database and ruoloCasse as for
// creaDatabaseServer.
struct EsitoMigrazione
{
    bool riuscita = false;
    QString messaggio; // what was copied, or why nothing was
};
EsitoMigrazione migraSuServer(const QString &file, const QString &connessione, const QString &ruoloCasse = {});
