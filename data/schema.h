#pragma once

#include <QString>
#include <QStringList>

// The version of the shop's tables this program writes; a session finds an
// older one brought up to date and refuses a newer one.
inline constexpr int VERSIONE_SCHEMA = 2;

// Writes a new database file at percorso, named only once whole and synced
// to disk; refuses to touch an existing one.
// On failure returns false and says why in errore.
bool creaDatabase(const QString &percorso, QString *errore = nullptr);
