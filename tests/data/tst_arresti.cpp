#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <chrono>
#include <functional>
#include <thread>

// Checkouts and purchases killed with SIGKILL at random moments: after every
// kill the file must be sound and hold the whole of the interrupted work or
// none of it.

namespace {

constexpr int RIGHE_CARRELLO = 20;
constexpr qint64 SCORTA_INIZIALE = 1000000;
constexpr int UCCISIONI_VENDITE = 300;
constexpr int UCCISIONI_ACQUISTI = 200;
// A bound for each kind, far above what the kills take, so that a machine
// that has slowed down fails visibly instead of hanging the suite.
constexpr int LIMITE_MS = 45000;

// One connection for all the checks after a kill; opening it also rolls a
// hot journal back, as the program's next routine would.
class Verifica final
{
public:
    explicit Verifica(const QString &percorso)
    {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("verifica"));
        db_.setDatabaseName(percorso);
        db_.open();
    }
    ~Verifica()
    {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("verifica"));
    }

    QVariant valore(const QString &sql)
    {
        QSqlQuery q(db_);
        if (!q.exec(sql) || !q.next()) {
            errore_ = sql + QStringLiteral(": ") + q.lastError().text();
            return {};
        }
        return q.value(0);
    }
    qint64 numero(const QString &sql) { return valore(sql).toLongLong(); }
    QString errore() const { return errore_; }

private:
    QSqlDatabase db_;
    QString errore_;
};

// What a kill hit, from the helper's last line and the file it left.
struct Colpo
{
    QString fase;
    bool tutto = false; // the interrupted step is in the file
};

class Conteggio final
{
public:
    void aggiungi(const Colpo &colpo)
    {
        ++fasi_[colpo.fase];
        ++totale_;
    }
    int totale() const { return totale_; }
    void stampa(const char *cosa) const
    {
        qInfo("%s: %d uccisioni", cosa, totale_);
        for (auto i = fasi_.cbegin(); i != fasi_.cend(); ++i)
            qInfo("  %s: %d", qPrintable(i.key()), i.value());
    }

private:
    QMap<QString, int> fasi_;
    int totale_ = 0;
};

// The helper running one kind of work in a loop, started, left to run for a
// while and killed.
class Vittima final
{
public:
    Vittima(const QString &modo, const QString &percorso)
    {
        processo_.setProgram(programmaProcessoProva());
        processo_.setArguments({modo, percorso});
        processo_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }

    ~Vittima()
    {
        if (processo_.state() != QProcess::NotRunning) {
            processo_.kill();
            processo_.waitForFinished(10000);
        }
    }

    bool avvia()
    {
        processo_.start();
        return processo_.waitForStarted(10000) && attendiRighe(QStringLiteral("pronto"), 1);
    }

    // Waits until the line has been written n times since the start.
    bool attendiRighe(const QString &riga, int volte)
    {
        QDeadlineTimer limite(10000);
        while (righe().count(riga) < volte) {
            if (limite.hasExpired() || processo_.state() != QProcess::Running)
                return false;
            if (processo_.waitForReadyRead(int(qMax<qint64>(1, limite.remainingTime()))))
                uscita_ += processo_.readAllStandardOutput();
        }
        return true;
    }

    // SIGKILL, then everything it wrote before dying.
    QStringList uccidi()
    {
        vivaAllUccisione_ = processo_.state() == QProcess::Running;
        processo_.kill();
        processo_.waitForFinished(10000);
        uscita_ += processo_.readAllStandardOutput();
        return righe();
    }

    // Still running when the kill came: it did not stop or crash on its own.
    bool vivaAllUccisione() const { return vivaAllUccisione_; }

private:
    QStringList righe() const
    {
        return QString::fromUtf8(uscita_).split(u'\n', Qt::SkipEmptyParts);
    }

    QProcess processo_;
    QByteArray uscita_;
    bool vivaAllUccisione_ = false;
};

bool giornaleCaldo(const QString &percorso)
{
    const QFileInfo giornale(percorso + QStringLiteral("-journal"));
    return giornale.exists() && giornale.size() > 0;
}

