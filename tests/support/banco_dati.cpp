#include "support/banco_dati.h"

#include "data/configurazione.h"
#include "data/percorso.h"
#include "data/schema.h"
#include "data/server.h"
#include "support/server_prova.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

// One database for the program's tests, made at first use.
QString negozioDiProva()
{
    static const QString nome = serverDiProva()->nuovoDatabase();
    return nome;
}

int prove = 0; // the shops made so far
// Until a test changes more than rows, emptying the tables is enough.
bool soloRighe = false;

} // namespace

BancoDati::BancoDati(int opzioni)
    : cartellaPrecedente_(QDir::currentPath())
{
    ++prove;
    QDir::setCurrent(cartella_.path());
    // As the program's, with short waits so that tests wait little.
    Configurazione c{.percorso = percorsoPredefinito(),
                     .attesaFileBloccato = std::chrono::milliseconds(400),
                     .limiteRete = std::chrono::milliseconds(2000)};
    if (ServerProva *s = serverDiProva(); s && !(opzioni & SenzaFile)) {
        // A new schema, or the tables emptied, is cheaper than a new
        // database, and as empty; a string of its own gives the routines
        // a new connection.
        database_ = negozioDiProva();
        QString errore;
        if (soloRighe) {
            esegui("TRUNCATE tipo, rimanenze, prodotto, carrelli, ricevuta, \"generalità\", vendite_chiavi"
                   " RESTART IDENTITY; INSERT INTO \"generalità\" VALUES ('', '', '', '', '')");
        } else {
            esegui("SET client_min_messages = warning; DROP SCHEMA public CASCADE; CREATE SCHEMA public;"
                   " ALTER DATABASE " + database_ + " RESET ALL");
            if (!creaDatabaseServer(connessione(), &errore))
                qFatal("negozio di prova non creato: %s", qPrintable(errore));
        }
        soloRighe = true;
        c.server = connessione();
    } else if (!(opzioni & SenzaFile) && !creaDatabase(percorso())) {
        qFatal("file di prova non creato");
    }
    c.copiaDelGiorno = c.server.isEmpty();
    impostaConfigurazione(c);
    segnalatorePrecedente_ = installaSegnalatore([this](const RapportoZona &r) { rapporti << r; });
}

BancoDati::~BancoDati()
{
    QSqlDatabase::removeDatabase("prova");
    impostaConfigurazione({});
    installaSegnalatore(std::move(segnalatorePrecedente_));
    QDir::setCurrent(cartellaPrecedente_);
}

QString BancoDati::percorso() const
{
    return QDir(cartella_.path()).filePath(NOME_FILE_DATABASE);
}

ServerProva *serverDiProva()
{
    static std::unique_ptr<ServerProva> server;
    if (!server && qEnvironmentVariableIsSet("VORENDI_PROVA_SERVER")) {
        server = std::make_unique<ServerProva>();
        if (!server->isValid())
            qFatal("server di prova non avviato: %s", qPrintable(server->errore()));
        // Stopped and deleted before the program ends.
        qAddPostRoutine([] { server.reset(); });
    }
    return server.get();
}

QString BancoDati::connessione(bool tcp) const
{
    if (!server())
        return {};
    return serverDiProva()->connessione(database_, {}, tcp) + " fallback_application_name=" + QString::number(prove);
}

QSqlDatabase BancoDati::altraConnessione(const QString &nome) const
{
    QSqlDatabase db = apriDiretto(nome, server() ? connessione() : percorso());
    // The routines' view of the cart is this counter's; a lock held on
    // purpose is held as long as the test says, however idle.
    if (server())
        interrogaDiretto(db, "SELECT set_config('vorendi.postazione', ?, false),"
                             " set_config('idle_in_transaction_session_timeout', '0', false)", {postazione()});
    return db;
}

