#include "counter/coda_stampa.h"

#include <QDir>
#include <QFile>

#include <cups/cups.h>

#include <memory>

namespace {

EsitoInvio rifiutata(QString motivo)
{
    if (motivo.isEmpty())
        motivo = QString::fromUtf8(ippErrorString(cupsLastError()));
    return {EsitoInvio::Stato::Rifiutata, 0, motivo};
}

QString ultimoErrore()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// Whether a default queue is named where libcups looks before it asks the
// server: LPDEST, PRINTER, the user's and the system's lpoptions files.
bool predefinitaNominata()
{
    if (!qEnvironmentVariableIsEmpty("LPDEST"))
        return true;
    const QByteArray printer = qgetenv("PRINTER");
    if (!printer.isEmpty() && printer != "lp")
        return true;
    const QString sistema = qEnvironmentVariableIsEmpty("CUPS_SERVERROOT")
        ? QStringLiteral("/etc/cups")
        : qEnvironmentVariable("CUPS_SERVERROOT");
    for (const QString &percorso : {QDir::homePath() + QStringLiteral("/.cups/lpoptions"),
                                    sistema + QStringLiteral("/lpoptions")}) {
        QFile file(percorso);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd()) {
            if (file.readLine().trimmed().toLower().startsWith("default "))
                return true;
        }
    }
    return false;
}

struct LiberaDestinazione
{
    void operator()(cups_dest_t *d) const { cupsFreeDests(1, d); }
};

} // namespace

EsitoInvio inviaAllaCodaPredefinita(const QString &titolo, const QByteArray &pdf)
{
    const std::unique_ptr<cups_dest_t, LiberaDestinazione> destinazione(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr));
    if (!destinazione) {
        // With no default named, libcups asks the server: no default there,
        // or no server at all, is no printer. A named default that the server
        // does not have is a queue that cannot take the job.
        if (!predefinitaNominata())
            return {};
        return rifiutata(ultimoErrore());
    }
    const char *nome = destinazione->name;
    const char *stato = cupsGetOption("printer-state", destinazione->num_options,
                                      destinazione->options);
    if (stato && QByteArray(stato).toInt() == IPP_PSTATE_STOPPED)
        return rifiutata(QStringLiteral("la coda \"%1\" è ferma").arg(QString::fromUtf8(nome)));

    const QByteArray titoloUtf8 = titolo.toUtf8();
    const int lavoro = cupsCreateJob(CUPS_HTTP_DEFAULT, nome, titoloUtf8.constData(), 0, nullptr);
    if (lavoro <= 0)
        return rifiutata(ultimoErrore());
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, nome, lavoro, titoloUtf8.constData(), CUPS_FORMAT_PDF, 1)
            != HTTP_STATUS_CONTINUE
        || cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size()))
            != HTTP_STATUS_CONTINUE
        || cupsFinishDocument(CUPS_HTTP_DEFAULT, nome) > IPP_STATUS_OK_CONFLICTING) {
        const EsitoInvio esito = rifiutata(ultimoErrore());
        // A job without its document must not stay in the queue.
        cupsCancelJob2(CUPS_HTTP_DEFAULT, nome, lavoro, 0);
        return esito;
    }
    return {EsitoInvio::Stato::Accettata, lavoro, QString()};
}
