#include "common/formati.h"

#include <QDate>

#include <cfenv>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>

namespace {

bool cifra(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool vuoto(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The number the digits from da on spell; -1 when one is not a digit.
int cifre(QByteArrayView testo, qsizetype da, qsizetype quante)
{
    int numero = 0;
    for (qsizetype i = da; i < da + quante; ++i) {
        if (testo[i] < '0' || testo[i] > '9')
            return -1;
        numero = numero * 10 + (testo[i] - '0');
    }
    return numero;
}

} // namespace

QString formatoNumero(qint64 valore, QStringView modello)
{
    bool raggruppa = false;
    qsizetype minimoCifre = 0;
    for (QChar c : modello) {
        raggruppa = raggruppa || c == u',';
        minimoCifre += c == u'0';
    }
    minimoCifre = qMin(minimoCifre, qsizetype(20));
    // The magnitude as unsigned, so the most negative value survives.
    quint64 resto = valore < 0 ? quint64(0) - quint64(valore) : quint64(valore);
    // Written backwards into one buffer: grids format every price they show.
    char16_t testo[48];
    qsizetype inizio = std::size(testo);
    qsizetype cifre = 0;
    while (resto > 0 || cifre < minimoCifre) {
        if (raggruppa && cifre > 0 && cifre % 3 == 0)
            testo[--inizio] = u'.';
        testo[--inizio] = char16_t(u'0' + resto % 10);
        resto /= 10;
        ++cifre;
    }
    if (valore < 0 && cifre > 0)
        testo[--inizio] = u'-';
    return QString(reinterpret_cast<const QChar *>(testo + inizio),
                   qsizetype(std::size(testo)) - inizio);
}

QString testoNumero(qint64 valore)
{
    return valore < 0 ? QString::number(valore) : QLatin1Char(' ') + QString::number(valore);
}

double leggiNumeroIniziale(QStringView testo)
{
    QString compatto;
    compatto.reserve(testo.size());
    for (QChar c : testo) {
        if (!vuoto(c))
            compatto.append(c);
    }
    qsizetype i = 0;
    const qsizetype n = compatto.size();
    QString numero;
    if (i < n && (compatto[i] == u'-' || compatto[i] == u'+'))
        numero.append(compatto[i++]);
    bool cifreViste = false;
    while (i < n && cifra(compatto[i])) {
        numero.append(compatto[i++]);
        cifreViste = true;
    }
    if (i < n && compatto[i] == u'.') {
        numero.append(compatto[i++]);
        while (i < n && cifra(compatto[i])) {
            numero.append(compatto[i++]);
            cifreViste = true;
        }
    }
    if (!cifreViste)
        return 0;
    if (i < n && (compatto[i] == u'e' || compatto[i] == u'E')) {
        qsizetype j = i + 1;
        QString esponente = QStringLiteral("e");
        if (j < n && (compatto[j] == u'-' || compatto[j] == u'+'))
            esponente.append(compatto[j++]);
        bool cifreEsponente = false;
        while (j < n && cifra(compatto[j])) {
            esponente.append(compatto[j++]);
            cifreEsponente = true;
        }
        if (cifreEsponente)
            numero.append(esponente);
    }
    bool ok = false;
    const double valore = numero.toDouble(&ok);
    return ok && std::isfinite(valore) ? valore : 0;
}

std::optional<double> leggiNumeroDigitato(QStringView testo)
{
    const QStringView pulito = testo.trimmed();
    qsizetype i = 0;
    const qsizetype n = pulito.size();
    QString numero;
    if (i < n && (pulito[i] == u'-' || pulito[i] == u'+'))
        numero.append(pulito[i++]);
    // Groups after the first must be exactly three digits: "1.234" is a
    // thousand and more, "1.2" is a typing mistake.
    int gruppo = 0;
    bool raggruppato = false;
    bool cifreViste = false;
    for (; i < n && pulito[i] != u','; ++i) {
        const QChar c = pulito[i];
        if (cifra(c)) {
            numero.append(c);
            ++gruppo;
            cifreViste = true;
        } else if (c == u'.') {
            if (gruppo == 0 || (raggruppato && gruppo != 3) || (!raggruppato && gruppo > 3))
                return std::nullopt;
            raggruppato = true;
            gruppo = 0;
        } else {
            return std::nullopt;
        }
    }
    if (raggruppato && gruppo != 3)
        return std::nullopt;
    if (i < n) {
        numero.append(u'.');
        for (++i; i < n; ++i) {
            if (!cifra(pulito[i]))
                return std::nullopt;
            numero.append(pulito[i]);
            cifreViste = true;
        }
    }
    if (!cifreViste)
        return std::nullopt;
    bool ok = false;
    const double valore = numero.toDouble(&ok);
    if (!ok || !std::isfinite(valore))
        return std::nullopt;
    return valore;
}

double arrotondaPari(double valore)
{
    const int modo = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double risultato = std::nearbyint(valore);
    std::fesetround(modo);
    return risultato;
}

std::optional<qint64> sommaImporti(qint64 a, qint64 b)
{
    qint64 risultato = 0;
    if (__builtin_add_overflow(a, b, &risultato))
        return std::nullopt;
    return risultato;
}

std::optional<qint64> prodottoImporti(qint64 a, qint64 b)
{
    qint64 risultato = 0;
    if (__builtin_mul_overflow(a, b, &risultato))
        return std::nullopt;
    return risultato;
}

namespace {

Orologio &orologioAttivo()
{
    static Orologio orologio;
    return orologio;
}

} // namespace

QDate oggi()
{
    return orologioAttivo() ? orologioAttivo()() : QDate::currentDate();
}

Orologio installaOrologio(Orologio orologio)
{
    return std::exchange(orologioAttivo(), std::move(orologio));
}

QString dataOggi()
{
    return testoGiorno(oggi());
}

QString testoGiorno(const QDate &giorno)
{
    int anno = 0;
    int mese = 0;
    int numero = 0;
    giorno.getDate(&anno, &mese, &numero);
    if (!giorno.isValid() || anno < 1 || anno > 9999)
        return giorno.isValid() ? giorno.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    // Written by hand: a register formats the day of every row it paints.
    const char16_t testo[10] = {
        char16_t(u'0' + numero / 10), char16_t(u'0' + numero % 10), u'/',
        char16_t(u'0' + mese / 10),   char16_t(u'0' + mese % 10),   u'/',
        char16_t(u'0' + anno / 1000), char16_t(u'0' + anno / 100 % 10),
        char16_t(u'0' + anno / 10 % 10), char16_t(u'0' + anno % 10)};
    return QString(reinterpret_cast<const QChar *>(testo), 10);
}

QDate giornoIso(QByteArrayView testo)
{
    if (testo.size() != 10 || testo[4] != '-' || testo[7] != '-')
        return {};
    const int anno = cifre(testo, 0, 4);
    const int mese = cifre(testo, 5, 2);
    const int giorno = cifre(testo, 8, 2);
    if (anno < 0 || mese < 0 || giorno < 0)
        return {};
    return QDate(anno, mese, giorno); // invalid for a day that does not exist
}

std::optional<QString> codicePulito(QStringView testo)
{
    // Blanks only: a line break or a tab at either end is refused with the rest.
    const auto blank = [](QChar c) { return c.isSpace() && c.category() != QChar::Other_Control; };
    qsizetype inizio = 0;
    qsizetype fine = testo.size();
    while (inizio < fine && blank(testo[inizio]))
        ++inizio;
    while (fine > inizio && blank(testo[fine - 1]))
        --fine;
    const QStringView pulito = testo.sliced(inizio, fine - inizio);
    for (QChar c : pulito) {
        const QChar::Category categoria = c.category();
        if (categoria == QChar::Other_Control || categoria == QChar::Separator_Line
            || categoria == QChar::Separator_Paragraph)
            return std::nullopt;
    }
    return pulito.toString();
}
