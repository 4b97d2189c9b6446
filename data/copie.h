#pragma once

#include <QDate>
#include <QString>

#include <chrono>

// How many daily copies are kept in the Backup folder beside the file.
inline constexpr int COPIE_TENUTE = 30;

struct EsitoCopia
{
    enum class Stato {
        Fatta,  // a new copy was written
        GiaFatta, // today's copy was there already
        Fallita,
    };
    Stato stato = Stato::Fallita;
    QString file;   // today's copy
    QString motivo; // why it failed, in Italian
};

// Writes today's consistent copy of the database file with SQLite's online
// backup, as Backup/Vorendi-AAAA-MM-GG.mdb beside it, unless it is there
// already (or, with sostituisci, replacing it by a newer one), then keeps
// only the newest COPIE_TENUTE copies. The file is read
// a few pages at a time with pauses in between, so that a sale never waits
// for more than a moment; a copy is written under a temporary name and gets
// its own only when whole and synced to disk; a temporary copy left by a
// crash is removed. Safe to run in a thread of its own.
EsitoCopia copiaDelGiorno(const QString &database, const QDate &oggi, bool sostituisci = false,
                          std::chrono::milliseconds pausa = std::chrono::milliseconds(5));
