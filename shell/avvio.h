#pragma once

#include "data/configurazione.h"
#include "shell/MDIVorendi.h"

#include <memory>

// The program's start-up on the configuration its caller decided: zone
// reports become message boxes, the routines work as configured and the
// main window is built; then a wrong server string is told, a missing shop
// file offered to be created, the company row read and, where the
// configuration asks for it, the day's copy begun.
std::unique_ptr<MDIVorendi> avviaVorendi(const Configurazione &configurazione);
