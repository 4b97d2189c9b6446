#include "data/tabelle.h"

#include "data/schema.h"

namespace {

using G = Dialetto::Genere;

QString colonneIndice(const Dialetto &dialetto, const Tabella &t, const Indice &i)
{
    const bool perPostazione = t.diTutte && doveSta(dialetto, t) != QLatin1String(t.nome);
    return perPostazione ? QStringLiteral("postazione, ") + QLatin1String(i.colonne) : QLatin1String(i.colonne);
}

QString istruzioneIndice(const Dialetto &dialetto, const Tabella &t, const Indice &i)
{
    QString nome = QLatin1String(i.nome);
    const QString dove = doveSta(dialetto, t);
    if (dove != QLatin1String(t.nome))
        nome.replace(0, qsizetype(qstrlen(t.nome)), dove);
    return QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
        .arg(i.unico ? QStringLiteral("UNIQUE ") : QString(), nome, dove, colonneIndice(dialetto, t, i));
}

} // namespace

const std::vector<Tabella> &tabelle()
{
    // The statistics read a year from prodotto_dataop alone, grouped by
    // day; the register lists one kind by day, code and type in the order
    // of prodotto_operazione(_tipo), with no sort.
    static const std::vector<Tabella> tutte = {
        {"tipo", {{"id", G::Contatore}, {"codice", G::Codice}}, {{"tipo_codice", "codice"}}, nullptr, false,
         "tipi", "tipo"},
        {"rimanenze",
         {{"codice", G::Codice}, {"tipo", G::Intero}, {"pezzi", G::Intero, true, "0"}, {"prezzo", G::Intero, true, "0"}},
         {{"rimanenze_codice", "codice", true}, {"rimanenze_tipo_codice", "tipo, codice"}},
         nullptr, false, "articoli in magazzino", "articolo in magazzino"},
        {"prodotto",
         {{"id", G::Contatore}, {"tipo", G::Intero}, {"codice", G::Codice}, {"prezzovendita", G::Intero},
          {"prezzoacquisto", G::Intero}, {"pezzi", G::Intero}, {"operazione", G::Intero}, {"dataop", G::Giorno}},
         {{"prodotto_dataop", "dataop, operazione, prezzoacquisto, prezzovendita"},
          {"prodotto_operazione", "operazione, dataop, codice, tipo"},
          {"prodotto_operazione_tipo", "operazione, tipo, dataop, codice"}},
         nullptr, false, "movimenti", "movimento"},
        {"carrello",
         {{"codice", G::Codice}, {"tipo", G::Intero}, {"prezzo", G::Intero}, {"pezzi", G::Intero},
          {"totale", G::Intero}},
         {{"carrello_codice", "codice", true}},
         "carrelli", false, "righe di carrello", "riga di carrello"},
        {"ricevuta", {{"codice", G::Contatore}, {"dataop", G::Giorno}, {"totale", G::Intero}},
         {{"ricevuta_dataop", "dataop"}}, nullptr, false, "ricevute", "ricevuta"},
        {"generalità",
         {{"nome", G::Testo, false}, {"info1", G::Testo, false}, {"info2", G::Testo, false},
          {"info3", G::Testo, false}, {"info4", G::Testo, false}},
         {}, nullptr, true, "righe dei dati dell'azienda", "riga dei dati dell'azienda"},
    };
    return tutte;
}

QString nomeSql(const char *nome)
{
    const QString testo = QString::fromUtf8(nome);
    for (QChar c : testo) {
        if (c.unicode() >= 0x80)
            return u'"' + testo + u'"';
    }
    return testo;
}

QString doveSta(const Dialetto &dialetto, const Tabella &tabella)
{
    return tabella.diTutte ? dialetto.diTutte(QLatin1String(tabella.nome), QLatin1String(tabella.diTutte))
                           : nomeSql(tabella.nome);
}

QString elencoColonne(const Tabella &tabella)
{
    QStringList nomi;
    for (const Colonna &c : tabella.colonne)
        nomi.append(QLatin1String(c.nome));
    return nomi.join(QStringLiteral(", "));
}

QStringList nomiTabelle(const Dialetto &dialetto)
{
    QStringList nomi;
    for (const Tabella &t : tabelle())
        nomi.append(doveSta(dialetto, t).remove(u'"'));
    return nomi;
}

QStringList istruzioniSchema(const Dialetto &dialetto, bool indici)
{
    QStringList istruzioni = dialetto.preambolo();
    for (const Tabella &t : tabelle()) {
        const QString dove = doveSta(dialetto, t);
        const bool perPostazione = dove != nomeSql(t.nome);
        QStringList colonne;
        // Each counter's rows carry its name, which the view selects by.
        if (perPostazione)
            colonne.append(QStringLiteral("postazione TEXT COLLATE \"C\" NOT NULL"
                                          " DEFAULT current_setting('vorendi.postazione')"));
        for (const Colonna &c : t.colonne) {
            QString colonna = QLatin1String(c.nome) + u' ' + dialetto.tipo(c.genere);
            if (c.obbligatoria && c.genere != G::Contatore)
                colonna += QStringLiteral(" NOT NULL");
            if (c.predefinito)
                colonna += QStringLiteral(" DEFAULT ") + QLatin1String(c.predefinito);
            colonne.append(colonna);
        }
        istruzioni.append(QStringLiteral("CREATE TABLE %1 (%2)").arg(dove, colonne.join(QStringLiteral(", "))));
        for (const Indice &i : t.indici) {
            if (indici)
                istruzioni.append(istruzioneIndice(dialetto, t, i));
        }
        if (perPostazione)
            istruzioni.append(QStringLiteral("CREATE VIEW %1 AS SELECT %2 FROM %3"
                                             " WHERE postazione = current_setting('vorendi.postazione')")
                                  .arg(nomeSql(t.nome), elencoColonne(t), dove));
        if (t.unaRiga) {
            QStringList vuoti;
            for (qsizetype i = 0; i < qsizetype(t.colonne.size()); ++i)
                vuoti.append(QStringLiteral("''"));
            istruzioni.append(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(dove, elencoColonne(t), vuoti.join(QStringLiteral(", "))));
        }
    }
    istruzioni += dialetto.funzioni();
    istruzioni += dialetto.timbra(VERSIONE_SCHEMA);
    return istruzioni;
}

QStringList istruzioniIndici(const Dialetto &dialetto)
{
    QStringList istruzioni;
    for (const Tabella &t : tabelle()) {
        for (const Indice &i : t.indici)
            istruzioni.append(istruzioneIndice(dialetto, t, i));
    }
    return istruzioni;
}
