#include "counter/stampante_qt.h"
#include "counter/tracciato.h"
#include "support/banco.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <cups/cups.h>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

// The real printer: what reaches the print system, what is kept as a PDF
// and what the closing message says; a full disk, a kill on the way.

namespace {

const QString SALVATA = QStringLiteral("La stampa è stata salvata nel file:\n");

QStringList contenuto(const QString &cartella)
{
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Lines without trailing blanks.
QStringList righe(QStringList testi)
{
    for (QString &r : testi)
        r.remove(QRegularExpression(" +$"));
    return testi;
}

// A PDF's lines on the 6-point grid of 10-point Courier, each page without
// its blank top and bottom and its left margin.
QStringList righePdf(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-layout", "-fixed", "6", pdf, "-"});
    p.waitForFinished(30000);
    QStringList tutte;
    for (const QString &pagina : QString::fromUtf8(p.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts)) {
        QStringList r = righe(pagina.split(u'\n'));
        while (!r.isEmpty() && r.last().isEmpty())
            r.removeLast();
        while (!r.isEmpty() && r.first().isEmpty())
            r.removeFirst();
        const qsizetype margine = r.value(0).size() - r.value(0).trimmed().size();
        for (const QString &riga : r)
            tutte << riga.mid(margine);
    }
    return tutte;
}

QString programma(const QString &nome)
{
    const QString trovato = QStandardPaths::findExecutable(nome);
    return trovato.isEmpty() ? QStandardPaths::findExecutable(nome, {"/usr/sbin"}) : trovato;
}

// Debian's cupsd in a temporary folder, on a Unix socket there only, with
// the default queue "Prova" whose device writes each job to uscita.pdf.
struct ServerStampa
{
    QTemporaryDir cartella;
    QProcess cupsd;
    QString errore;

    QString percorso(const QString &nome) const { return cartella.filePath(nome); }

    ~ServerStampa()
    {
        cupsd.terminate();
        if (!cupsd.waitForFinished(10000))
            cupsd.kill();
        cupsd.waitForFinished();
    }

    bool comando(const QString &nome, const QStringList &argomenti)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(programma(nome), QStringList{"-h", percorso("cups.sock")} + argomenti);
        if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return true;
        errore = nome + ": " + p.readAll() + byteDelFile(percorso("error_log"));
        return false;
    }

    bool avvia()
    {
        const QString r = cartella.path();
        // Started as root, cupsd runs the filters as user lp, who must reach
        // the spool; otherwise it runs them as this user.
        QFile::setPermissions(r, QFile::Permissions(0x7755));
        QDir(r).mkpath("spool/tmp");
        const QString utente = ::geteuid() ? QStringLiteral("User %1\nGroup %2\n").arg(::getpwuid(::geteuid())->pw_name,
                                                                                     ::getgrgid(::getegid())->gr_name)
                                           : QString();
        // A raw queue gets no filter and then never opens a file device:
        // gziptoany hands the PDF on as it is.
        const QList<std::pair<QString, QString>> file = {
            {"cupsd.conf", "Listen " + percorso("cups.sock") + "\nBrowsing No\nBrowseLocalProtocols none\n"
                           "DefaultShared No\nWebInterface No\nLogLevel warn\n<Location />\n Order deny,allow\n"
                           "</Location>\n<Policy default>\n JobPrivateAccess default\n JobPrivateValues default\n"
                           " <Limit All>\n  Order deny,allow\n </Limit>\n</Policy>\n"},
            {"cups-files.conf", QStringLiteral("FileDevice Yes\nServerRoot %1\nRequestRoot %1/spool\nTempDir "
                                               "%1/spool/tmp\nCacheDir %1\nStateDir %1\nErrorLog %1/error_log\n"
                                               "AccessLog %1/access_log\nPageLog %1/page_log\n").arg(r) + utente},
            {"prova.ppd", "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: "
                          "English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"PROVA.PPD\"\n*Manufacturer: \"P\"\n"
                          "*Product: \"(P)\"\n*ModelName: \"P\"\n*ShortNickName: \"P\"\n*NickName: \"P\"\n"
                          "*PSVersion: \"(3010.000) 0\"\n*cupsFilter: \"application/pdf 0 gziptoany\"\n"},
        };
        for (const auto &[nome, testo] : file) {
            QFile f(percorso(nome));
            if (!f.open(QIODevice::WriteOnly) || f.write(testo.toUtf8()) < 0)
                errore = "configurazione non scritta in " + r;
        }
        if (programma("cupsd").isEmpty())
            errore = "cupsd non installato";
        if (!errore.isEmpty())
            return false;
        cupsd.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        cupsd.start(programma("cupsd"), {"-f", "-c", percorso("cupsd.conf"), "-s", percorso("cups-files.conf")});
        const QByteArray socket = QFile::encodeName(percorso("cups.sock"));
        for (const QDeadlineTimer limite(20000);; QThread::msleep(50)) {
            if (http_t *http = httpConnect2(socket, 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr)) {
                httpClose(http);
                break;
            }
            if (cupsd.state() == QProcess::NotRunning || limite.hasExpired()) {
                errore = "cupsd non è partito: " + cupsd.readAll();
                return false;
            }
        }
        qputenv("CUPS_SERVER", socket);
        cupsSetServer(nullptr);
        return comando("lpadmin", {"-p", "Prova", "-E", "-v", "file:" + percorso("uscita.pdf"), "-P",
                                   percorso("prova.ppd")})
            && comando("lpadmin", {"-d", "Prova"});
    }

    bool attendiCodaVuota()
    {
        for (const QDeadlineTimer limite(30000); !limite.hasExpired(); QThread::msleep(50)) {
            cups_job_t *lavori = nullptr;
            const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &lavori, "Prova", 0, CUPS_WHICHJOBS_ACTIVE);
            cupsFreeJobs(n, lavori);
            if (n == 0)
                return true;
        }
        return false;
    }
};

} // namespace

