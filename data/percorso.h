#pragma once

#include <QString>

// The database file: "Vorendi.mdb" in the working directory at start-up.
inline const QString NOME_FILE_DATABASE = QStringLiteral("Vorendi.mdb");

// The working directory joined with the file name by the platform's separator.
QString percorsoPredefinito();

// The file and whether it is only read, as configured (data/configurazione.h).
QString percorsoDatabase();
bool solaLettura();
