#include "support/server_prova.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>

#include <grp.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace {

constexpr uid_t NESSUNO = 65534; // Debian's nobody and nogroup

// The kernel's pick of a free port; free again once the socket closes.
int portaLibera()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in indirizzo{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
    socklen_t lunghezza = sizeof indirizzo;
    const bool preso = s >= 0 && ::bind(s, reinterpret_cast<sockaddr *>(&indirizzo), lunghezza) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr *>(&indirizzo), &lunghezza) == 0;
    if (s >= 0)
        ::close(s);
    return preso ? ntohs(indirizzo.sin_port) : 0;
}

// A name as SQL quotes it, and a value as libpq's connection string does.
QString identificatore(QString nome)
{
    return '"' + nome.replace('"', "\"\"") + '"';
}

QString valore(QString testo)
{
    return '\'' + testo.replace('\\', "\\\\").replace('\'', "\\'") + '\'';
}

QString leggi(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

QSqlDatabase apriDiretto(const QString &nome, const QString &dove)
{
    const bool server = dove.contains("dbname=");
    QSqlDatabase db = QSqlDatabase::addDatabase(server ? "QPSQL" : "QSQLITE", nome);
    if (server)
        db.setConnectOptions(dove);
    else
        db.setDatabaseName(dove);
    if (!db.open())
        qFatal("%s: %s", qPrintable(dove), qPrintable(db.lastError().text()));
    return db;
}

QSqlError interrogaDiretto(const QSqlDatabase &db, const QString &sql, const QVariantList &valori,
                           QList<QVariantList> *righe)
{
    QSqlQuery q(db);
    // The server prepares no DDL: a statement without values goes as it is.
    bool riuscita = valori.isEmpty() ? q.exec(sql) : q.prepare(sql);
    for (int i = 0; i < valori.size(); ++i)
        q.bindValue(i, valori[i]);
    riuscita = riuscita && (valori.isEmpty() || q.exec());
    while (riuscita && righe && q.next()) {
        *righe << QVariantList();
        for (int i = 0; i < q.record().count(); ++i)
            righe->last() << q.value(i);
    }
    return q.lastError();
}

ServerProva::ServerProva()
    : cartella_(QDir::tempPath() + "/vorendi-pg-XXXXXX")
{
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    // Nothing from the environment may point the tools at another server.
    for (const QString &nome : ambiente.keys()) {
        if (nome.startsWith("PG"))
            ambiente.remove(nome);
    }
    ambiente.insert("LC_ALL", "C");
    postmaster_.setProcessEnvironment(ambiente);
    postmaster_.setWorkingDirectory(cartella_.path()); // nobody may not enter the caller's, e.g. /root
    // PostgreSQL will not run as root: its folder and processes go to
    // nobody. Whoever runs it, it goes when this program goes.
    postmaster_.setChildProcessModifier([] {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(NESSUNO) != 0 || ::setuid(NESSUNO) != 0))
            std::_Exit(126);
        ::prctl(PR_SET_PDEATHSIG, SIGQUIT);
    });
    for (const QString &v : QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (QFileInfo(QStringLiteral("/usr/lib/postgresql/%1/bin/initdb").arg(v)).isExecutable())
            binari_ = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(v);
    }
    const QString openssl = QStandardPaths::findExecutable("openssl");
    if (!cartella_.isValid() || (::geteuid() == 0 && ::chown(QFile::encodeName(cartella_.path()), NESSUNO, NESSUNO)))
        errore_ = "no temporary folder of nobody's: " + cartella_.errorString();
    else if (binari_.isEmpty() || openssl.isEmpty())
        errore_ = "PostgreSQL's initdb or openssl not found (scripts/setup.sh installs them)";
    // A certificate of its own for 127.0.0.1, so that a client may check
    // the server as a counter would.
    else if (esegui(binari_ + "initdb", {"-D", "dati", "--auth=trust", "--username=" + superutente(), "--encoding=UTF8",
                                         "--locale=C", "--no-sync", "--no-instructions"})
             && esegui(openssl, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                                 "-days", "30", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                                 "-keyout", "dati/server.key", "-out", "dati/server.crt"})
             && QFile::setPermissions(cartella_.filePath("dati/server.key"), QFile::ReadOwner | QFile::WriteOwner))
        avvia();
}