class TestStampante : public QObject
{
    Q_OBJECT

    QTemporaryDir casa_;

private slots:
    // Run on its own too, it never reaches the machine's printers or settings.
    void initTestCase()
    {
        qputenv("CUPS_SERVER", QFile::encodeName(casa_.filePath("nessun-server.sock")));
        qputenv("HOME", QFile::encodeName(casa_.path()));
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        cupsSetServer(nullptr);
    }

    // What the print system answers, and what the user is told; what was not
    // printed is kept: the very document offered, under a new name.
    void invio_data()
    {
        QTest::addColumn<int>("stato");
        QTest::addColumn<int>("lavoro"); // the job number given
        QTest::addColumn<bool>("soloPdf");
        QTest::addColumn<QString>("messaggio"); // up to the file name
        using S = EsitoInvio::Stato;
        QTest::newRow("accettata") << int(S::Accettata) << 7 << false << "Stampa completata";
        QTest::newRow("rifiutata") << int(S::Rifiutata) << 7 << false
                                   << "Stampa non riuscita: la stampante «Prova» non ha preso il lavoro.\n" + SALVATA;
        QTest::newRow("senza numero") << int(S::Accettata) << 0 << false
                                      << "Stampa non riuscita: la stampante predefinita non ha preso il lavoro.\n" + SALVATA;
        QTest::newRow("nessuna stampante") << int(S::NessunaStampante) << 7 << false
                                           << "Nessuna stampante installata.\n" + SALVATA;
        QTest::newRow("solo PDF") << int(S::Accettata) << 7 << true << "Nessuna stampante installata.\n" + SALVATA;
    }

    void invio()
    {
        QFETCH(int, stato);
        QFETCH(int, lavoro);
        QFETCH(bool, soloPdf);
        QFETCH(QString, messaggio);
        QTemporaryDir cartella;
        QByteArray inviato;
        StampanteQt stampante("Ricevuta 17", cartella.path(),
                              soloPdf ? StampanteQt::Destinazione::SoloPdf : StampanteQt::Destinazione::Predefinita,
                              [&](const QString &titolo, const QByteArray &pdf) {
                                  inviato = titolo.toUtf8() + '|' + pdf;
                                  EsitoInvio esito{EsitoInvio::Stato(stato), lavoro, {}};
                                  esito.coda.nome = lavoro ? "Prova" : "";
                                  return esito;
                              });
        stampante.stampaRiga("Riga unica");
        const EsitoStampa esito = stampante.fineDocumento();
        const bool stampata = esito.modo == EsitoStampa::Modo::Stampata;
        QCOMPARE(messaggioEsito(esito), messaggio + QDir::toNativeSeparators(esito.file));
        QCOMPARE(inviato.startsWith("Ricevuta 17|%PDF-"), !soloPdf);
        QCOMPARE(contenuto(cartella.path()).size(), stampata ? 0 : 1);
        QVERIFY(stampata || esito.file.startsWith(cartella.filePath("Ricevuta 17 ")));
        QVERIFY(stampata || soloPdf || "Ricevuta 17|" + byteDelFile(esito.file) == inviato);
    }

