#include "common/messaggi.h"

#include <QApplication>
#include <QInputDialog>
#include <QPushButton>

#include <utility>

namespace {

Risponditore &risponditoreInstallato()
{
    static Risponditore risponditore;
    return risponditore;
}

Barra &barraInstallata()
{
    static Barra barra;
    return barra;
}

std::optional<RispostaScatola> rispostaSenzaSchermo(const Scatola &scatola)
{
    return risponditoreInstallato() ? risponditoreInstallato()(scatola) : std::nullopt;
}

QMessageBox::StandardButton mostraScatola(QWidget *genitore, const Scatola &s,
                                          QMessageBox::Icon icona = QMessageBox::NoIcon)
{
    if (const std::optional<RispostaScatola> risposta = rispostaSenzaSchermo(s))
        return risposta->pulsante;
    QMessageBox scatola(icona, s.titolo, s.testo, s.pulsanti, genitore);
    scatola.setTextFormat(Qt::PlainText);
    scatola.setDetailedText(s.dettaglio);
    // Yes and No on screen; Esc and the close button press the hidden Cancel.
    if (s.tipo == Scatola::Tipo::SiNo)
        scatola.button(QMessageBox::Cancel)->hide();
    if (s.predefinito != QMessageBox::NoButton)
        scatola.setDefaultButton(s.predefinito);
    return QMessageBox::StandardButton(scatola.exec());
}

} // namespace

QMessageBox::StandardButton mostraMessaggio(QWidget *genitore, const QString &testo,
                                            QMessageBox::StandardButtons pulsanti,
                                            const QString &titolo, QMessageBox::Icon icona,
                                            QMessageBox::StandardButton predefinito,
                                            const QString &dettaglio)
{
    return mostraScatola(genitore,
                         {Scatola::Tipo::Messaggio, testo, titolo, pulsanti, predefinito, dettaglio},
                         icona);
}

bool chiediConferma(QWidget *genitore, const QString &testo,
                    QMessageBox::StandardButton predefinito)
{
    return mostraScatola(genitore, {Scatola::Tipo::Domanda, testo, TITOLO_PROGRAMMA,
                                    QMessageBox::Yes | QMessageBox::No, predefinito})
        == QMessageBox::Yes;
}

Risposta chiediSiNo(QWidget *genitore, const QString &testo,
                    QMessageBox::StandardButton predefinito)
{
    switch (mostraScatola(genitore, {Scatola::Tipo::SiNo, testo, TITOLO_PROGRAMMA,
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                     predefinito})) {
    case QMessageBox::Yes:
        return Risposta::Si;
    case QMessageBox::No:
        return Risposta::No;
    default:
        return Risposta::Annullata;
    }
}

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
    const Scatola s{Scatola::Tipo::Testo, domanda, titolo, QMessageBox::Ok | QMessageBox::Cancel,
                    QMessageBox::Ok, {}, predefinito};
    if (const std::optional<RispostaScatola> risposta = rispostaSenzaSchermo(s))
        return risposta->pulsante == QMessageBox::Ok ? risposta->testo : QString();
    QInputDialog dialogo(genitore);
    dialogo.setInputMode(QInputDialog::TextInput);
    dialogo.setWindowTitle(titolo);
    dialogo.setLabelText(domanda);
    dialogo.setTextValue(predefinito);
    if (dialogo.exec() != QDialog::Accepted)
        return QString();
    return dialogo.textValue();
}

Risponditore installaRisponditore(Risponditore risponditore)
{
    return std::exchange(risponditoreInstallato(), std::move(risponditore));
}