ServerProva::~ServerProva()
{
    if (postmaster_.state() != QProcess::NotRunning) {
        ::kill(pid_t(postmaster_.processId()), SIGQUIT);
        postmaster_.waitForFinished(10000);
    }
}

QString ServerProva::connessione(const QString &nome, const QString &utente, bool tcp) const
{
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 sslmode=disable gssencmode=disable connect_timeout=10")
        .arg(tcp ? QStringLiteral("127.0.0.1 hostaddr=127.0.0.1") : valore(cartella_.path()))
        .arg(porta_)
        .arg(nome, valore(utente.isEmpty() ? superutente() : utente));
}

QString ServerProva::nuovoDatabase(const QString &proprietario, const QString &modello)
{
    const QString nome = QStringLiteral("prova_%1").arg(++database_);
    QSqlError e;
    {
        const QSqlDatabase db = apriDiretto("crea", connessione("postgres"));
        e = interrogaDiretto(db, "CREATE DATABASE " + nome + " TEMPLATE " + (modello.isEmpty() ? "template0" : modello)
                                     + (proprietario.isEmpty() ? QString() : " OWNER " + identificatore(proprietario)));
    }
    QSqlDatabase::removeDatabase("crea");
    if (!e.isValid())
        return nome;
    qWarning("database %s not created: %s", qPrintable(nome), qPrintable(e.text()));
    return {};
}

void ServerProva::nuovoRuolo(const QString &nome) const
{
    righe("postgres", "CREATE ROLE " + identificatore(nome) + " LOGIN");
}

QList<QVariantList> ServerProva::righe(const QString &nome, const QString &sql, const QVariantList &valori) const
{
    QList<QVariantList> risultato;
    QSqlError e;
    {
        const QSqlDatabase db = apriDiretto("prove", connessione(nome));
        e = interrogaDiretto(db, sql, valori, &risultato);
    }
    QSqlDatabase::removeDatabase("prove");
    if (e.isValid())
        qFatal("%s: %s", qPrintable(sql), qPrintable(e.text()));
    return risultato;
}

bool ServerProva::esegui(const QString &programma, const QStringList &argomenti)
{
    QProcess p;
    p.setProcessEnvironment(postmaster_.processEnvironment());
    p.setWorkingDirectory(cartella_.path());
    p.setChildProcessModifier(postmaster_.childProcessModifier());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programma, argomenti);
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return true;
    errore_ = programma + " failed: " + p.errorString() + "\n" + QString::fromLocal8Bit(p.readAll());
    return false;
}

bool ServerProva::avvia()
{
    // The socket in the test's folder; 127.0.0.1 on a free port, which
    // another program may take between our look and the server's bind.
    const QString registro = cartella_.filePath("postgres.log");
    postmaster_.setStandardOutputFile(registro, QIODevice::Append);
    postmaster_.setProcessChannelMode(QProcess::MergedChannels);
    for (int tentativo = 0; tentativo < 5; ++tentativo) {
        porta_ = portaLibera();
        postmaster_.start(binari_ + "postgres",
                          {"-D", "dati", "-p", QString::number(porta_), "-k", cartella_.path(), "-c",
                           "listen_addresses=127.0.0.1", "-c", "ssl=on", "-c", "fsync=off", "-c", "full_page_writes=off",
                           "-c", "synchronous_commit=off"});
        // The pid file's eighth line says when it takes connections.
        for (const QDeadlineTimer limite(60000); !limite.hasExpired() && postmaster_.state() != QProcess::NotRunning;
             postmaster_.waitForFinished(20)) {
            if (leggi(cartella_.filePath("dati/postmaster.pid")).section('\n', 7, 7).trimmed() == "ready")
                return true;
        }
        if (!leggi(registro).contains("already in use"))
            break;
    }
    errore_ = "postgres did not start:\n" + leggi(registro).right(2000);
    return false;
}
