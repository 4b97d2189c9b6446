#include "support/server_prova.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr uint NESSUNO = 65534; // Debian's nobody and nogroup

QString cartellaBinari(const QProcessEnvironment &ambiente)
{
    const auto haInitdb = [](const QString &cartella) { return QFileInfo(cartella + "/initdb").isExecutable(); };
    QProcess pgConfig;
    pgConfig.setProcessEnvironment(ambiente);
    pgConfig.start("pg_config", {"--bindir"});
    if (pgConfig.waitForFinished(10000) && pgConfig.exitCode() == 0) {
        const QString cartella = QString::fromLocal8Bit(pgConfig.readAllStandardOutput()).trimmed();
        if (haInitdb(cartella))
            return cartella;
    }
    QStringList versioni = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versioni.begin(), versioni.end(),
              [](const QString &a, const QString &b) { return a.toDouble() > b.toDouble(); });
    for (const QString &v : versioni) {
        if (haInitdb("/usr/lib/postgresql/" + v + "/bin"))
            return "/usr/lib/postgresql/" + v + "/bin";
    }
    return {};
}

// The kernel's pick of a free port; free again once the socket closes.
int portaLibera()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in indirizzo{};
    indirizzo.sin_family = AF_INET;
    indirizzo.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t lunghezza = sizeof indirizzo;
    int porta = 0;
    if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr *>(&indirizzo), lunghezza) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr *>(&indirizzo), &lunghezza) == 0)
        porta = ntohs(indirizzo.sin_port);
    if (s >= 0)
        ::close(s);
    return porta;
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

QString leggi(const QString &percorso, qint64 da = 0)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(da))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

ServerProva::ServerProva()
    : cartella_(QDir::tempPath() + "/vorendi-pg-XXXXXX"), ambiente_(QProcessEnvironment::systemEnvironment())
{
    // Nothing from the environment may point the tools at another server.
    for (const QString &nome : ambiente_.keys()) {
        if (nome.startsWith("PG"))
            ambiente_.remove(nome);
    }
    ambiente_.insert("LC_ALL", "C");
    if (!cartella_.isValid()) {
        fallisce("no temporary folder: " + cartella_.errorString());
        return;
    }
    binari_ = cartellaBinari(ambiente_);
    if (binari_.isEmpty()) {
        fallisce("PostgreSQL's initdb not found");
        return;
    }
    // PostgreSQL will not run as root: its folder and processes go to nobody.
    if (::geteuid() == 0) {
        comeUtente_ = QStringList{QStandardPaths::findExecutable("setpriv"), "--reuid=65534", "--regid=65534",
                                  "--clear-groups"};
        if (comeUtente_[0].isEmpty() || ::chown(QFile::encodeName(cartella()).constData(), NESSUNO, NESSUNO) != 0) {
            fallisce("cannot hand the folder to nobody (setpriv missing or chown failed)");
            return;
        }
    }
    sorveglia();
    QString uscita;
    if (!esegui("initdb", {"-D", cartella_.filePath("dati"), "--auth=trust", "--username=" + superutente(),
                           "--encoding=UTF8", "--locale=C", "--no-sync", "--no-instructions"},
                &uscita)) {
        fallisce("initdb failed: " + uscita);
        return;
    }
    // A certificate of its own for 127.0.0.1, so that a client may check
    // the server as a counter would.
    const QString openssl = QStandardPaths::findExecutable("openssl");
    if (openssl.isEmpty()) {
        fallisce("openssl not found: the server's TLS certificate cannot be made");
        return;
    }
    if (!esegui(openssl, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                          "-days", "30", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                          "-keyout", cartella_.filePath("dati/server.key"), "-out", certificato()},
                &uscita)
        || !QFile::setPermissions(cartella_.filePath("dati/server.key"), QFile::ReadOwner | QFile::WriteOwner)) {
        fallisce("openssl failed to make the server's certificate: " + uscita);
        return;
    }
    // Loopback only, and no waiting on the disk for data nobody keeps.
    const QString impostazioni = QStringLiteral("\nlisten_addresses = '127.0.0.1'\nunix_socket_directories = '%1'\n"
                                                "max_connections = 100\nfsync = off\nfull_page_writes = off\n"
                                                "synchronous_commit = off\nssl = on\n")
                                     .arg(QString(cartella()).replace("'", "''"));
    QFile configurazione(cartella_.filePath("dati/postgresql.conf"));
    if (!configurazione.open(QIODevice::Append) || configurazione.write(impostazioni.toUtf8()) < 0) {
        fallisce("postgresql.conf not written");
        return;
    }
    configurazione.close();
    valido_ = avvia();
}

ServerProva::~ServerProva()
{
    if (QFile::exists(cartella_.filePath("dati/postmaster.pid")))
        esegui("pg_ctl", {"stop", "-w", "-D", cartella_.filePath("dati"), "-m", "immediate"});
    cartella_.remove();
    if (guardiano_ > 0)
        ::kill(-pid_t(guardiano_), SIGKILL); // the group setsid made: the shell and its sleep
}

