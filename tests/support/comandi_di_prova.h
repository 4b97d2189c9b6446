#pragma once

#include <QList>
#include <QProcess>
#include <QString>

#include <functional>

class DatabaseDiProva;

// Every database routine called once with ordinary arguments on the shop that
// preparaNegozio() writes, so that a fault can be tried on each of them, in
// this process or in the helper process.
struct ComandoDiProva
{
    QString nome;
    int zona = 0;           // the zone its report names when the file cannot be used
    bool scrive = false;
    QString tabella;        // the table it cannot do without
    int zonaTabella = 0;    // the zone reported when that table is missing
    std::function<bool()> esegui; // false when the routine says it failed
};

const QList<ComandoDiProva> &comandiDiProva();
const ComandoDiProva *comandoDiProva(const QString &nome);

// Types "Prova" (1) and "Vecchio" (2); stock ART-1 (10 pieces at 100), ART-3
// and ART-4; cart lines ART-1 (2 pieces) and ART-3; one purchase; one receipt.
void preparaNegozio(const DatabaseDiProva &prova);

// Types "Prova" and "Altro"; twenty articles COD-01..COD-20 with a large
// stock, and in table prova_carrello the cart of twenty lines, line k of k
// pieces, that the helper process puts back before every sale.
void preparaCarrello(const DatabaseDiProva &prova);

// The whole file as bytes, for telling "nothing written" exactly.
QByteArray byteDelFile(const QString &percorso);

// The helper process (tests/support/processo_prova.cpp) with these arguments,
// killed when this object goes.
class ProcessoProva final
{
public:
    explicit ProcessoProva(const QStringList &argomenti);
    ~ProcessoProva() { uccidi(); }

    // Waits until it has written the line that many times in all.
    bool attendi(const QString &riga, int volte = 1);
    // Waits for its end; true when it ended normally with code 0.
    bool finisci();
    // SIGKILL; false when it was no longer running.
    bool uccidi();
    // Every line it wrote.
    QStringList righe();

private:
    QProcess processo_;
    QByteArray uscita_;
};
