#pragma once

#include "data/database_routines.h"

#include <QStringView>

// The last computation's monthly slots and the mode of the last menu opening
// (1 values, 2 counts, 0 before any): program-wide, so they outlive the
// statistics window.
extern SlotMensili SlotStatistiche;
extern int ModoStatistiche;

// The year in the year field: its leading number rounded, halves to even;
// 0 when it does not start with a number, so that no movement matches.
int annoScelto(QStringView testo);
