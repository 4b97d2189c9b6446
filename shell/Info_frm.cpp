#include "shell/Info_frm.h"

#include "common/elementi.h"
#include "common/messaggi.h"
#include "data/database_routines.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Info_frm::Info_frm(QWidget *genitore)
    : QWidget(genitore)
{
    setObjectName(QStringLiteral("Info_frm"));
    setWindowTitle(QStringLiteral("Informazioni Azienda"));

    auto *riquadro = new QGroupBox(QStringLiteral("Informazioni Azienda"), this);
    riquadro->setObjectName(QStringLiteral("Frame1"));
    auto *modulo = new QFormLayout(riquadro);
    const QString etichette[5] = {QStringLiteral("Ragione sociale:"), QStringLiteral("Riga 1:"),
                                  QStringLiteral("Riga 2:"), QStringLiteral("Riga 3:"),
                                  QStringLiteral("Riga 4:")};
    for (int i = 0; i < 5; ++i) {
        campi_[i] = new QLineEdit(riquadro);
        campi_[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        campi_[i]->setMinimumWidth(360);
        modulo->addRow(etichette[i], campi_[i]);
    }

    auto *salva = nuovoPulsante(this, QStringLiteral("Salva"), QStringLiteral("Command1"));
    auto *resetta = nuovoPulsante(this, QStringLiteral("Resetta"), QStringLiteral("Command2"));
    connect(salva, &QPushButton::clicked, this, &Info_frm::salva);
    connect(resetta, &QPushButton::clicked, this, &Info_frm::resetta);

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(salva);
    pulsanti->addWidget(resetta);
    auto *colonna = new QVBoxLayout(this);
    colonna->addWidget(riquadro);
    colonna->addLayout(pulsanti);

    const DatiAzienda azienda = generalitaDaStampare();
    const QString valori[5] = {azienda.nome, azienda.info1, azienda.info2, azienda.info3, azienda.info4};
    for (int i = 0; i < 5; ++i) {
        campi_[i]->setText(valori[i]);
        salvati_[i] = valori[i];
    }
}

void Info_frm::salva()
{
    // No column is ever saved empty.
    for (QLineEdit *campo : campi_) {
        if (campo->text().isEmpty())
            campo->setText(QStringLiteral("-"));
    }
    if (!SalvaGeneralita(campi_[0]->text(), campi_[1]->text(), campi_[2]->text(),
                         campi_[3]->text(), campi_[4]->text()))
        return;
    for (int i = 0; i < 5; ++i)
        salvati_[i] = campi_[i]->text();
}

void Info_frm::closeEvent(QCloseEvent *evento)
{
    for (int i = 0; i < 5; ++i) {
        if (campi_[i]->text() == salvati_[i])
            continue;
        if (!chiediConferma(this, QStringLiteral("Chiudere senza salvare?"), QMessageBox::No)) {
            evento->ignore();
            return;
        }
        break;
    }
    QWidget::closeEvent(evento);
}

void Info_frm::resetta()
{
    for (QLineEdit *campo : campi_)
        campo->clear();
}
