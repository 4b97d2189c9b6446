#include "support/stampa_di_prova.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <cups/cups.h>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::optional<QByteArray> leggiAmbiente(const char *nome)
{
    if (!qEnvironmentVariableIsSet(nome))
        return std::nullopt;
    return qgetenv(nome);
}

void rimettiAmbiente(const char *nome, const std::optional<QByteArray> &valore)
{
    if (valore)
        qputenv(nome, *valore);
    else
        qunsetenv(nome);
}

bool scriviFile(const QString &percorso, const QString &testo)
{
    QFile file(percorso);
    return file.open(QIODevice::WriteOnly) && file.write(testo.toUtf8()) >= 0 && file.flush();
}

// cupsd started as root runs the filters as user lp, who must reach the
// spool inside the folder.
bool raggiungibileDaTutti(const QString &cartella)
{
    for (QDir d(cartella); !d.isRoot(); d.cdUp()) {
        struct stat s {};
        if (::stat(QFile::encodeName(d.absolutePath()).constData(), &s) != 0 || !(s.st_mode & S_IXOTH))
            return false;
    }
    return true;
}

QString eseguibileDiSistema(const QString &nome)
{
    const QString trovato = QStandardPaths::findExecutable(nome);
    return trovato.isEmpty()
        ? QStandardPaths::findExecutable(nome, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
        : trovato;
}

} // namespace

QStringList senzaSpaziFinali(QStringList righe)
{
    for (QString &r : righe) {
        while (r.endsWith(u' '))
            r.chop(1);
    }
    return righe;
}

QStringList righePdf(const QString &percorso, int *pagine)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {"-layout", "-fixed", "6", percorso, "-"});
    p.waitForFinished(30000);
    const QStringList lette =
        QString::fromUtf8(p.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
    if (pagine)
        *pagine = int(lette.size());
    QStringList tutte;
    for (const QString &pagina : lette) {
        QStringList righe = senzaSpaziFinali(pagina.split(u'\n'));
        while (!righe.isEmpty() && righe.last().isEmpty())
            righe.removeLast();
        while (!righe.isEmpty() && righe.first().isEmpty())
            righe.removeFirst();
        const qsizetype margine = righe.value(0).size() - righe.value(0).trimmed().size();
        for (const QString &r : righe)
            tutte.append(r.mid(margine));
    }
    return tutte;
}

QStringList contenutoCartella(const QString &cartella)
{
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                    | QDir::NoDotAndDotDot);
}

SenzaStampantiDelSistema::SenzaStampantiDelSistema()
{
    const QByteArray vuota = QFile::encodeName(vuota_.path());
    const QList<QPair<const char *, std::optional<QByteArray>>> valori{
        {"CUPS_SERVER", vuota + "/nessun-server.sock"},
        {"CUPS_SERVERROOT", vuota},
        {"HOME", vuota},
        {"LPDEST", std::nullopt},
        {"PRINTER", std::nullopt},
    };
    for (const auto &[nome, valore] : valori) {
        prima_.append({nome, leggiAmbiente(nome)});
        rimettiAmbiente(nome, valore);
    }
    // libcups keeps the server it read last: read CUPS_SERVER again.
    cupsSetServer(nullptr);
}

SenzaStampantiDelSistema::~SenzaStampantiDelSistema()
{
    for (const auto &[nome, valore] : prima_)
        rimettiAmbiente(nome.constData(), valore);
    cupsSetServer(nullptr);
}

ServerStampa::ServerStampa()
{
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    // Ends with this process, even when the test crashes.
    cupsd_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

ServerStampa::~ServerStampa()
{
    if (cupsd_.state() != QProcess::NotRunning) {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(10000)) {
            cupsd_.kill();
            cupsd_.waitForFinished(10000);
        }
    }
    if (ambienteCambiato_) {
        rimettiAmbiente("CUPS_SERVER", serverPrima_);
        cupsSetServer(nullptr);
    }
}

QString ServerStampa::percorso(const QString &nome) const
{
    return QDir(cartella_.path()).filePath(nome);
}

QString ServerStampa::uscita() const
{
    return percorso(QStringLiteral("uscita.pdf"));
}

QString ServerStampa::registro() const
{
    QFile file(percorso(QStringLiteral("log/error_log")));
    const QString scritto = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    return scritto.right(2000);
}

