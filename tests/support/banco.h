#pragma once

#include "common/messaggi.h"
#include "data/rapporto.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

class QLineEdit;
class QSqlDatabase;
class ServerProva;

// The private PostgreSQL server of this test program, started at first use,
// when the tests run on the server (VORENDI_PROVA_SERVER set); else null.
ServerProva *serverDiProva();

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

// A test's shop: a new file in a temporary folder that is the working
// directory; zone reports recorded; message and input boxes answered as
// planned and recorded; printers that record, unless StampeVere.
class Banco final : public QObject
{
public:
    enum Opzione { SenzaFile = 1, StampeVere = 2 };
    explicit Banco(int opzioni = 0);
    ~Banco() override;

    QString cartella() const { return cartella_.path(); }
    QString percorso() const;
    // On the server, this test's database and its connection string.
    bool server() const { return !database_.isEmpty(); }
    QString connessione() const;
    // Straight to the file or the database, past the routines.
    QList<QVariantList> righe(const QString &sql, const QVariantList &valori = {}) const;
    QVariant valore(const QString &sql) const { return righe(sql).value(0).value(0); }
    void esegui(const QString &sql, const QVariantList &valori = {}) const { righe(sql, valori); }
    // The file's bytes; on the server, every table's rows.
    QByteArray byte() const;
    // The file removed, or overwritten with bytes that are no database; on
    // the server, a database that is not there, or a server that does not answer.
    void guasta(bool mancante) const;
    // Another program's connection to the shop, opened.
    QSqlDatabase altraConnessione(const QString &nome) const;

    QList<RapportoZona> rapporti;
    QList<int> zone() const;

    // Answers used in order: "Si", "No", "Ok", "=text" for an input box,
    // "annulla" (Esc; "annulla=text" after typing) or "chiudi" (the frame's
    // close button). A box no answer fits, or an answer left over, fails the
    // test. Esc, the close button and, with tasti, every answer go to the box
    // shown on screen, as a user's.
    void rispondi(const QStringList &risposte) { risposte_ += risposte; }
    bool tasti = false;
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
    QList<QVariantList> righe(const QString &sql, const QVariantList &valori, bool fatale) const;

    QTemporaryDir cartella_;
    QString database_;
    QString cartellaPrecedente_;
    Segnalatore segnalatorePrecedente_;
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
void premi(const QWidget &finestra, const char *pulsante);
void premi(const QWidget &finestra, Banco &b, const char *pulsante, int riga, const QStringList &risposte);
void doppioClic(const QWidget &finestra, int riga);
// Combo1 set to an entry; or picked from its open list, as a user does.
void scegli(const QWidget &finestra, const QString &voce);
void scegliDalMenu(const QWidget &finestra, const QString &voce);

QByteArray byteDelFile(const QString &percorso);

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