// The phase of the last line written: inside the routine ("V n"/"A n") or
// somewhere between the routines of the loop.
QString fuori(const QString &ultima)
{
    if (ultima == QLatin1String("R"))
        return QStringLiteral("fuori: riempimento del carrello");
    return QStringLiteral("fuori: tra un passo e l'altro");
}

QString dentro(bool caldo, bool tutto, const QString &routine)
{
    if (caldo)
        return QStringLiteral("dentro %1: transazione a metà (giornale caldo), %2 nel file")
            .arg(routine, tutto ? QStringLiteral("tutto") : QStringLiteral("nulla"));
    if (tutto)
        return QStringLiteral("dentro %1: dopo il commit, tutto nel file").arg(routine);
    return QStringLiteral("dentro %1: prima di scrivere, nulla nel file").arg(routine);
}

quint32 seme()
{
    bool ok = false;
    const quint32 dato = qEnvironmentVariable("VORENDI_SEME").toUInt(&ok);
    return ok ? dato : QRandomGenerator::global()->generate();
}

} // namespace

class TestArresti : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void venditeUccise();
    void acquistiUccisi();

private:
    using Controllo = std::function<QString(const QStringList &righe, bool caldo, Colpo &colpo)>;
    void uccidiRipetutamente(const QString &modo, const QString &percorso, int uccisioni,
                             const QString &passoCompiuto, const Controllo &controlla,
                             Conteggio &conteggio);

    QRandomGenerator caso_;
};

void TestArresti::initTestCase()
{
    const quint32 s = seme();
    qInfo("seme %u (VORENDI_SEME=%u ripete la prova)", s, s);
    caso_.seed(s);
}

void TestArresti::uccidiRipetutamente(const QString &modo, const QString &percorso, int uccisioni,
                                      const QString &passoCompiuto, const Controllo &controlla,
                                      Conteggio &conteggio)
{
    // One run measures a turn of the loop; the kills then fall anywhere in
    // one and a half turns after the helper is ready.
    QElapsedTimer tempo;
    qint64 giroUs = 0;
    {
        Vittima vittima(modo, percorso);
        QVERIFY(vittima.avvia());
        tempo.start();
        QVERIFY(vittima.attendiRighe(passoCompiuto, 5));
        giroUs = tempo.nsecsElapsed() / 5000;
        vittima.uccidi();
    }
    qInfo("%s: un giro del ciclo dura %lld µs", qPrintable(modo), giroUs);

    QElapsedTimer durata;
    durata.start();
    while (conteggio.totale() < uccisioni) {
        QVERIFY2(durata.elapsed() < LIMITE_MS,
                 qPrintable(QStringLiteral("solo %1 uccisioni in %2 ms")
                                .arg(conteggio.totale())
                                .arg(LIMITE_MS)));
        Vittima vittima(modo, percorso);
        QVERIFY(vittima.avvia());
        std::this_thread::sleep_for(
            std::chrono::microseconds(caso_.bounded(qint64(1), giroUs * 3 / 2 + 2)));
        const QStringList righe = vittima.uccidi();
        QVERIFY2(vittima.vivaAllUccisione(), qPrintable(righe.join(u'\n')));
        for (const QString &riga : righe)
            QVERIFY2(!riga.startsWith(QLatin1String("errore")), qPrintable(riga));
        const bool caldo = giornaleCaldo(percorso);

        Colpo colpo;
        const QString difetto = controlla(righe, caldo, colpo);
        QVERIFY2(difetto.isEmpty(),
                 qPrintable(QStringLiteral("dopo l'uccisione %1 (%2): %3")
                                .arg(conteggio.totale() + 1)
                                .arg(colpo.fase, difetto)));
        conteggio.aggiungi(colpo);
    }
}