bool ServerStampa::avvia()
{
    const QString cupsd = eseguibileDiSistema(QStringLiteral("cupsd"));
    if (cupsd.isEmpty() || eseguibileDiSistema(QStringLiteral("lpadmin")).isEmpty()) {
        errore_ = QStringLiteral("cupsd o lpadmin non installati (pacchetto cups)");
        return false;
    }
    const QString radice = cartella_.path();
    QFile::setPermissions(radice, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                      | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                      | QFile::ExeOther);
    const bool root = ::geteuid() == 0;
    if (root && !raggiungibileDaTutti(radice)) {
        errore_ = radice + QStringLiteral(": l'utente lp, con cui cupsd esegue i filtri, non vi arriva");
        return false;
    }
    for (const char *sotto : {"spool/tmp", "cache", "state", "log"})
        QDir(radice).mkpath(QString::fromLatin1(sotto));

    // No network port, no sharing, no browsing, no authentication: only a
    // socket in this folder.
    const QString socket = percorso(QStringLiteral("cups.sock"));
    const QString conf = QStringLiteral(
        "Listen %1\nBrowsing No\nBrowseLocalProtocols none\nDefaultShared No\nWebInterface No\n"
        "LogLevel warn\nMaxLogSize 0\n"
        "<Location />\n  Order deny,allow\n</Location>\n"
        "<Policy default>\n  JobPrivateAccess default\n  JobPrivateValues default\n"
        "  SubscriptionPrivateAccess default\n  SubscriptionPrivateValues default\n"
        "  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n").arg(socket);
    QString file = QStringLiteral(
        "FileDevice Yes\nServerRoot %1\nRequestRoot %1/spool\nTempDir %1/spool/tmp\n"
        "CacheDir %1/cache\nStateDir %1/state\nPrintcap %1/printcap\nErrorLog %1/log/error_log\n"
        "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n").arg(radice);
    if (!root) {
        // Unable to change user, cupsd runs the filters as the one it is.
        const passwd *utente = ::getpwuid(::geteuid());
        const group *gruppo = ::getgrgid(::getegid());
        if (utente && gruppo)
            file += QStringLiteral("User %1\nGroup %2\n").arg(QString::fromLocal8Bit(utente->pw_name),
                                                              QString::fromLocal8Bit(gruppo->gr_name));
    }
    // A raw queue gets no filter, and then the scheduler never opens a file
    // device: gziptoany hands the PDF on as it is.
    const QString ppd = QStringLiteral(
        "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
        "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"PROVA.PPD\"\n"
        "*Manufacturer: \"Prova\"\n*Product: \"(Prova)\"\n*ModelName: \"Prova\"\n"
        "*ShortNickName: \"Prova\"\n*NickName: \"Prova\"\n*PSVersion: \"(3010.000) 0\"\n"
        "*cupsFilter: \"application/pdf 0 gziptoany\"\n");
    if (!scriviFile(percorso(QStringLiteral("cupsd.conf")), conf)
        || !scriviFile(percorso(QStringLiteral("cups-files.conf")), file)
        || !scriviFile(percorso(QStringLiteral("prova.ppd")), ppd)) {
        errore_ = QStringLiteral("configurazione di cupsd non scritta in ") + radice;
        return false;
    }

    cupsd_.start(cupsd, {"-f", "-c", percorso(QStringLiteral("cupsd.conf")), "-s",
                         percorso(QStringLiteral("cups-files.conf"))});
    const QDeadlineTimer limite(20000);
    for (;;) {
        const QByteArray indirizzo = QFile::encodeName(socket);
        if (http_t *http = httpConnect2(indirizzo.constData(), 0, nullptr, AF_LOCAL,
                                        HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr)) {
            httpClose(http);
            break;
        }
        if (cupsd_.state() == QProcess::NotRunning || limite.hasExpired()) {
            errore_ = QStringLiteral("cupsd non è partito: ") + QString::fromLocal8Bit(cupsd_.readAll())
                + registro();
            return false;
        }
        QThread::msleep(50);
    }
    serverPrima_ = leggiAmbiente("CUPS_SERVER");
    ambienteCambiato_ = true;
    qputenv("CUPS_SERVER", QFile::encodeName(socket));
    cupsSetServer(nullptr);
    return comando(QStringLiteral("lpadmin"), {"-p", "Prova", "-E", "-v", "file:" + uscita(), "-P",
                                               percorso(QStringLiteral("prova.ppd"))})
        && comando(QStringLiteral("lpadmin"), {"-d", "Prova"});
}

bool ServerStampa::comando(const QString &programma, const QStringList &argomenti)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(eseguibileDiSistema(programma),
            QStringList{"-h", percorso(QStringLiteral("cups.sock"))} + argomenti);
    if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return true;
    errore_ = programma + u' ' + argomenti.join(u' ') + QStringLiteral(": ")
        + QString::fromLocal8Bit(p.readAll()) + registro();
    return false;
}

bool ServerStampa::attendiCodaVuota()
{
    const QDeadlineTimer limite(30000);
    for (;;) {
        cups_job_t *lavori = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &lavori, "Prova", 0, CUPS_WHICHJOBS_ACTIVE);
        cupsFreeJobs(n, lavori);
        if (n == 0)
            return true;
        if (limite.hasExpired()) {
            errore_ = QStringLiteral("la coda non si è svuotata: ") + registro();
            return false;
        }
        QThread::msleep(50);
    }
}
