#include "data/configurazione.h"

#include "data/collegamento.h"

#include "data/percorso.h"
#include "data/routine.h"

#include <QSysInfo>

#include <mutex>

namespace {

// The wait a routine run before any configuration takes is the
// configuration's default.
static_assert(ATTESA_FILE_BLOCCATO == std::chrono::milliseconds(5000));

std::mutex &guardia()
{
    static std::mutex m;
    return m;
}

QString nomePostazione(const QString &nome)
{
    if (!nome.trimmed().isEmpty())
        return nome.trimmed();
    const QString macchina = QSysInfo::machineHostName();
    return macchina.isEmpty() ? QStringLiteral("cassa") : macchina;
}

Configurazione &attiva()
{
    static Configurazione c{.postazione = nomePostazione({})};
    return c;
}

} // namespace

Configurazione configurazioneDallAmbiente()
{
    Configurazione c;
    c.percorso = percorsoPredefinito();
    c.server = qEnvironmentVariable("VORENDI_SERVER").trimmed();
    c.postazione = nomePostazione(qEnvironmentVariable("VORENDI_POSTAZIONE"));
    c.copiaDelGiorno = c.server.isEmpty();
    return c;
}

void impostaConfigurazione(const Configurazione &configurazione)
{
    Configurazione c = configurazione;
    c.server = c.server.trimmed();
    c.postazione = nomePostazione(c.postazione);
    {
        std::lock_guard blocco(guardia());
        attiva() = c;
    }
    impostaAttesaFileBloccato(c.attesaFileBloccato);
    Collegamento::impostaLimite(c.limiteRete);
}

Configurazione configurazione()
{
    std::lock_guard blocco(guardia());
    return attiva();
}
