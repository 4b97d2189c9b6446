#include "common/elementi.h"

#include <QLabel>
#include <QPushButton>

QPushButton *nuovoPulsante(QWidget *genitore, const QString &testo, const QString &nome)
{
    auto *pulsante = new QPushButton(testo, genitore);
    pulsante->setObjectName(nome);
    return pulsante;
}

QLabel *nuovaEtichetta(QWidget *genitore, const QString &testo, const QString &nome, QWidget *campo)
{
    auto *etichetta = new QLabel(testo, genitore);
    if (!nome.isEmpty())
        etichetta->setObjectName(nome);
    if (campo)
        etichetta->setBuddy(campo);
    return etichetta;
}
