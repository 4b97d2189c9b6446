#pragma once

#include "data/rapporto.h"

#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariant>

#include <functional>
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
    QList<RigaStampata> righe;
    bool concluso = false;
    QStringList testi() const;
};

// A test's shop: a new file in a temporary folder that is the working
// directory; zone reports recorded; message and input boxes answered as
// planned and recorded; printers record what they get, unless StampeVere.
class Banco final : public QObject
{
public:
    enum Opzione { SenzaFile = 1, StampeVere = 2 };
    explicit Banco(int opzioni = 0);
    ~Banco() override;

    QString cartella() const { return cartella_.path(); }
    QString percorso() const;
    // Straight to the file, past the routines.
    QList<QVariantList> righe(const QString &sql, const QVariantList &valori = {}) const;
    QVariant valore(const QString &sql) const { return righe(sql).value(0).value(0); }
    void esegui(const QString &sql, const QVariantList &valori = {}) const { righe(sql, valori); }
    QByteArray byte() const;
    // The file removed, or overwritten with bytes that are no database.
    void guasta(bool mancante) const;

    QList<RapportoZona> rapporti;
    QList<int> zone() const;

    // Answers used in order: "Si", "No", "annulla", or "=text" for an input
    // box. A box with no answer left gets OK, else No, else Cancel.
    void rispondi(const QStringList &risposte) { risposte_ += risposte; }
    struct Dialogo
    {
        QString testo;
        QMessageBox::StandardButton predefinito = QMessageBox::NoButton;
    };
    QList<Dialogo> visti;
    QStringList testi() const; // of the boxes seen
    int pendenti() const { return int(risposte_.size()); }

    QList<DocumentoStampato> stampe() const;

private:
    void controlla();

    QTemporaryDir cartella_;
    QString cartellaPrecedente_;
    Segnalatore segnalatorePrecedente_;
    QTimer timer_;
    QStringList risposte_;
    QPointer<QWidget> ultimo_;
    QList<std::shared_ptr<DocumentoStampato>> documenti_;
};

// A window driven by its elements' names.
bool mostra(QWidget &finestra);
template <typename T = QLineEdit>
T *elemento(const QWidget &finestra, const char *nome)
{
    return finestra.findChild<T *>(QLatin1String(nome));
}
void premi(const QWidget &finestra, const char *pulsante);
QString etichetta(const QWidget &finestra, const char *nome);
// MSFlexGrid1's rows, cells joined by "|", the empty last row included.
QStringList griglia(const QWidget &finestra);
void vaiARiga(const QWidget &finestra, int riga);
void doppioClic(const QWidget &finestra, int riga);
// Combo1 set to an entry; or picked from its open list, as a user does.
void scegli(const QWidget &finestra, const QString &voce);
void scegliDalMenu(const QWidget &finestra, const QString &voce);

// Quotes, wildcards, a backslash, 1,000 characters, accents and an emoji,
// blanks, the empty text: name and text.
QList<std::pair<QString, QString>> testiOstili();
// Typed key by key (beyond ASCII as key events with their text), or pasted.
void immetti(QLineEdit *campo, const QString &testo, bool incollato = false);

QByteArray byteDelFile(const QString &percorso);
QStringList contenutoCartella(const QString &cartella);
// A PDF's lines on the 6-point grid of 10-point Courier, without margins or
// trailing blanks.
QStringList righePdf(const QString &percorso, int *pagine = nullptr);

// tests/support/processo_prova.cpp with these arguments, killed when it goes.
class ProcessoProva final
{
public:
    explicit ProcessoProva(const QStringList &argomenti);
    ~ProcessoProva() { uccidi(); }
    bool attendi(const QString &riga, int volte = 1); // written that many times
    bool finisci(); // ended normally with code 0
    bool uccidi();  // SIGKILL; false when it had ended
    QStringList righe();

private:
    QProcess processo_;
    QByteArray uscita_;
};
