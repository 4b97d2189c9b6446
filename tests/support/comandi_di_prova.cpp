#include "support/comandi_di_prova.h"

#include "common/formati.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"

#include <QFile>

namespace {

ComandoDiProva lettura(const QString &nome, int zona, const QString &tabella,
                       std::function<bool()> esegui)
{
    return {nome, zona, false, tabella, zona, std::move(esegui)};
}

ComandoDiProva scrittura(const QString &nome, int zona, const QString &tabella, int zonaTabella,
                         std::function<bool()> esegui)
{
    return {nome, zona, true, tabella, zonaTabella, std::move(esegui)};
}

QList<ComandoDiProva> creaComandi()
{
    const QString tipo = QStringLiteral("tipo");
    const QString rimanenze = QStringLiteral("rimanenze");
    const QString carrello = QStringLiteral("carrello");
    const QString prodotto = QStringLiteral("prodotto");
    const QString ricevuta = QStringLiteral("ricevuta");
    const QString generalita = QStringLiteral("generalità");
    return {
        // A missing stock table fails the stock update, after the movement
        // itself was inserted: the transaction must take it back.
        scrittura("RegistraProdotto", 1, rimanenze, 4, [] {
            return RegistraProdotto("Prova", "ART-2", 50, 80, 3, OPERAZIONE_ACQUISTO, dataOggi());
        }),
        scrittura("AggiungiTipo", 2, tipo, 2, [] { return AggiungiTipo("Nuovo"); }),
        lettura("CaricaTipi", 3, tipo, [] { return !CaricaTipi().isEmpty(); }),
        scrittura("AggiornaRimanenze", 4, rimanenze, 4,
                  [] { return AggiornaRimanenze("ART-1", 1, 5, 120); }),
        scrittura("AggiungiCarrello", 5, carrello, 5,
                  [] { return AggiungiCarrello("ART-1", 1) == EsitoCarrello::Aggiunto; }),
        scrittura("CancellaTipo", 6, tipo, 6, [] { return CancellaTipo(2); }),
        lettura("CodiceTipo", 7, tipo, [] { return CodiceTipo(1) == QLatin1String("Prova"); }),
        lettura("IdTipo", 8, tipo, [] { return IdTipo("Prova") == 1; }),
        lettura("VisualizzaCarrello", 9, carrello, [] {
            QList<RigaCarrello> righe;
            return VisualizzaCarrello(righe);
        }),
        scrittura("CancellaCarrello", 10, carrello, 10, [] { return CancellaCarrello("ART-3"); }),
        lettura("VisualizzaTipi", 11, tipo, [] { return !VisualizzaTipi().isEmpty(); }),
        lettura("LeggiGeneralita", 12, generalita, [] { return LeggiGeneralita(); }),
        scrittura("AggiungiRicevuta", 13, ricevuta, 13, [] { return AggiungiRicevuta(700); }),
        lettura("VisualizzaRicevute", 14, ricevuta,
                [] { return VisualizzaRicevute(QString()).has_value(); }),
        scrittura("CancellaRicevuta", 15, ricevuta, 15, [] { return CancellaRicevuta(1); }),
        lettura("VisualizzaOperazioni", 16, prodotto, [] {
            ElencoOperazioni elenco;
            return VisualizzaOperazioni(OPERAZIONE_ACQUISTO, QString(), QString(), elenco);
        }),
        scrittura("SalvaGeneralita", 17, generalita, 17,
                  [] { return SalvaGeneralita("Negozio", "a", "b", "c", "d"); }),
        lettura("CalcolaStatistiche", 18, prodotto, [] {
            SlotMensili slot;
            return CalcolaStatistiche(1, 2024, slot);
        }),
        lettura("SuggerimentiCodice", 19, rimanenze,
                [] { return !SuggerimentiCodice(1, "ART").isEmpty(); }),
        scrittura("CancellaRimanenza", 20, rimanenze, 20,
                  [] { return CancellaRimanenza("ART-4"); }),
        scrittura("AggiornaPrezzo", 21, rimanenze, 21, [] { return AggiornaPrezzo("ART-1", 150); }),
        scrittura("CancellaOperazione", 22, prodotto, 22, [] { return CancellaOperazione(1); }),
        lettura("UltimaRicevuta", 23, ricevuta, [] { return UltimaRicevuta() == 1; }),
        lettura("VisualizzaRimanenze", 24, rimanenze,
                [] { return !VisualizzaRimanenze(1).isEmpty(); }),
        // The receipt is the sale's last step: without its table the
        // movements and cart removals already made must be taken back.
        scrittura("RegistraVendita", 1, ricevuta, 13, [] {
            const EsitoVendita esito =
                RegistraVendita({{"Prova", "ART-1", 100, 2}}, 200, dataOggi());
            return esito.stato == EsitoVendita::Stato::Registrata;
        }),
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

QByteArray byteDelFile(const QString &percorso)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString programmaProcessoProva()
{
    return QStringLiteral(VORENDI_PROCESSO_PROVA);
}
