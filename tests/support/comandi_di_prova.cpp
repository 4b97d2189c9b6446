#include "support/comandi_di_prova.h"

#include "common/formati.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QFile>

namespace {

QList<ComandoDiProva> creaComandi()
{
    // name, zone, writes, table it needs, zone reported without that table
    return {
        // Without the stock table the movement, inserted first, must be taken back.
        {"RegistraProdotto", 1, true, "rimanenze", 4,
         [] { return RegistraProdotto("Prova", "ART-2", 50, 80, 3, OPERAZIONE_ACQUISTO, QDate::currentDate()); }},
        {"AggiungiTipo", 2, true, "tipo", 2, [] { return AggiungiTipo("Nuovo"); }},
        {"CaricaTipi", 3, false, "tipo", 3, [] { return !CaricaTipi().isEmpty(); }},
        {"AggiornaRimanenze", 4, true, "rimanenze", 4,
         [] { return AggiornaRimanenze("ART-1", 1, 5, 120); }},
        {"AggiungiCarrello", 5, true, "carrello", 5,
         [] { return AggiungiCarrello("ART-1", 1) == EsitoCarrello::Aggiunto; }},
        {"CancellaTipo", 6, true, "tipo", 6, [] { return CancellaTipo(2).stato != EsitoCancellaTipo::Stato::Errore; }},
        {"CodiceTipo", 7, false, "tipo", 7, [] { return CodiceTipo(1) == QLatin1String("Prova"); }},
        {"IdTipo", 8, false, "tipo", 8, [] { return IdTipo("Prova") == 1; }},
        {"VisualizzaCarrello", 9, false, "carrello", 9, [] {
             QList<RigaCarrello> righe;
             return VisualizzaCarrello(righe);
         }},
        {"CancellaCarrello", 10, true, "carrello", 10, [] { return CancellaCarrello("ART-3"); }},
        {"VisualizzaTipi", 11, false, "tipo", 11, [] { return !VisualizzaTipi().isEmpty(); }},
        {"LeggiGeneralita", 12, false, "generalità", 12, [] { return LeggiGeneralita(); }},
        {"AggiungiRicevuta", 13, true, "ricevuta", 13, [] { return AggiungiRicevuta(700); }},
        {"VisualizzaRicevute", 14, false, "ricevuta", 14,
         [] { return VisualizzaRicevute(QDate()).has_value(); }},
        {"CancellaRicevuta", 15, true, "ricevuta", 15, [] { return CancellaRicevuta(1); }},
        {"VisualizzaOperazioni", 16, false, "prodotto", 16, [] {
             ElencoOperazioni elenco;
             return VisualizzaOperazioni(OPERAZIONE_ACQUISTO, QString(), QDate(), QDate(), elenco);
         }},
        {"SalvaGeneralita", 17, true, "generalità", 17,
         [] { return SalvaGeneralita("Negozio", "a", "b", "c", "d"); }},
        {"CalcolaStatistiche", 18, false, "prodotto", 18, [] {
             SlotMensili slot;
             return CalcolaStatistiche(1, 2024, slot);
         }},
        {"SuggerimentiCodice", 19, false, "rimanenze", 19,
         [] { return !SuggerimentiCodice(1, "ART").isEmpty(); }},
        {"CancellaRimanenza", 20, true, "rimanenze", 20, [] { return CancellaRimanenza("ART-4"); }},
        {"AggiornaPrezzo", 21, true, "rimanenze", 21, [] { return AggiornaPrezzo("ART-1", 150); }},
        {"CancellaOperazione", 22, true, "prodotto", 22, [] { return CancellaOperazione(1); }},
        {"UltimaRicevuta", 23, false, "ricevuta", 23, [] { return UltimaRicevuta() == 1; }},
        {"VisualizzaRimanenze", 24, false, "rimanenze", 24,
         [] { return !VisualizzaRimanenze(1).isEmpty(); }},
        // The receipt is the sale's last step: without its table the
        // movements and cart removals already made must be taken back.
        {"RegistraVendita", 1, true, "ricevuta", 13, [] {
             return RegistraVendita({{1, "ART-1", 100, 2}, {1, "ART-3", 30, 1}}, 230,
                                    QDate::currentDate())
                        .stato
                 == EsitoVendita::Stato::Registrata;
         }},
    };
}

} // namespace