QList<QVariantList> BancoDati::righe(const QString &sql, const QVariantList &valori, bool fatale) const
{
    QList<QVariantList> risultato;
    static const QRegularExpression righe("^(SELECT|INSERT|UPDATE|DELETE) ");
    soloRighe = soloRighe && righe.match(sql).hasMatch() && !sql.contains("versione");
    {
        // The file is opened anew each time, for tests replace it; the
        // server's connection stays.
        const QSqlDatabase db = QSqlDatabase::contains("prova") ? QSqlDatabase::database("prova")
                                                                : altraConnessione("prova");
        if (const QSqlError e = interrogaDiretto(db, sql, valori, &risultato); e.isValid() && fatale)
            qFatal("%s: %s", qPrintable(sql), qPrintable(e.text()));
        // Rows written with their own numbers: the server's counter goes
        // on after them, as the file's does.
        const QString tabella = sql.section(' ', 2, 2), colonna = tabella == "ricevuta" ? "codice" : "id";
        if (server() && sql.startsWith("INSERT INTO ") && QStringList({"tipo", "prodotto", "ricevuta"}).contains(tabella))
            interrogaDiretto(db, QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), max(%2)) FROM %1"
                                                " HAVING max(%2) > (SELECT CASE WHEN is_called THEN last_value ELSE 0"
                                                " END FROM %1_%2_seq)").arg(tabella, colonna));
    }
    if (!server())
        QSqlDatabase::removeDatabase("prova");
    return risultato;
}

QByteArray BancoDati::byte() const
{
    if (!server())
        return byteDelFile(percorso());
    QByteArray tutto;
    for (const char *tabella : {"tipo", "rimanenze", "prodotto", "carrelli", "ricevuta", "\"generalità\""}) {
        for (const QVariantList &riga : righe(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(tabella), {}, false)) {
            for (const QVariant &v : riga)
                tutto += v.toString().toUtf8() + '|';
            tutto += '\n';
        }
    }
    return tutto;
}

void BancoDati::guasta(bool mancante) const
{
    if (server())
        return impostaConfigurazione({.server = mancante ? serverDiProva()->connessione("non_esiste")
                                                         : QStringLiteral("host=127.0.0.1 port=1")});
    QFile file(percorso());
    if (mancante ? !file.remove() : !file.open(QIODevice::WriteOnly) || file.write(QByteArray(2000, 'x')) < 0)
        qFatal("file non guastato");
}

QList<int> BancoDati::zone() const
{
    QList<int> z;
    for (const RapportoZona &r : rapporti)
        z << r.zona;
    return z;
}

QByteArray byteDelFile(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 semeDiProva()
{
    bool letto = false;
    quint32 seme = qEnvironmentVariable("VORENDI_SEME").toUInt(&letto);
    seme = letto ? seme : QRandomGenerator::global()->generate();
    qInfo("seme %u (VORENDI_SEME=%u lo ripete)", seme, seme);
    return seme;
}

ProcessoProva::ProcessoProva(const QStringList &argomenti)
{
    processo_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    processo_.start(VORENDI_PROCESSO_PROVA, argomenti);
    processo_.waitForStarted(10000);
}

bool ProcessoProva::attendi(const QString &riga, int volte)
{
    for (const QDeadlineTimer limite(20000); righe().count(riga) < volte;) {
        if (limite.hasExpired() || processo_.state() != QProcess::Running)
            return false;
        processo_.waitForReadyRead(int(qMax<qint64>(1, limite.remainingTime())));
    }
    return true;
}

bool ProcessoProva::finisci()
{
    return processo_.waitForFinished(60000) && processo_.exitStatus() == QProcess::NormalExit
        && processo_.exitCode() == 0;
}

bool ProcessoProva::uccidi()
{
    if (processo_.state() == QProcess::NotRunning)
        return false;
    processo_.kill();
    return processo_.waitForFinished(10000);
}

QStringList ProcessoProva::righe()
{
    uscita_ += processo_.readAllStandardOutput();
    return QString::fromUtf8(uscita_).split(u'\n', Qt::SkipEmptyParts);
}
