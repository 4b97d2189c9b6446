#pragma once

#include <QString>
#include <QStringList>

inline constexpr int VERSIONE_SCHEMA = 1;

// The statements that build a new file: the six tables, their indexes and
// the one company row.
QStringList istruzioniSchema();

// Writes a new database file at percorso, named only once whole and synced
// to disk; refuses to touch an existing one.
// On failure returns false and says why in errore.
bool creaDatabase(const QString &percorso, QString *errore = nullptr);