QString ServerProva::connessione(const QString &nome, const QString &utente) const
{
    // hostaddr too, or a PGHOSTADDR in the environment would win over host.
    return QStringLiteral("host=127.0.0.1 hostaddr=127.0.0.1 port=%1 dbname=%2 user=%3 sslmode=disable "
                          "gssencmode=disable connect_timeout=10")
        .arg(porta_)
        .arg(nome, valore(utente.isEmpty() ? superutente() : utente));
}

QString ServerProva::nuovoDatabase(const QString &proprietario)
{
    const QString nome = QStringLiteral("prova_%1").arg(++database_);
    QString motivo;
    if (!valido_
        || !interroga("postgres",
                      "CREATE DATABASE " + nome + " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'"
                          + (proprietario.isEmpty() ? QString() : " OWNER " + identificatore(proprietario)),
                      {}, nullptr, &motivo)) {
        qWarning("database %s not created: %s", qPrintable(nome), qPrintable(motivo));
        return {};
    }
    return nome;
}

void ServerProva::nuovoRuolo(const QString &nome) const
{
    righe("postgres", "CREATE ROLE " + identificatore(nome) + " LOGIN");
}

QList<QVariantList> ServerProva::righe(const QString &nome, const QString &sql, const QVariantList &valori) const
{
    QList<QVariantList> risultato;
    QString motivo;
    if (!interroga(nome, sql, valori, &risultato, &motivo))
        qFatal("%s: %s", qPrintable(sql), qPrintable(motivo));
    return risultato;
}

bool ServerProva::esegui(const QString &programma, const QStringList &argomenti, QString *uscita) const
{
    const QString eseguibile = programma.contains('/') ? programma : binari_ + "/" + programma;
    const QStringList comando = comeUtente_ + QStringList{eseguibile} + argomenti;
    QProcess p;
    p.setProcessEnvironment(ambiente_);
    p.setWorkingDirectory(cartella()); // the user nobody may not enter the caller's, e.g. /root
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(comando.first(), comando.mid(1));
    const bool riuscito = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (uscita)
        *uscita = (p.error() == QProcess::UnknownError ? QString() : p.errorString() + "\n")
            + QString::fromLocal8Bit(p.readAll());
    return riuscito;
}

bool ServerProva::interroga(const QString &nome, const QString &sql, const QVariantList &valori,
                            QList<QVariantList> *risultato, QString *errore) const
{
    static int numero = 0;
    const QString collegamento = QStringLiteral("server_prova_%1").arg(++numero);
    bool riuscita = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", collegamento);
        db.setConnectOptions(connessione(nome));
        QSqlQuery q(db);
        if (db.open()) {
            // QPSQL prepares with PREPARE, which takes no CREATE or DROP: bare statements go as they are.
            if (valori.isEmpty()) {
                riuscita = q.exec(sql);
            } else if (q.prepare(sql)) {
                for (int i = 0; i < valori.size(); ++i)
                    q.bindValue(i, valori[i]);
                riuscita = q.exec();
            }
        }
        *errore = db.lastError().isValid() ? db.lastError().text() : q.lastError().text();
        while (riuscita && risultato && q.next()) {
            *risultato << QVariantList();
            for (int i = 0; i < q.record().count(); ++i)
                risultato->last() << q.value(i);
        }
    }
    QSqlDatabase::removeDatabase(collegamento);
    return riuscita;
}

bool ServerProva::avvia()
{
    const QString registro = cartella_.filePath("postgres.log");
    // Another program may take the port between our look and the server's bind.
    for (int tentativo = 0; tentativo < 5; ++tentativo) {
        porta_ = portaLibera();
        const qint64 inizio = QFileInfo(registro).size();
        QString uscita;
        if (esegui("pg_ctl", {"start", "-w", "-t", "30", "-D", cartella_.filePath("dati"), "-l", registro, "-o",
                              "-p " + QString::number(porta_)},
                   &uscita))
            return true;
        if (!leggi(registro, inizio).contains("already in use"))
            return fallisce("pg_ctl start failed: " + uscita);
    }
    return fallisce("no free port found");
}

// A detached shell, in a session of its own so that a kill of the test's
// group spares it, waits for this process to end and then does what the
// destructor would have done.
void ServerProva::sorveglia()
{
    const QString copione = "p=$1 d=$2; shift 2; while kill -0 $p 2>/dev/null; do sleep 1; done; "
                            "\"$@\" >/dev/null 2>&1; rm -rf \"$d\"";
    QProcess p;
    p.setProgram("setsid");
    p.setArguments(QStringList{"sh", "-c", copione, "sh", QString::number(QCoreApplication::applicationPid()),
                               cartella()}
                   + comeUtente_
                   + QStringList{binari_ + "/pg_ctl", "stop", "-w", "-D", cartella_.filePath("dati"), "-m", "immediate"});
    p.setProcessEnvironment(ambiente_);
    p.setWorkingDirectory("/");
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    if (!p.startDetached(&guardiano_))
        guardiano_ = 0;
}

bool ServerProva::fallisce(const QString &motivo)
{
    valido_ = false;
    errore_ = motivo.trimmed();
    const QString registro = leggi(cartella_.filePath("postgres.log"));
    if (!registro.isEmpty())
        errore_ += "\n--- postgres.log (end) ---\n" + registro.right(2000);
    return false;
}
