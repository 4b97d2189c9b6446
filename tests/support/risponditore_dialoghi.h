#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

// Answers the program's message and input boxes while it lives, in the order
// planned, and records what each box said. A box with no planned answer gets
// OK (or No, or Cancel for an input box). Zone reports show as message boxes
// unless a RegistroRapporti records them.
class RisponditoreDialoghi final : public QObject
{
    Q_OBJECT

public:
    struct Dialogo
    {
        bool inserimento = false; // an input box rather than a message box
        QString testo;            // message text, or the input box's prompt
        QString titolo;
        QMessageBox::StandardButtons pulsanti;
        QMessageBox::Icon icona = QMessageBox::NoIcon;
        QMessageBox::StandardButton predefinito = QMessageBox::NoButton;
    };

    RisponditoreDialoghi();
    ~RisponditoreDialoghi() override;

    // Planned answers, used in order.
    void premi(QMessageBox::StandardButton pulsante);
    void scrivi(const QString &testo);
    void annulla();

    const QList<Dialogo> &visti() const { return visti_; }
    QStringList testi() const;
    void azzera() { visti_.clear(); }
    int rispostePendenti() const { return int(risposte_.size()); }

private:
    struct Risposta
    {
        enum class Tipo { Pulsante, Testo, Annulla } tipo;
        QMessageBox::StandardButton pulsante = QMessageBox::NoButton;
        QString testo;
    };

    void controlla();

    QTimer timer_;
    QList<Risposta> risposte_;
    QList<Dialogo> visti_;
    QPointer<QWidget> ultimo_;
};
