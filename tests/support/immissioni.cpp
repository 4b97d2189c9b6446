#include "support/immissioni.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>

QList<ValoreOstile> testiOstili()
{
    // Every character that has a meaning in SQL, LIKE or a glob, over and over.
    QString lungo;
    while (lungo.size() < 1000)
        lungo += QStringLiteral("Aé'\"%_*\\ ;-- ");
    lungo.truncate(1000);
    return {
        {QStringLiteral("apice"), QStringLiteral("'"), false},
        {QStringLiteral("virgolette"), QStringLiteral("\""), false},
        {QStringLiteral("percento"), QStringLiteral("%"), false},
        {QStringLiteral("trattino basso"), QStringLiteral("_"), false},
        {QStringLiteral("asterisco"), QStringLiteral("*"), false},
        {QStringLiteral("barra rovescia"), QStringLiteral("\\"), false},
        {QStringLiteral("mille caratteri"), lungo, true},
        {QStringLiteral("accenti ed emoji"), QStringLiteral("Perché più città 🛒"), false},
        {QStringLiteral("solo spazi"), QStringLiteral("   "), false},
        {QStringLiteral("vuoto"), QString(), false},
    };
}

QList<ValoreOstile> numeriOstili()
{
    QList<ValoreOstile> valori = testiOstili();
    valori += {
        {QStringLiteral("negativo"), QStringLiteral("-5"), false},
        {QStringLiteral("oltre 32 bit"), QStringLiteral("2147483648"), false},
        {QStringLiteral("oltre 16 bit"), QStringLiteral("32768"), false},
        {QStringLiteral("lettere incollate"), QStringLiteral("abc"), true},
        {QStringLiteral("mille cifre"), QString(1000, u'9'), true},
    };
    return valori;
}

void digita(QWidget *campo, const QString &testo)
{
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo.at(i);
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            QTest::keyClick(campo, char(c.unicode()));
            continue;
        }
        // A character outside the BMP is one key: both halves of its pair.
        const qsizetype lunghezza = c.isHighSurrogate() && i + 1 < testo.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, testo.mid(i, lunghezza),
                            Qt::NoModifier);
        i += lunghezza - 1;
    }
}

void incolla(QWidget *campo, const QString &testo)
{
    QGuiApplication::clipboard()->setText(testo);
    QTest::keyClick(campo, Qt::Key_V, Qt::ControlModifier);
}

void immetti(QWidget *campo, const ValoreOstile &valore)
{
    if (valore.incollato)
        incolla(campo, valore.testo);
    else
        digita(campo, valore.testo);
}
