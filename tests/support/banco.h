#pragma once

#include "common/messaggi.h"
#include "counter/stampante.h"
#include "support/banco_dati.h"

#include <memory>

class QLineEdit;

// A printout as a recording printer got it: each line with its font.
struct RigaStampata
{
    QString testo, carattere;
    int punti = 0;
    bool grassetto = false;
};
struct DocumentoStampato
{
    QString nome;
    QList<RigaStampata> righe = {};
    bool concluso = false;
    QStringList testi() const;
};

// The shop, with message and input boxes answered as planned and recorded,
// and printers that record, unless StampeVere.
class Banco final : public QObject, public BancoDati
{
public:
    explicit Banco(int opzioni = 0);
    ~Banco() override;

    // Answers used in order: "Si", "No", "Ok", "=text" for an input box,
    // "annulla" (Esc; "annulla=text" after typing) or "chiudi" (the frame's
    // close button). A box no answer fits, or an answer left over, fails the
    // test. Esc and the close button go to the box shown on screen, as a
    // user's.
    void rispondi(const QStringList &risposte) { risposte_ += risposte; }
    struct Dialogo
    {
        QString testo;
        QMessageBox::StandardButton predefinito = QMessageBox::NoButton;
        QString dettaglio = {};
    };
    QList<Dialogo> visti;
    QStringList testi() const;

    QList<DocumentoStampato> stampe() const;

private:
    Risponditore risponditorePrecedente_;
    QStringList risposte_;
    QList<std::shared_ptr<DocumentoStampato>> documenti_;
};

// A window driven by its elements' names.
bool mostra(QWidget &finestra);
template <typename T = QLineEdit>
T *elemento(const QWidget &finestra, const char *nome)
{
    return finestra.findChild<T *>(QLatin1String(nome));
}
QString etichetta(const QWidget &finestra, const char *nome);
// MSFlexGrid1's rows, cells joined by "|", the empty last row included.
QStringList griglia(const QWidget &finestra);
void vaiARiga(const QWidget &finestra, int riga);
// A click on the button; with a row, that row is chosen first, and the box
// answers are planned after the boxes seen so far are forgotten.
// Lets every list the window is reading come in whole.
void attendiLetture(const QWidget &finestra);
void premi(const QWidget &finestra, const char *pulsante);
void premi(const QWidget &finestra, Banco &b, const char *pulsante, int riga, const QStringList &risposte);
void doppioClic(const QWidget &finestra, int riga);
// Combo1 set to an entry; or picked from its open list, as a user does.
void scegli(const QWidget &finestra, const QString &voce);
void scegliDalMenu(const QWidget &finestra, const QString &voce);