void TestArresti::venditeUccise()
{
    DatabaseDiProva prova;
    // Twenty articles of two types, each in the cart with its own pieces.
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Prova'), ('Altro')"));
    for (int k = 1; k <= RIGHE_CARRELLO; ++k) {
        const QString codice = QStringLiteral("COD-%1").arg(k, 2, 10, QLatin1Char('0'));
        const int tipo = k % 2 + 1;
        const int prezzo = 100 * k + 5;
        prova.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo)"
                                    " VALUES (?, ?, ?, ?)"),
                     {codice, tipo, SCORTA_INIZIALE, prezzo});
        prova.esegui(QStringLiteral("INSERT INTO carrello (codice, tipo, prezzo, pezzi, totale)"
                                    " VALUES (?, ?, ?, ?, ?)"),
                     {codice, tipo, prezzo, k, k * prezzo});
    }
    prova.esegui(QStringLiteral("CREATE TABLE prova_carrello AS SELECT * FROM carrello"));
    const qint64 totale =
        prova.valore(QStringLiteral("SELECT sum(prezzo * pezzi) FROM prova_carrello")).toLongLong();

    const Controllo controlla = [&](const QStringList &righe, bool caldo, Colpo &colpo) -> QString {
        Verifica v(prova.percorso());
        const QString integrita = v.valore(QStringLiteral("PRAGMA integrity_check")).toString();
        if (integrita != QLatin1String("ok"))
            return QStringLiteral("integrity_check: ") + integrita;
        const qint64 vendite = v.numero(QStringLiteral("SELECT count(*) FROM ricevuta"));
        const qint64 carrello = v.numero(QStringLiteral("SELECT count(*) FROM carrello"));
        const QString ultima = righe.isEmpty() ? QString() : righe.last();
        if (ultima.startsWith(QLatin1String("V "))) {
            const qint64 prima = ultima.mid(2).toLongLong();
            colpo.tutto = vendite == prima + 1;
            colpo.fase = dentro(caldo, colpo.tutto, QStringLiteral("la vendita"));
            if (vendite != prima && vendite != prima + 1)
                return QStringLiteral("ricevute %1, prima %2").arg(vendite).arg(prima);
            // Before the sale the whole cart, after it none.
            if (carrello != (colpo.tutto ? 0 : RIGHE_CARRELLO))
                return QStringLiteral("%1 righe nel carrello").arg(carrello);
        } else {
            colpo.fase = fuori(ultima);
        }
        // Refilled in one transaction too: whole or empty.
        if (carrello != 0 && carrello != RIGHE_CARRELLO)
            return QStringLiteral("%1 righe nel carrello").arg(carrello);
        const QList<std::pair<QString, qint64>> attesi = {
            // One sale movement per line and sale, with the line's price and
            // its pieces negated.
            {QStringLiteral("SELECT count(*) FROM prodotto"), RIGHE_CARRELLO * vendite},
            {QStringLiteral("SELECT count(*) FROM prodotto p JOIN prova_carrello c"
                            " ON p.codice = c.codice AND p.tipo = c.tipo"
                            " AND p.prezzovendita = c.prezzo AND p.pezzi = -c.pezzi"
                            " WHERE p.operazione = 2 AND p.prezzoacquisto = 0"),
             RIGHE_CARRELLO * vendite},
            {QStringLiteral("SELECT count(*) FROM (SELECT codice FROM prodotto GROUP BY codice"
                            " HAVING count(*) <> %1)")
                 .arg(vendite),
             0},
            // The stock lowered by exactly the pieces sold.
            {QStringLiteral("SELECT count(*) FROM rimanenze r JOIN prova_carrello c"
                            " ON r.codice = c.codice AND r.tipo = c.tipo AND r.prezzo = c.prezzo"
                            " WHERE r.pezzi = %1 - %2 * c.pezzi")
                 .arg(SCORTA_INIZIALE)
                 .arg(vendite),
             RIGHE_CARRELLO},
            {QStringLiteral("SELECT count(*) FROM rimanenze"), RIGHE_CARRELLO},
            // One receipt per sale with the cart's total, numbers without gaps.
            {QStringLiteral("SELECT count(*) FROM ricevuta WHERE totale = %1").arg(totale), vendite},
            {QStringLiteral("SELECT coalesce(max(codice), 0) FROM ricevuta"), vendite},
            // Cart lines are the listed ones, untouched.
            {QStringLiteral("SELECT count(*) FROM carrello c JOIN prova_carrello m"
                            " ON c.codice = m.codice AND c.tipo = m.tipo AND c.prezzo = m.prezzo"
                            " AND c.pezzi = m.pezzi AND c.totale = m.totale"),
             carrello},
        };
        for (const auto &[sql, atteso] : attesi) {
            const qint64 trovato = v.numero(sql);
            if (!v.errore().isEmpty())
                return v.errore();
            if (trovato != atteso)
                return QStringLiteral("%1: %2 invece di %3").arg(sql).arg(trovato).arg(atteso);
        }
        return QString();
    };

    Conteggio conteggio;
    uccidiRipetutamente(QStringLiteral("vendite"), prova.percorso(), UCCISIONI_VENDITE,
                        QStringLiteral("v"), controlla, conteggio);
    if (QTest::currentTestFailed())
        return;
    conteggio.stampa("vendite di 20 righe");
    qInfo("  vendite registrate in tutto: %lld",
          prova.valore(QStringLiteral("SELECT count(*) FROM ricevuta")).toLongLong());
}

