#include "data/percorso.h"

#include "data/configurazione.h"

#include <QDir>

QString percorsoPredefinito()
{
    return QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + NOME_FILE_DATABASE;
}

QString percorsoDatabase()
{
    return configurazione().percorso;
}

bool solaLettura()
{
    return configurazione().solaLettura;
}
