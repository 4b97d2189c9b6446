#include "data/percorso.h"

#include <QDir>

namespace {

QString &percorsoAttivo()
{
    static QString percorso;
    return percorso;
}

bool &soloLettura()
{
    static bool attiva = false;
    return attiva;
}

} // namespace

QString percorsoPredefinito()
{
    return QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + NOME_FILE_DATABASE;
}

void impostaPercorsoDatabase(const QString &percorso)
{
    percorsoAttivo() = percorso;
}

QString percorsoDatabase()
{
    return percorsoAttivo();
}

void impostaSolaLettura(bool attiva)
{
    soloLettura() = attiva;
}

bool solaLettura()
{
    return soloLettura();
}