    // What libcups reported about the default queue, judged without a print
    // server: the reason in Italian, the print system's words beside it. A
    // queue found and not stopped gets the job: the server's answer counts.
    void verdetti_data()
    {
        QTest::addColumn<QString>("nome");    // the queue found, or the default named
        QTest::addColumn<QString>("opzioni"); // state, accepting, reasons, message; none: not found
        QTest::addColumn<int>("ipp");         // the last request's error
        QTest::addColumn<QString>("testo");
        QTest::addColumn<bool>("raggiunta");  // the server answered
        QTest::addColumn<QString>("motivo");  // none: no printer
        QTest::addColumn<QString>("dettaglio");
        const QString manca = "LPDEST environment variable names default destination that does "
                              "not exist.";
        const QString rifiuta = "Destination \"Prova\" is not accepting jobs.";
        const int assente = IPP_STATUS_ERROR_NOT_FOUND;
        const int chiusa = IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS;
        const int caduto = IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
        QTest::newRow("ferma") << "Prova" << "5 true paused Carta" << 0 << "" << true
                               << "la stampante «Prova» è ferma"
                               << "printer-state: 5; printer-is-accepting-jobs: true; "
                                  "printer-state-reasons: paused; printer-state-message: Carta";
        QTest::newRow("ferma, non accetta") << "Prova" << "5 false" << 0 << "" << true
                                            << "la stampante «Prova» non accetta lavori"
                                            << "printer-state: 5; printer-is-accepting-jobs: false";
        QTest::newRow("non accetta") << "Prova" << "3 false" << chiusa << rifiuta << true
                                     << "la stampante «Prova» non accetta lavori" << rifiuta;
        QTest::newRow("server caduto") << "Prova" << "4 true" << caduto << "Broken pipe" << true
                                       << "il servizio di stampa non risponde" << "Broken pipe";
        QTest::newRow("inesistente") << "Magazzino" << "" << assente << manca << true
                                     << "la stampante «Magazzino» non esiste" << manca;
        QTest::newRow("server spento") << "Prova" << "" << assente << manca << false
                                       << "il servizio di stampa non risponde"
                                       << manca + "\n/run/cups/cups.sock";
        QTest::newRow("nessuna nominata") << "" << "" << assente << "No default destination."
                                          << true << "" << "";
    }

    void verdetti()
    {
        QFETCH(QString, nome);
        QFETCH(QString, opzioni);
        QFETCH(int, ipp);
        QFETCH(QString, testo);
        QFETCH(bool, raggiunta);
        QFETCH(QString, motivo);
        QFETCH(QString, dettaglio);
        const QStringList nomi{"printer-state", "printer-is-accepting-jobs",
                               "printer-state-reasons", "printer-state-message"};
        const StatoCoda trovata = codaTrovata(nome, [&](const char *attributo) {
            return opzioni.split(u' ').value(nomi.indexOf(attributo));
        });
        const StatoCoda risposta{nome, true, true, true, false, ipp, testo};
        const EsitoInvio esito = opzioni.isEmpty()
            ? codaNonTrovata(nome, ipp, testo, raggiunta, "/run/cups/cups.sock")
            : EsitoInvio{EsitoInvio::Stato::Rifiutata, 0, trovata.ferma ? trovata : risposta};
        const bool stampante = esito.stato != EsitoInvio::Stato::NessunaStampante;
        QCOMPARE(stampante ? motivoRifiuto(esito.coda) : "", motivo);
        QCOMPARE(esito.coda.testo, dettaglio);
    }

