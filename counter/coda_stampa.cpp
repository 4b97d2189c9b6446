#include "counter/coda_stampa.h"

#include <QDir>
#include <QFile>

#include <cups/cups.h>

#include <memory>

namespace {

// The print system's words for the request that just failed.
StatoCoda ultimoErrore(const QString &nome)
{
    StatoCoda coda;
    coda.nome = nome;
    coda.ipp = cupsLastError();
    coda.testo = QString::fromUtf8(cupsLastErrorString());
    if (coda.testo.isEmpty())
        coda.testo = QString::fromUtf8(ippErrorString(cupsLastError()));
    return coda;
}

EsitoInvio rifiutata(StatoCoda coda)
{
    return {EsitoInvio::Stato::Rifiutata, 0, std::move(coda)};
}

// The default queue named where libcups looks before it asks the server:
// LPDEST, PRINTER, the user's and the system's lpoptions files; empty when
// none is.
QString predefinitaNominata()
{
    if (!qEnvironmentVariableIsEmpty("LPDEST"))
        return qEnvironmentVariable("LPDEST");
    const QString printer = qEnvironmentVariable("PRINTER");
    if (!printer.isEmpty() && printer != QLatin1String("lp"))
        return printer;
    const QString sistema = qEnvironmentVariableIsEmpty("CUPS_SERVERROOT")
        ? QStringLiteral("/etc/cups")
        : qEnvironmentVariable("CUPS_SERVERROOT");
    for (const QString &percorso : {QDir::homePath() + QStringLiteral("/.cups/lpoptions"),
                                    sistema + QStringLiteral("/lpoptions")}) {
        QFile file(percorso);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd()) {
            const QString riga = QString::fromUtf8(file.readLine()).trimmed();
            if (riga.toLower().startsWith(QLatin1String("default ")))
                return riga.mid(8).trimmed().section(u' ', 0, 0);
        }
    }
    return QString();
}

// Whether the print server answers at all.
bool serverRisponde()
{
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                5000, nullptr);
    const bool risponde = http != nullptr;
    httpClose(http);
    return risponde;
}

struct LiberaDestinazione
{
    void operator()(cups_dest_t *d) const { cupsFreeDests(1, d); }
};

} // namespace

QString motivoRifiuto(const StatoCoda &coda)
{
    const QString stampante = coda.nome.isEmpty()
        ? QStringLiteral("la stampante predefinita")
        : QStringLiteral("la stampante «%1»").arg(coda.nome);
    if (!coda.raggiunta || coda.ipp == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        return QStringLiteral("il servizio di stampa non risponde");
    if (!coda.esiste || coda.ipp == IPP_STATUS_ERROR_NOT_FOUND)
        return stampante + QStringLiteral(" non esiste");
    if (!coda.accetta || coda.ipp == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
        return stampante + QStringLiteral(" non accetta lavori");
    if (coda.ferma)
        return stampante + QStringLiteral(" è ferma");
    switch (coda.ipp) {
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
        return QStringLiteral("il servizio di stampa non permette di usare ") + stampante;
    case IPP_STATUS_ERROR_BUSY:
        return stampante + QStringLiteral(" è occupata");
    case IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED:
        return stampante + QStringLiteral(" non accetta documenti PDF");
    default:
        return stampante + QStringLiteral(" non ha preso il lavoro");
    }
}

EsitoInvio codaNonTrovata(const QString &nominata, int ipp, const QString &testo,
                          bool raggiunta, const QString &server)
{
    // With no default named, libcups asks the server: no default there,
    // or no server at all, is no printer. A named default that the server
    // does not have is a queue that cannot take the job.
    if (nominata.isEmpty())
        return {};
    StatoCoda coda;
    coda.nome = nominata;
    coda.raggiunta = raggiunta;
    coda.ipp = ipp;
    coda.testo = testo;
    if (!coda.raggiunta)
        coda.testo += u'\n' + server;
    else if (ipp == IPP_STATUS_OK || ipp == IPP_STATUS_ERROR_NOT_FOUND)
        coda.esiste = false;
    return rifiutata(coda);
}

StatoCoda codaTrovata(const QString &nome, const std::function<QString(const char *)> &opzione)
{
    StatoCoda coda;
    coda.nome = nome;
    coda.ferma = opzione("printer-state").toInt() == IPP_PSTATE_STOPPED;
    coda.accetta = opzione("printer-is-accepting-jobs") != QLatin1String("false");
    if (coda.ferma) {
        // No request failed: the queue's own state is the print system's word.
        coda.testo = QStringLiteral("printer-state: %1; printer-is-accepting-jobs: %2")
                         .arg(opzione("printer-state"), opzione("printer-is-accepting-jobs"));
        for (const char *attributo : {"printer-state-reasons", "printer-state-message"}) {
            if (!opzione(attributo).isEmpty())
                coda.testo += QStringLiteral("; %1: %2").arg(QLatin1String(attributo),
                                                             opzione(attributo));
        }
    }
    return coda;
}

EsitoInvio inviaAllaCodaPredefinita(const QString &titolo, const QByteArray &pdf)
{
    const std::unique_ptr<cups_dest_t, LiberaDestinazione> destinazione(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr));
    if (!destinazione) {
        const QString nominata = predefinitaNominata().section(u'/', 0, 0);
        const StatoCoda errore = ultimoErrore(nominata);
        // libcups says a named default does not exist also when no server
        // answered at all: asking the server tells the two apart.
        return codaNonTrovata(nominata, errore.ipp, errore.testo,
                              !nominata.isEmpty() && serverRisponde(),
                              QString::fromUtf8(cupsServer()));
    }
    const char *nome = destinazione->name;
    const StatoCoda coda = codaTrovata(QString::fromUtf8(nome), [&](const char *attributo) {
        return QString::fromUtf8(
            cupsGetOption(attributo, destinazione->num_options, destinazione->options));
    });
    if (coda.ferma)
        return rifiutata(coda);

    const QByteArray titoloUtf8 = titolo.toUtf8();
    const int lavoro = cupsCreateJob(CUPS_HTTP_DEFAULT, nome, titoloUtf8.constData(), 0, nullptr);
    if (lavoro <= 0)
        return rifiutata(ultimoErrore(coda.nome));
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, nome, lavoro, titoloUtf8.constData(),
                          CUPS_FORMAT_PDF, 1)
            != HTTP_STATUS_CONTINUE
        || cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size()))
            != HTTP_STATUS_CONTINUE
        || cupsFinishDocument(CUPS_HTTP_DEFAULT, nome) > IPP_STATUS_OK_CONFLICTING) {
        const EsitoInvio esito = rifiutata(ultimoErrore(coda.nome));
        // A job without its document must not stay in the queue.
        cupsCancelJob2(CUPS_HTTP_DEFAULT, nome, lavoro, 0);
        return esito;
    }
    return {EsitoInvio::Stato::Accettata, lavoro, {}};
}