const QList<ComandoDiProva> &comandiDiProva()
{
    static const QList<ComandoDiProva> comandi = creaComandi();
    return comandi;
}

const ComandoDiProva *comandoDiProva(const QString &nome)
{
    for (const ComandoDiProva &c : comandiDiProva()) {
        if (c.nome == nome)
            return &c;
    }
    return nullptr;
}

void preparaNegozio(const DatabaseDiProva &prova)
{
    prova.esegui(QStringLiteral("UPDATE \"generalità\" SET nome='Negozio', info1='Via Roma 1',"
                                " info2='', info3='', info4=''"));
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Prova'), ('Vecchio')"));
    prova.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES"
                                " ('ART-1', 1, 10, 100), ('ART-3', 1, 4, 30), ('ART-4', 1, 1, 40)"));
    prova.esegui(QStringLiteral("INSERT INTO carrello (codice, tipo, prezzo, pezzi, totale) VALUES"
                                " ('ART-1', 1, 100, 2, 200), ('ART-3', 1, 30, 1, 30)"));
    prova.esegui(QStringLiteral("INSERT INTO prodotto (tipo, codice, prezzovendita, prezzoacquisto,"
                                " pezzi, operazione, dataop) VALUES (1, 'ART-1', 100, 60, 10, 1,"
                                " '2024-03-05')"));
    prova.esegui(QStringLiteral("INSERT INTO ricevuta (dataop, totale) VALUES ('2024-03-06', 500)"));
}

void preparaCarrello(const DatabaseDiProva &prova)
{
    prova.esegui(QStringLiteral("INSERT INTO tipo (codice) VALUES ('Prova'), ('Altro')"));
    prova.esegui(QStringLiteral("CREATE TABLE prova_carrello AS SELECT * FROM carrello"));
    for (int k = 1; k <= 20; ++k) {
        const QVariant codice = QStringLiteral("COD-%1").arg(k, 2, 10, QLatin1Char('0'));
        const int tipo = k % 2 + 1;
        const int prezzo = 100 * k + 5;
        prova.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo)"
                                    " VALUES (?, ?, 1000000, ?)"),
                     {codice, tipo, prezzo});
        prova.esegui(QStringLiteral("INSERT INTO prova_carrello (codice, tipo, prezzo, pezzi, totale)"
                                    " VALUES (?, ?, ?, ?, ?)"),
                     {codice, tipo, prezzo, k, k * prezzo});
    }
}

QByteArray byteDelFile(const QString &percorso)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

ProcessoProva::ProcessoProva(const QStringList &argomenti)
{
    processo_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    processo_.start(QStringLiteral(VORENDI_PROCESSO_PROVA), argomenti);
    processo_.waitForStarted(10000);
}

bool ProcessoProva::attendi(const QString &riga, int volte)
{
    const QDeadlineTimer limite(10000);
    while (righe().count(riga) < volte) {
        if (limite.hasExpired() || processo_.state() != QProcess::Running)
            return false;
        processo_.waitForReadyRead(int(qMax<qint64>(1, limite.remainingTime())));
    }
    return true;
}

bool ProcessoProva::finisci()
{
    if (!processo_.waitForFinished(60000))
        return false;
    return processo_.exitStatus() == QProcess::NormalExit && processo_.exitCode() == 0;
}

bool ProcessoProva::uccidi()
{
    if (processo_.state() == QProcess::NotRunning)
        return false;
    processo_.kill();
    processo_.waitForFinished(10000);
    return true;
}

QStringList ProcessoProva::righe()
{
    uscita_ += processo_.readAllStandardOutput();
    return QString::fromUtf8(uscita_).split(u'\n', Qt::SkipEmptyParts);
}
