#pragma once

#include <QByteArray>
#include <QString>

// A file survives a power cut only once its data and then its name, which
// lives in the folder, are on disk. These helpers write nothing else.

// Every byte of dati to fd, then the data on disk.
bool scriviTutto(int fd, const QByteArray &dati);

// The folder that holds percorso, on disk: a name just given there stays.
bool sincronizzaCartellaDi(const QString &percorso);

// A whole file written under a temporary name in the folder of finale: its
// data synced, then given the name finale, then the folder synced. With
// sostituisci a file already called finale is replaced in one step;
// without, it is never touched and the call fails.
bool mettiAlPosto(const QString &provvisorio, const QString &finale, bool sostituisci);

// A new file holding dati, named only once whole and on disk; an existing
// file is never replaced. Nothing is left behind on failure.
bool scriviNuovoFile(const QString &percorso, const QByteArray &dati);
