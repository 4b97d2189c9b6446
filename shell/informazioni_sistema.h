#pragma once

#include <QString>

#include <functional>

class QWidget;

inline constexpr quint32 HKEY_LOCAL_MACHINE_RADICE = 0x80000002u;

// Reads one registry value as text. Only Windows has a registry: elsewhere
// this always fails with KeyVal empty.
bool GetKeyValue(quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                 QString &KeyVal);

using LettoreRegistro = std::function<bool(quint32, const QString &, const QString &, QString &)>;
using AvviaProgramma = std::function<bool(const QString &)>;
using EsisteFile = std::function<bool(const QString &)>;

// Starts the system-information tool, or says it is not available.
void StartSysInfo(QWidget *genitore, const LettoreRegistro &leggi = GetKeyValue,
                  const EsisteFile &esiste = {}, const AvviaProgramma &avvia = {});