void TestArresti::acquistiUccisi()
{
    DatabaseDiProva prova;
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Prova')"));

    const Controllo controlla = [&](const QStringList &righe, bool caldo, Colpo &colpo) -> QString {
        Verifica v(prova.percorso());
        const QString integrita = v.valore(QStringLiteral("PRAGMA integrity_check")).toString();
        if (integrita != QLatin1String("ok"))
            return QStringLiteral("integrity_check: ") + integrita;
        const qint64 movimenti = v.numero(QStringLiteral("SELECT count(*) FROM prodotto"));
        const QString ultima = righe.isEmpty() ? QString() : righe.last();
        if (ultima.startsWith(QLatin1String("A "))) {
            const qint64 prima = ultima.mid(2).toLongLong();
            colpo.tutto = movimenti == prima + 1;
            colpo.fase = dentro(caldo, colpo.tutto, QStringLiteral("l'acquisto"));
            if (movimenti != prima && movimenti != prima + 1)
                return QStringLiteral("movimenti %1, prima %2").arg(movimenti).arg(prima);
        } else {
            colpo.fase = fuori(ultima);
        }
        const QList<std::pair<QString, qint64>> attesi = {
            // Movement i + 1 is purchase i, whole.
            {QStringLiteral("SELECT coalesce(max(id), 0) FROM prodotto"), movimenti},
            {QStringLiteral("SELECT count(*) FROM prodotto WHERE operazione = 1 AND tipo = 1"
                            " AND prezzovendita = id AND prezzoacquisto = id - 1"
                            " AND pezzi = (id - 1) % 7 + 1 AND codice = 'ART-' || ((id - 1) % 10)"),
             movimenti},
            // Each code's stock is the sum of its movements, at the price of
            // the latest one.
            {QStringLiteral("SELECT count(*) FROM rimanenze r JOIN (SELECT codice,"
                            " sum(pezzi) AS pezzi, max(id) AS ultimo FROM prodotto GROUP BY codice) p"
                            " ON p.codice = r.codice"
                            " WHERE r.pezzi = p.pezzi AND r.prezzo = p.ultimo AND r.tipo = 1"),
             qMin<qint64>(movimenti, 10)},
            {QStringLiteral("SELECT count(*) FROM rimanenze"), qMin<qint64>(movimenti, 10)},
        };
        for (const auto &[sql, atteso] : attesi) {
            const qint64 trovato = v.numero(sql);
            if (!v.errore().isEmpty())
                return v.errore();
            if (trovato != atteso)
                return QStringLiteral("%1: %2 invece di %3").arg(sql).arg(trovato).arg(atteso);
        }
        return QString();
    };

    Conteggio conteggio;
    uccidiRipetutamente(QStringLiteral("acquisti"), prova.percorso(), UCCISIONI_ACQUISTI,
                        QStringLiteral("a"), controlla, conteggio);
    if (QTest::currentTestFailed())
        return;
    conteggio.stampa("acquisti");
    qInfo("  acquisti registrati in tutto: %lld",
          prova.valore(QStringLiteral("SELECT count(*) FROM prodotto")).toLongLong());
}

QTEST_GUILESS_MAIN(TestArresti)
#include "tst_arresti.moc"
