#include "shell/frmAbout.h"

#include "common/messaggi.h"
#include "common/versione.h"
#include "shell/icone.h"
#include "shell/informazioni_sistema.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget *genitore)
    : QDialog(genitore)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Informazioni su ") + TITOLO_PROGRAMMA);
    setModal(true);

    auto *picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(iconaProgramma().pixmap(32, 32));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *lblTitle = new QLabel(TITOLO_PROGRAMMA, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont grande = lblTitle->font();
    grande.setPointSizeF(grande.pointSizeF() * 1.6);
    grande.setBold(true);
    lblTitle->setFont(grande);

    auto *lblVersion = new QLabel(QStringLiteral("Versione ") + QLatin1String(VERSIONE), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    auto *lblDescription =
        new QLabel(QStringLiteral("Realizzato dal laboratorio Vorendi\n"
                                  "\n"
                                  "Sito: www.vorendi.example\n"
                                  "E-mail: assistenza@vorendi.example"),
                   this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));

    auto *linea = new QFrame(this);
    linea->setFrameShape(QFrame::HLine);
    linea->setFrameShadow(QFrame::Sunken);

    auto *lblDisclaimer = new QLabel(QString(), this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);

    auto *cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto *cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(this); });

    auto *griglia = new QGridLayout(this);
    griglia->addWidget(picIcon, 0, 0, 3, 1);
    griglia->addWidget(lblTitle, 0, 1);
    griglia->addWidget(lblVersion, 1, 1);
    griglia->addWidget(lblDescription, 2, 1);
    griglia->addWidget(linea, 3, 0, 1, 3);
    griglia->addWidget(lblDisclaimer, 4, 0, 1, 2);
    auto *pulsanti = new QVBoxLayout;
    pulsanti->addWidget(cmdOK);
    pulsanti->addWidget(cmdSysInfo);
    pulsanti->addStretch();
    griglia->addLayout(pulsanti, 4, 2);
    griglia->setColumnStretch(1, 1);
}
