#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <optional>

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

// A Yes/No question that Esc or the close button leave: nothing is to be
// done then, neither what Yes nor what No would do.
enum class Risposta { Si, No, Annullata };
Risposta chiediSiNo(QWidget *genitore, const QString &testo,
                    QMessageBox::StandardButton predefinito = QMessageBox::NoButton);

// A short notice in the main window's status bar, which never stops the
// keys (a scanner goes on typing); with bip, a beep too.
void avvisaInBarra(const QString &testo, bool bip = false);
// Where notices go; the previous one is returned. Without one they are lost.
using Barra = std::function<void(const QString &)>;
Barra installaBarra(Barra barra);

// An input box in text mode; the empty text when cancelled.
QString chiediTesto(QWidget *genitore, const QString &domanda, const QString &titolo,
                    const QString &predefinito = QString());

// What a box of the functions above would show.
struct Scatola
{
    enum class Tipo { Messaggio, Domanda, SiNo, Testo }; // SiNo: the question Esc leaves
    Tipo tipo = Tipo::Messaggio;
    QString testo, titolo;
    QMessageBox::StandardButtons pulsanti = QMessageBox::Ok; // Ok and Cancel for an input box
    QMessageBox::StandardButton predefinito = QMessageBox::NoButton;
    QString dettaglio = {};
    QString proposto = {}; // an input box's text at first
};
// How it was answered: the button (Cancel for Esc where Esc leaves) and the text typed.
struct RispostaScatola
{
    QMessageBox::StandardButton pulsante = QMessageBox::NoButton;
    QString testo = {};
};
// Tests answer the boxes in place of a user: an installed answerer gets each
// box instead of the screen; no answer shows the box after all, for a test
// that drives it with keys. The previous answerer is returned.
using Risponditore = std::function<std::optional<RispostaScatola>(const Scatola &)>;
Risponditore installaRisponditore(Risponditore risponditore);
