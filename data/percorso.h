#pragma once

#include <QString>

// The database file: "Vorendi.mdb" in the working directory at start-up.
inline const QString NOME_FILE_DATABASE = QStringLiteral("Vorendi.mdb");

// The working directory joined with the file name by the platform's separator.
QString percorsoPredefinito();

void impostaPercorsoDatabase(const QString &percorso);
QString percorsoDatabase();

// Every routine opens the file read-only from now on: a tool that must never
// change it.
void impostaSolaLettura(bool solaLettura);
bool solaLettura();
