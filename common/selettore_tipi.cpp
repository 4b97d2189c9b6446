#include "common/selettore_tipi.h"

#include <QComboBox>

void riempiSelettoreTipi(QComboBox *selettore, const QStringList &codici)
{
    selettore->setEditable(true);
    selettore->setInsertPolicy(QComboBox::NoInsert);
    selettore->clear();
    selettore->addItems(codici);
    azzeraSelettoreTipi(selettore);
}

void azzeraSelettoreTipi(QComboBox *selettore)
{
    selettore->setCurrentIndex(-1);
    selettore->setEditText(INVITO_TIPO);
}

QString tipoScelto(const QComboBox *selettore)
{
    const int indice = selettore->findText(selettore->currentText(), Qt::MatchFixedString);
    return indice < 0 ? QString() : selettore->itemText(indice);
}
