#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QTest>

#include <chrono>
#include <optional>
#include <thread>

// Checkouts and purchases killed with SIGKILL at random moments: after every
// kill the file must be sound and hold the whole of the interrupted step or
// none of it.

namespace {

using Attesi = QList<std::pair<QString, qint64>>; // a query and its value

// The file after n whole steps of 20-line sales; `tutto`, known when the
// kill hit inside a step, says whether that step is in the file.
Attesi vendite(qint64 n, std::optional<bool> tutto)
{
    const QString vendite = QString::number(n);
    Attesi attesi = {
        // Refilled in one transaction too: whole or empty, and as listed.
        {"SELECT count(*) IN (0, 20) FROM carrello", 1},
        {"SELECT count(*) FROM (SELECT * FROM carrello EXCEPT SELECT * FROM prova_carrello)", 0},
        // One sale movement per line and sale, at the line's price and with
        // its pieces negated.
        {"SELECT count(*) FROM prodotto", 20 * n},
        {"SELECT count(*) FROM prodotto p JOIN prova_carrello c ON p.codice = c.codice"
         " AND p.tipo = c.tipo AND p.prezzovendita = c.prezzo AND p.pezzi = -c.pezzi"
         " WHERE p.operazione = 2 AND p.prezzoacquisto = 0",
         20 * n},
        {"SELECT count(*) FROM (SELECT codice FROM prodotto GROUP BY codice"
         " HAVING count(*) <> " + vendite + ")",
         0},
        // The stock lowered by exactly the pieces sold.
        {"SELECT count(*) FROM rimanenze r JOIN prova_rimanenze s ON s.codice = r.codice"
         " JOIN prova_carrello c ON c.codice = r.codice AND c.tipo = r.tipo"
         " AND c.prezzo = r.prezzo WHERE r.pezzi = s.pezzi - " + vendite + " * c.pezzi",
         20},
        {"SELECT count(*) FROM rimanenze", 20},
        // One receipt per sale with the cart's total, numbers without gaps.
        {"SELECT count(*) FROM ricevuta WHERE totale = (SELECT sum(totale) FROM prova_carrello)",
         n},
        {"SELECT coalesce(max(codice), 0) FROM ricevuta", n},
    };
    if (tutto) // the whole cart before the sale, none after it
        attesi.emplaceBack("SELECT count(*) FROM carrello", *tutto ? 0 : 20);
    return attesi;
}

Attesi acquisti(qint64 n, std::optional<bool>)
{
    return {
        // Movement i + 1 is purchase i, whole.
        {"SELECT coalesce(max(id), 0) FROM prodotto", n},
        {"SELECT count(*) FROM prodotto WHERE operazione = 1 AND tipo = 1 AND prezzovendita = id"
         " AND prezzoacquisto = id - 1 AND pezzi = (id - 1) % 7 + 1"
         " AND codice = 'ART-' || ((id - 1) % 10)",
         n},
        // Each code's stock is the sum of its movements, at the price of the latest.
        {"SELECT count(*) FROM rimanenze r JOIN (SELECT codice, sum(pezzi) AS pezzi,"
         " max(id) AS ultimo FROM prodotto GROUP BY codice) p ON p.codice = r.codice"
         " WHERE r.pezzi = p.pezzi AND r.prezzo = p.ultimo AND r.tipo = 1",
         qMin<qint64>(n, 10)},
        {"SELECT count(*) FROM rimanenze", qMin<qint64>(n, 10)},
    };
}

// What the kill hit, from the helper's last line and the file it left.
QString fase(const QString &passo, const QString &ultima, bool caldo, std::optional<bool> tutto)
{
    if (!tutto && ultima == QLatin1String("R"))
        return QStringLiteral("fuori: riempimento del carrello");
    if (!tutto)
        return QStringLiteral("fuori: tra un passo e l'altro");
    const char *quando = caldo ? "transazione a metà (giornale caldo)"
                               : *tutto ? "dopo il commit" : "prima di scrivere";
    return QStringLiteral("dentro %1: %2, %3 nel file")
        .arg(passo, QString::fromUtf8(quando), QLatin1String(*tutto ? "tutto" : "nulla"));
}

struct Lavoro
{
    QString modo;   // of the helper process
    QString passo;  // as the phases name it
    QString inizio; // the line that opens a step, followed by the steps so far
    QString fine;   // the line that closes a step
    QString conta;  // counts the whole steps in the file
    int uccisioni;
    Attesi (*attesi)(qint64, std::optional<bool>);
};

} // namespace

