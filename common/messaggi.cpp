#include "common/messaggi.h"

#include <QInputDialog>

QMessageBox::StandardButton mostraMessaggio(QWidget *genitore, const QString &testo,
                                            QMessageBox::StandardButtons pulsanti,
                                            const QString &titolo, QMessageBox::Icon icona)
{
    QMessageBox scatola(icona, titolo, testo, pulsanti, genitore);
    scatola.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(scatola.exec());
}

bool chiediConferma(QWidget *genitore, const QString &testo, const QString &titolo)
{
    return mostraMessaggio(genitore, testo, QMessageBox::Yes | QMessageBox::No, titolo)
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
