#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

inline const QString MESSAGGIO_DATA_NON_CORRETTA =
    QStringLiteral("Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA");

// A day typed as GG/MM/AAAA into a register's filter: exactly 10 characters,
// "/" as the third and sixth, day 1 to 31, month 1 to 12 and year above 0,
// each read as the leading number of its characters; and a day that exists.
// Empty when the text is refused.
std::optional<QDate> leggiGiornoFiltro(QStringView testo);