class TestArresti : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void venditeUccise();
    void acquistiUccisi();

private:
    void uccidi(const Lavoro &lavoro, const DatabaseDiProva &prova);
    QRandomGenerator caso_;
};

void TestArresti::initTestCase()
{
    bool ok = false;
    quint32 seme = qEnvironmentVariable("VORENDI_SEME").toUInt(&ok);
    if (!ok)
        seme = QRandomGenerator::global()->generate();
    qInfo("seme %u (VORENDI_SEME=%u ripete la prova)", seme, seme);
    caso_.seed(seme);
}

void TestArresti::uccidi(const Lavoro &lavoro, const DatabaseDiProva &prova)
{
    // One run measures a turn of the loop; the kills then fall anywhere in
    // one and a half turns after the helper is ready.
    qint64 giroUs = 0;
    {
        ProcessoProva misura({lavoro.modo, prova.percorso()});
        QVERIFY(misura.attendi(QStringLiteral("pronto")));
        QElapsedTimer tempo;
        tempo.start();
        QVERIFY(misura.attendi(lavoro.fine, 5));
        giroUs = tempo.nsecsElapsed() / 5000;
    }
    QMap<QString, int> fasi;
    // A loaded machine takes longer over the same kills, never another verdict.
    for (int k = 1; k <= lavoro.uccisioni; ++k) {
        ProcessoProva vittima({lavoro.modo, prova.percorso()});
        QVERIFY(vittima.attendi(QStringLiteral("pronto")));
        const qint64 attesa = caso_.bounded(qint64(1), giroUs * 3 / 2 + 2);
        std::this_thread::sleep_for(std::chrono::microseconds(attesa));
        const bool viva = vittima.uccidi();
        const QStringList righe = vittima.righe();
        const QString detto = righe.join(u'\n');
        QVERIFY2(viva && !detto.contains(QLatin1String("errore")), qPrintable(detto));
        const QFileInfo giornale(prova.percorso() + QStringLiteral("-journal"));
        const bool caldo = giornale.exists() && giornale.size() > 0;

        // The first read rolls a hot journal back, as the program's next routine would.
        QCOMPARE(prova.valore(QStringLiteral("PRAGMA integrity_check")).toString(),
                 QStringLiteral("ok"));
        const qint64 n = prova.valore(lavoro.conta).toLongLong();
        const QString ultima = righe.value(righe.size() - 1);
        std::optional<bool> tutto;
        if (ultima.startsWith(lavoro.inizio)) {
            const qint64 prima = ultima.mid(lavoro.inizio.size()).toLongLong();
            QVERIFY2(n == prima || n == prima + 1,
                     qPrintable(QStringLiteral("%1, prima %2").arg(n).arg(prima)));
            tutto = n == prima + 1;
        }
        const QString colpita = fase(lavoro.passo, ultima, caldo, tutto);
        for (const auto &[sql, atteso] : lavoro.attesi(n, tutto)) {
            const qint64 trovato = prova.valore(sql).toLongLong();
            const QString difetto = QStringLiteral("uccisione %1 (%2): %3 dà %4, non %5")
                                        .arg(k).arg(colpita, sql).arg(trovato).arg(atteso);
            QVERIFY2(trovato == atteso, qPrintable(difetto));
        }
        ++fasi[colpita];
    }
    qInfo("%s: %d uccisioni, un giro in %lld µs, %lld passi compiuti", qPrintable(lavoro.modo),
          lavoro.uccisioni, giroUs, prova.valore(lavoro.conta).toLongLong());
    for (auto i = fasi.cbegin(); i != fasi.cend(); ++i)
        qInfo("  %s: %d", qPrintable(i.key()), i.value());
}

void TestArresti::venditeUccise()
{
    DatabaseDiProva prova;
    preparaCarrello(prova);
    prova.esegui(QStringLiteral("CREATE TABLE prova_rimanenze AS SELECT * FROM rimanenze"));
    uccidi({"vendite", "la vendita", "V ", "v", "SELECT count(*) FROM ricevuta", 150, vendite},
           prova);
}

void TestArresti::acquistiUccisi()
{
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Prova')"));
    uccidi({"acquisti", "l'acquisto", "A ", "a", "SELECT count(*) FROM prodotto", 100, acquisti},
           prova);
}

QTEST_GUILESS_MAIN(TestArresti)
#include "tst_arresti.moc"
