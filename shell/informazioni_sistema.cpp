#include "shell/informazioni_sistema.h"

#include "common/messaggi.h"

#include <QFileInfo>
#include <QProcess>
#include <QSettings>

bool GetKeyValue(quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                 QString &KeyVal)
{
    KeyVal.clear();
#ifdef Q_OS_WIN
    if (KeyRoot != HKEY_LOCAL_MACHINE_RADICE)
        return false;
    QSettings registro(QStringLiteral("HKEY_LOCAL_MACHINE\\") + KeyName, QSettings::NativeFormat);
    const QVariant valore = registro.value(SubKeyRef);
    if (!valore.isValid())
        return false;
    KeyVal = valore.toString();
    return true;
#else
    Q_UNUSED(KeyRoot)
    Q_UNUSED(KeyName)
    Q_UNUSED(SubKeyRef)
    return false;
#endif
}

void StartSysInfo(QWidget *genitore, const LettoreRegistro &leggi, const EsisteFile &esiste,
                  const AvviaProgramma &avvia)
{
    const EsisteFile esisteFile =
        esiste ? esiste : [](const QString &percorso) { return QFileInfo(percorso).isFile(); };
    const AvviaProgramma avviaProgramma =
        avvia ? avvia : [](const QString &percorso) { return QProcess::startDetached(percorso, {}); };

    QString percorso;
    bool trovato = leggi(HKEY_LOCAL_MACHINE_RADICE,
                         QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                         QStringLiteral("PATH"), percorso);
    if (!trovato) {
        QString cartella;
        if (leggi(HKEY_LOCAL_MACHINE_RADICE,
                  QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                  QStringLiteral("MSINFO"), cartella)) {
            percorso = cartella + QStringLiteral("\\MSINFO32.EXE");
            trovato = esisteFile(percorso);
        }
    }
    if (trovato && avviaProgramma(percorso))
        return;
    mostraMessaggio(genitore,
                    QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili."));
}
