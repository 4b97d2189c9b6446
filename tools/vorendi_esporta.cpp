// Writes the operations register, the receipts register or the stock on
// hand of a shop file as CSV for a spreadsheet; opens the file read-only.

#include "common/file_durevole.h"
#include "common/filtro_giorno.h"
#include "common/formati.h"
#include "common/riga_di_comando.h"
#include "common/versione.h"
#include "data/configurazione.h"
#include "data/database_routines.h"
#include "data/rapporto.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

// A cell as spreadsheets read it: quoted when it holds a separator, a
// quote, a line break or blanks at its ends.
QString cella(const QString &testo)
{
    if (!testo.contains(QRegularExpression(QStringLiteral("[;\"\\r\\n]|^\\s|\\s$"))))
        return testo;
    return u'"' + QString(testo).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString riga(const QStringList &celle)
{
    QStringList fatte;
    for (const QString &c : celle)
        fatte << cella(c);
    return fatte.join(u';') + QStringLiteral("\r\n");
}

int fallisci(const QString &perche)
{
    QTextStream(stderr) << perche << '\n';
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QLatin1String(VERSIONE));
    QCommandLineParser riga_;
    riga_.setApplicationDescription(QStringLiteral(
        "Esporta per il commercialista, in CSV (separato da punto e virgola, UTF-8,\n"
        "date GG/MM/AAAA, numeri interi, una riga di intestazione):\n"
        "  operazioni  il registro degli acquisti (o delle vendite con --vendite)\n"
        "  ricevute    il registro delle ricevute\n"
        "  rimanenze   le merci in magazzino\n"
        "Il file dei dati viene aperto in sola lettura e non viene mai modificato;\n"
        "un file di uscita che esiste già non viene sovrascritto."));
    const QCommandLineOption file({QStringLiteral("f"), QStringLiteral("file")},
                                  QStringLiteral("Il file dei dati (predefinito: Vorendi.mdb qui)."),
                                  QStringLiteral("file"));
    const QCommandLineOption uscita({QStringLiteral("o"), QStringLiteral("uscita")},
                                    QStringLiteral("Il file CSV da scrivere (predefinito: <cosa>.csv qui)."),
                                    QStringLiteral("file"));
    const QCommandLineOption vendite(QStringLiteral("vendite"), QStringLiteral("Le vendite invece degli acquisti."));
    const QCommandLineOption dal(QStringLiteral("dal"), QStringLiteral("Dal giorno (GG/MM/AAAA)."),
                                 QStringLiteral("giorno"));
    const QCommandLineOption al(QStringLiteral("al"), QStringLiteral("Al giorno (GG/MM/AAAA)."),
                                QStringLiteral("giorno"));
    const QCommandLineOption tipo(QStringLiteral("tipo"), QStringLiteral("Solo gli articoli di un tipo."),
                                  QStringLiteral("codice"));
    riga_.addOptions({file, uscita, vendite, dal, al, tipo});
    riga_.addPositionalArgument(QStringLiteral("cosa"), QStringLiteral("operazioni, ricevute o rimanenze."));
    leggiRigaDiComando(riga_, app);

    const QString cosa = riga_.positionalArguments().value(0);
    if (riga_.positionalArguments().size() != 1
        || !QStringList{"operazioni", "ricevute", "rimanenze"}.contains(cosa))
        return fallisci(QStringLiteral("Indicare che cosa esportare: operazioni, ricevute o rimanenze."));
    QDate giorni[2];
    for (int i = 0; i < 2; ++i) {
        const QString scritto = riga_.value(i == 0 ? dal : al);
        const auto letto = leggiGiornoFiltro(scritto);
        if (!scritto.isEmpty() && !letto)
            return fallisci(MESSAGGIO_DATA_NON_CORRETTA);
        giorni[i] = letto.value_or(QDate());
    }
    const QString destinazione = riga_.isSet(uscita) ? riga_.value(uscita) : cosa + QStringLiteral(".csv");
    if (QFileInfo::exists(destinazione))
        return fallisci(QStringLiteral("Il file %1 esiste già: non viene sovrascritto.").arg(destinazione));
    // As the program: the shop's server when one is set, unless a file is named.
    Configurazione configurazione = configurazioneDallAmbiente();
    if (riga_.isSet(file)) {
        configurazione.percorso = riga_.value(file);
        configurazione.server.clear();
    }
    configurazione.solaLettura = true;
    impostaConfigurazione(configurazione);
    bool fallito = false;
    installaSegnalatore([&](const RapportoZona &r) {
        fallito = true;
        QTextStream(stderr) << r.testo() << '\n';
    });

    // An unknown type would export an empty register, as if nothing had been bought.
    const QString codiceTipo = riga_.value(tipo);
    if (!codiceTipo.isEmpty()) {
        const Ricerca<qint32> id = IdTipo(codiceTipo);
        if (!id)
            return fallisci(QStringLiteral("Nulla è stato esportato."));
        if (!*id)
            return fallisci(QStringLiteral("Il tipo %1 non esiste: nulla è stato esportato.").arg(codiceTipo));
    }

    QString testo = QStringLiteral("\uFEFF");
    if (cosa == "operazioni") {
        const ElencoOperazioni elenco = VisualizzaOperazioni(
            riga_.isSet(vendite) ? OPERAZIONE_VENDITA : OPERAZIONE_ACQUISTO, codiceTipo, giorni[0], giorni[1]);
        testo += riga({"Numero", "Data", "Codice articolo", "Tipo articolo", "Prezzo acquisto", "Prezzo vendita",
                       "Pezzi"});
        for (const RigaOperazione &r : elenco.righe)
            testo += riga({QString::number(r.id), testoGiorno(r.data), r.codice, elenco.codiciTipo.value(r.tipo),
                           QString::number(r.prezzoAcquisto), QString::number(r.prezzoVendita),
                           QString::number(r.pezzi)});
    } else if (cosa == "ricevute") {
        testo += riga({"Numero", "Data", "Totale"});
        for (const RigaRicevuta &r : VisualizzaRicevute().value_or(QList<RigaRicevuta>()))
            testo += riga({QString::number(r.codice), testoGiorno(r.data), QString::number(r.totale)});
    } else {
        testo += riga({"Codice articolo", "Tipo articolo", "Prezzo", "Pezzi"});
        for (const RigaRimanenza &r : TrovaRimanenze(QString()).value_or(QList<RigaRimanenza>()))
            testo += riga({r.codice, r.tipo, QString::number(r.prezzo), QString::number(r.pezzi)});
    }
    if (fallito)
        return fallisci(QStringLiteral("Nulla è stato esportato."));
    // Named only once whole and on disk.
    if (!scriviNuovoFile(destinazione, testo.toUtf8()))
        return fallisci(QStringLiteral("Il file %1 non si può scrivere.").arg(destinazione));
    QTextStream(stdout) << "Esportato " << destinazione << '\n';
    return 0;
}
