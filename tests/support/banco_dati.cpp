#include "support/banco_dati.h"

#include "data/configurazione.h"
#include "data/percorso.h"
#include "data/schema.h"
#include "data/server.h"
#include "support/server_prova.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

BancoDati::BancoDati(int opzioni)
    : cartellaPrecedente_(QDir::currentPath())
{
    QDir::setCurrent(cartella_.path());
    // As the program's, with short waits so that tests wait little.
    Configurazione c{.percorso = percorsoPredefinito(),
                     .attesaFileBloccato = std::chrono::milliseconds(400),
                     .limiteRete = std::chrono::milliseconds(2000)};
    if (ServerProva *s = serverDiProva(); s && !(opzioni & SenzaFile)) {
        database_ = s->nuovoDatabase();
        QString errore;
        if (database_.isEmpty() || !creaDatabaseServer(connessione(), &errore))
            qFatal("database di prova non creato: %s", qPrintable(errore));
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

QString BancoDati::connessione() const
{
    return server() ? serverDiProva()->connessione(database_) : QString();
}

QSqlDatabase BancoDati::altraConnessione(const QString &nome) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(server() ? "QPSQL" : "QSQLITE", nome);
    if (server())
        db.setConnectOptions(connessione());
    else
        db.setDatabaseName(percorso());
    if (!db.open())
        qFatal("%s", qPrintable(db.lastError().text()));
    // The routines' view of the cart is this counter's; a lock held on
    // purpose is held as long as the test says, however idle.
    if (server()) {
        QSqlQuery q(db);
        if (!q.prepare("SELECT set_config('vorendi.postazione', ?, false),"
                       " set_config('idle_in_transaction_session_timeout', '0', false)"))
            qFatal("%s", qPrintable(q.lastError().text()));
        q.addBindValue(postazione());
        q.exec();
    }
    return db;
}

QList<QVariantList> BancoDati::righe(const QString &sql, const QVariantList &valori, bool fatale) const
{
    QList<QVariantList> risultato;
    {
        QSqlDatabase db = altraConnessione("prova");
        QSqlQuery q(db);
        // The server prepares no DDL: statements without values run as they are.
        const bool diretta = server() && valori.isEmpty();
        const bool pronta = diretta || q.prepare(sql);
        for (int i = 0; i < valori.size(); ++i)
            q.bindValue(i, valori[i]);
        if ((!pronta || !(diretta ? q.exec(sql) : q.exec())) && fatale)
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        while (q.next()) {
            risultato << QVariantList();
            for (int i = 0; i < q.record().count(); ++i)
                risultato.last() << q.value(i);
        }
        // Rows written with their own numbers: the server's counters go on
        // after them, as the file's do.
        for (const char *contatore : {"tipo', 'id", "prodotto', 'id", "ricevuta', 'codice"}) {
            if (!server() || !sql.startsWith("INSERT"))
                break;
            const QStringList parti = QString::fromLatin1(contatore).split("', '");
            q.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), max(%2)) FROM %1"
                                  " HAVING max(%2) > (SELECT CASE WHEN is_called THEN last_value ELSE 0 END"
                                  " FROM %1_%2_seq)").arg(parti[0], parti[1]));
        }
    }
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
