#include "support/risponditore_dialoghi.h"

#include "data/rapporto.h"
#include "shell/segnalazioni.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>

RisponditoreDialoghi::RisponditoreDialoghi()
{
    // Zone reports are message boxes too, as in the program, unless a test
    // records them already.
    if (!segnalatoreInstallato())
        installaSegnalatoreMessaggi();
    connect(&timer_, &QTimer::timeout, this, &RisponditoreDialoghi::controlla);
    timer_.start(5);
}

RisponditoreDialoghi::~RisponditoreDialoghi() = default;

void RisponditoreDialoghi::premi(QMessageBox::StandardButton pulsante)
{
    risposte_.append({Risposta::Tipo::Pulsante, pulsante, {}});
}

void RisponditoreDialoghi::scrivi(const QString &testo)
{
    risposte_.append({Risposta::Tipo::Testo, QMessageBox::NoButton, testo});
}

void RisponditoreDialoghi::annulla()
{
    risposte_.append({Risposta::Tipo::Annulla, QMessageBox::NoButton, {}});
}

QStringList RisponditoreDialoghi::testi() const
{
    QStringList risultato;
    for (const Dialogo &d : visti_)
        risultato.append(d.testo);
    return risultato;
}

void RisponditoreDialoghi::controlla()
{
    QWidget *attivo = QApplication::activeModalWidget();
    if (!attivo || attivo == ultimo_ || !attivo->isVisible())
        return;

    if (auto *scatola = qobject_cast<QMessageBox *>(attivo)) {
        ultimo_ = scatola;
        visti_.append({false, scatola->text(), scatola->windowTitle(), scatola->standardButtons(),
                       scatola->icon(),
                       scatola->standardButton(scatola->defaultButton())});
        QMessageBox::StandardButton scelta = QMessageBox::NoButton;
        if (!risposte_.isEmpty() && risposte_.first().tipo == Risposta::Tipo::Pulsante)
            scelta = risposte_.takeFirst().pulsante;
        else if (scatola->standardButtons() & QMessageBox::Ok)
            scelta = QMessageBox::Ok;
        else if (scatola->standardButtons() & QMessageBox::No)
            scelta = QMessageBox::No;
        if (QAbstractButton *pulsante = scatola->button(scelta))
            pulsante->click();
        else
            scatola->done(scelta);
        return;
    }

    if (auto *dialogo = qobject_cast<QInputDialog *>(attivo)) {
        ultimo_ = dialogo;
        visti_.append({true, dialogo->labelText(), dialogo->windowTitle(), {},
                       QMessageBox::NoIcon});
        if (!risposte_.isEmpty() && risposte_.first().tipo == Risposta::Tipo::Testo) {
            dialogo->setTextValue(risposte_.takeFirst().testo);
            dialogo->accept();
        } else {
            if (!risposte_.isEmpty() && risposte_.first().tipo == Risposta::Tipo::Annulla)
                risposte_.removeFirst();
            dialogo->reject();
        }
    }
}
