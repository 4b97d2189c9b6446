#include "common/messaggi.h"

#include <QApplication>
#include <QInputDialog>
#include <QPushButton>

#include <utility>

QMessageBox::StandardButton mostraMessaggio(QWidget *genitore, const QString &testo,
                                            QMessageBox::StandardButtons pulsanti,
                                            const QString &titolo, QMessageBox::Icon icona,
                                            QMessageBox::StandardButton predefinito,
                                            const QString &dettaglio)
{
    QMessageBox scatola(icona, titolo, testo, pulsanti, genitore);
    scatola.setTextFormat(Qt::PlainText);
    scatola.setDetailedText(dettaglio);
    if (predefinito != QMessageBox::NoButton)
        scatola.setDefaultButton(predefinito);
    return QMessageBox::StandardButton(scatola.exec());
}

bool chiediConferma(QWidget *genitore, const QString &testo,
                    QMessageBox::StandardButton predefinito)
{
    return mostraMessaggio(genitore, testo, QMessageBox::Yes | QMessageBox::No, TITOLO_PROGRAMMA,
                           QMessageBox::NoIcon, predefinito)
        == QMessageBox::Yes;
}

Risposta chiediSiNo(QWidget *genitore, const QString &testo,
                    QMessageBox::StandardButton predefinito)
{
    QMessageBox scatola(QMessageBox::NoIcon, TITOLO_PROGRAMMA, testo,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, genitore);
    scatola.setTextFormat(Qt::PlainText);
    // Yes and No on screen; Esc and the close button press the hidden Cancel.
    scatola.button(QMessageBox::Cancel)->hide();
    if (predefinito != QMessageBox::NoButton)
        scatola.setDefaultButton(predefinito);
    switch (scatola.exec()) {
    case QMessageBox::Yes:
        return Risposta::Si;
    case QMessageBox::No:
        return Risposta::No;
    default:
        return Risposta::Annullata;
    }
}

namespace {

Barra &barraInstallata()
{
    static Barra barra;
    return barra;
}

} // namespace

void avvisaInBarra(const QString &testo, bool bip)
{
    if (bip)
        QApplication::beep();
    if (barraInstallata())
        barraInstallata()(testo);
}

Barra installaBarra(Barra barra)
{
    return std::exchange(barraInstallata(), std::move(barra));
}

QString chiediTesto(QWidget *genitore, const QString &domanda, const QString &titolo,
                    const QString &predefinito)
{
    QInputDialog dialogo(genitore);
    dialogo.setInputMode(QInputDialog::TextInput);
    dialogo.setWindowTitle(titolo);
    dialogo.setLabelText(domanda);
    dialogo.setTextValue(predefinito);
    if (dialogo.exec() != QDialog::Accepted)
        return QString();
    return dialogo.textValue();
}
