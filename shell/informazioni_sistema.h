#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

inline constexpr quint32 HKEY_LOCAL_MACHINE_RADICE = 0x80000002u;
inline constexpr quint32 REG_SZ_TIPO = 1;
inline constexpr quint32 REG_DWORD_TIPO = 4;

// Turns a registry value's raw bytes into text: the buffer is cut to the
// reported length, a final NUL dropped; a string value is its text, a 32-bit
// value its decimal text. Other types leave KeyVal as it was.
void decodificaValoreRegistro(quint32 tipo, const QByteArray &buffer, quint32 lunghezza,
                              QString &KeyVal);

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
