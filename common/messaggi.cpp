#include "common/messaggi.h"

#include <QInputDialog>

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