    // A new name beside the printouts already there, never over one; a
    // folder not there, a full disk, a kill while drawing: failed and told,
    // no file left; no print server: the PDF kept here, and the user told,
    // why too when a default queue is named.
    void salvataggi()
    {
        QTemporaryDir cartella;
        for (int s = 0; s <= 1; ++s) {
            QFile f(cartella.filePath("Elenco " + QDateTime::currentDateTime().addSecs(s).toString("yyyy-MM-dd HH.mm.ss")
                                      + ".pdf"));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("prima") > 0);
        }
        QString primo, secondo;
        QVERIFY(StampanteQt::salvaPdf(cartella.path(), "Elenco", "uno", &primo));
        QVERIFY(StampanteQt::salvaPdf(cartella.path(), "a/b:c", "due", &secondo));
        QCOMPARE(byteDelFile(primo) + byteDelFile(secondo), "unodue");
        QByteArray tutto;
        for (const QString &nome : contenuto(cartella.path()))
            tutto += byteDelFile(cartella.filePath(nome));
        QCOMPARE(tutto.size(), 16);
        QTemporaryDir vuota;
        rlimit prima{};
        ::getrlimit(RLIMIT_FSIZE, &prima);
        const rlimit piccolo{4096, prima.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        for (const QString &dove : {vuota.filePath("non esiste"), vuota.path()}) {
            StampanteQt stampante("Elenco", dove, StampanteQt::Destinazione::SoloPdf);
            for (int i = 0; i < 300; ++i)
                stampante.stampaRiga(QString(100, u'x'));
            QVERIFY(::setrlimit(RLIMIT_FSIZE, &piccolo) == 0);
            const EsitoStampa esito = stampante.fineDocumento();
            ::setrlimit(RLIMIT_FSIZE, &prima);
            QCOMPARE(messaggioEsito(esito), "Stampa non riuscita.\nNon è stato possibile salvarla nel file:\n"
                                                + QDir::toNativeSeparators(esito.file));
        }
        ProcessoProva processo({"stampa", vuota.path()});
        QVERIFY(processo.attendi("disegno") && processo.uccidi());
        QCOMPARE(contenuto(vuota.path()), QStringList{});
        Banco b(Banco::StampeVere);
        b.rispondi({"Ok", "Ok"});
        const EsitoStampa senza = stampaEAvvisa(nullptr, elencoRicevuta(0, {}, 0, QDate(2003, 2, 1)), {});
        QCOMPARE(QFileInfo(senza.file).dir(), QDir(b.cartella()));
        QCOMPARE(b.testi(), QStringList{"Nessuna stampante installata.\n" + SALVATA + QDir::toNativeSeparators(senza.file)});
        // A default named, and no server to answer for it.
        qputenv("LPDEST", "Prova");
        const EsitoStampa spento = stampaEAvvisa(nullptr, elencoRicevuta(0, {}, 0, QDate(2003, 2, 1)), {});
        qunsetenv("LPDEST");
        QCOMPARE(b.testi().last(), "Stampa non riuscita: il servizio di stampa non risponde.\n" + SALVATA
                                       + QDir::toNativeSeparators(spento.file));
        QCOMPARE(b.visti.last().dettaglio,
                 "LPDEST environment variable names default destination that does not exist.\n"
                     + casa_.filePath("nessun-server.sock"));
    }

    // A print server of the test's own: what it takes prints line for line;
    // a job it refuses is told in its words, the printout kept.
    void serverDiStampa()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            MANCA_STRUMENTO("pdftotext non installato: la stampa non si può rileggere");
        ServerStampa server;
        if (!server.avvia())
            MANCA_STRUMENTO("server di stampa privato non avviato: " + server.errore);
        Banco b;
        QList<RigaCarrello> carrello; // longer than a page
        for (int i = 1; i <= 60; ++i)
            carrello.append({QString(i == 1 ? 40 : 5, u'Z') + QString::number(i), 1, "VITI", 1500,
                             i, 1500 * i});
        const Elenco e = elencoRicevuta(17, carrello, 2745000, QDate(2003, 2, 1));
        StampanteQt stampante(e.documento, b.cartella());
        QCOMPARE(messaggioEsito(stampaElenco(stampante, e, {"Ferramenta", "", "", "", ""})),
                 "Stampa completata");
        QVERIFY(server.attendiCodaVuota());
        stampaElenco(*nuovaStampante("registrata"), e, {"Ferramenta", "", "", "", ""});
        QCOMPARE(righePdf(server.percorso("uscita.pdf")), righe(b.stampe().last().testi()));
        QCOMPARE(contenuto(b.cartella()).size(), 1);
        QVERIFY2(server.comando("cupsreject", {"Prova"}), qPrintable(server.errore));
        StampanteQt rifiutata(e.documento, b.cartella());
        const EsitoStampa esito = stampaElenco(rifiutata, e, {"Ferramenta", "", "", "", ""});
        QCOMPARE(messaggioEsito(esito),
                 "Stampa non riuscita: la stampante «Prova» non accetta lavori.\n" + SALVATA
                     + QDir::toNativeSeparators(esito.file));
        QCOMPARE(esito.dettaglio, "Destination \"Prova\" is not accepting jobs.");
        QCOMPARE(contenuto(b.cartella()).size(), 2);
    }
};

QTEST_MAIN(TestStampante)
#include "tst_stampante.moc"
