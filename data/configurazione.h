#pragma once

#include <QString>

#include <chrono>

// Where and how the data routines work. Decided once at start-up, by the
// program from where it is started and by a tool from its options, and
// handed to the data layer in one call.
struct Configurazione
{
    QString percorso = {}; // the shop file
    // A libpq connection string: the routines work on that server instead
    // of the file. Empty: the file.
    QString server = {};
    // Every routine opens the shop read-only: a tool that must never change it.
    bool solaLettura = false;
    // How long a file locked by another program, or a row another counter
    // holds, is waited for before it counts as a failure: long enough to
    // ride out another program's short write, short enough that the user is
    // told soon. Tests take a shorter one.
    std::chrono::milliseconds attesaFileBloccato{5000};
    // How long the server may stay silent (a reply, a connection) before
    // the link counts as interrupted, and how long a routine on the server
    // goes on retrying what another counter holds. Tests take a shorter one.
    std::chrono::milliseconds limiteRete{9000};
    // This counter's name on the server, where every counter has a cart of
    // its own; empty stands for the machine's name.
    QString postazione = {};
    // The file is copied once a day, at start-up and again at closing. A
    // server keeps its own backups.
    bool copiaDelGiorno = false;
};

// The program's: Vorendi.mdb in the working directory, or the server named
// by VORENDI_SERVER; the counter named by VORENDI_POSTAZIONE, else after the
// machine; the day's copy where the shop is a file.
Configurazione configurazioneDallAmbiente();

// The routines work as configured from now on, in every thread.
void impostaConfigurazione(const Configurazione &configurazione);
Configurazione configurazione();
