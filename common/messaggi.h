#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

inline const QString TITOLO_PROGRAMMA = QStringLiteral("Vorendi");

// Every message box of the program: no icon unless one is named, the program
// title unless the caller names another; a detail behind its own button
// when there is one. Returns the button pressed.
QMessageBox::StandardButton mostraMessaggio(QWidget *genitore, const QString &testo,
                                            QMessageBox::StandardButtons pulsanti = QMessageBox::Ok,
                                            const QString &titolo = TITOLO_PROGRAMMA,
                                            QMessageBox::Icon icona = QMessageBox::NoIcon,
                                            QMessageBox::StandardButton predefinito =
                                                QMessageBox::NoButton,
                                            const QString &dettaglio = QString());

// A Yes/No question; true on Yes. Questions whose Yes cannot be undone make
// No the default button, so that a stray Enter answers No.
bool chiediConferma(QWidget *genitore, const QString &testo,
                    QMessageBox::StandardButton predefinito = QMessageBox::NoButton);

// An input box in text mode; the empty text when cancelled.
QString chiediTesto(QWidget *genitore, const QString &domanda, const QString &titolo,
                    const QString &predefinito = QString());
