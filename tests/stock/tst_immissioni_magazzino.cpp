#include "data/database_routines.h"
#include "stock/AggCarrello_frm.h"
#include "stock/Prodotto_frm.h"
#include "stock/VisTipi_frm.h"
#include "support/comandi_di_prova.h"
#include "support/immissioni.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

// Hostile texts typed and pasted into every field of the stock windows:
// each is stored and shown back exactly, or refused with a message that
// leaves the file as it was.

namespace {

const QString INVITO = QStringLiteral(">>> Seleziona TIPO <<<");
// The stock row's code, looked up in every step taken on it.
const QString CODICE = QStringLiteral("A'1\"%_*\\ 🛒");
const QString PREZZO =
    QStringLiteral("Il prezzo di %1 deve essere un numero intero da 0 a 2.147.483.647.");
const QString PEZZI =
    QStringLiteral("Il numero di pezzi deve essere compreso tra -32.768 e 32.767.");

using Esito = std::pair<QString, QVariant>; // the message, or what is stored

void colonne()
{
    QTest::addColumn<QString>("campo");
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<QString>("messaggio");
    QTest::addColumn<QVariant>("salvato");
}

// A row for each value in the field, with what the rule says it leads to.
template <typename Regola>
void righe(const char *campo, const QList<ValoreOstile> &valori, Regola regola)
{
    for (const ValoreOstile &v : valori) {
        const auto [messaggio, salvato] = regola(v);
        QTest::addRow("%s: %s", campo, qPrintable(v.nome))
            << QString::fromLatin1(campo) << v << messaggio << salvato;
    }
}

bool bianco(const ValoreOstile &v)
{
    return v.testo.trimmed().isEmpty();
}

// A fresh file with the type "Viti", and no zone report till the end.
struct Magazzino : Banco
{
    Magazzino() { AggiungiTipo(QStringLiteral("Viti")); }
    ~Magazzino() { QCOMPARE(registro.rapporti().size(), 0); }
};

} // namespace

class TestImmissioniMagazzino : public QObject
{
    Q_OBJECT

private slots:
    void tipi_data();
    void tipi();
    void prodotto_data();
    void prodotto();
    void rimanenze_data();
    void rimanenze();
};

void TestImmissioniMagazzino::tipi_data()
{
    colonne();
    righe("Text1", testiOstili(), [](const ValoreOstile &v) {
        return bianco(v) ? Esito{QStringLiteral("Scrivere la descrizione del tipo."), {}}
                         : Esito{QString(), v.testo};
    });
}

void TestImmissioniMagazzino::tipi()
{
    QFETCH(ValoreOstile, valore);
    QFETCH(QString, messaggio);
    Magazzino m;
    VisTipi_frm finestra;
    QVERIFY(mostra(finestra));
    QLineEdit *testo = campo(finestra, "Text1");
    immetti(testo, valore);
    QCOMPARE(testo->text(), valore.testo);
    const QByteArray prima = byteDelFile(m.db.percorso());

    premi(finestra, "Command3");

    if (!messaggio.isEmpty()) {
        QCOMPARE(m.risponditore.testi(), QStringList{messaggio});
        QVERIFY(byteDelFile(m.db.percorso()) == prima);
        QCOMPARE(testo->text(), valore.testo);
        QCOMPARE(griglia(finestra), QStringList({" 1|Viti", "|"}));
        return;
    }
    QCOMPARE(m.risponditore.testi(), QStringList{});
    QCOMPARE(m.db.valore(QStringLiteral("SELECT codice FROM tipo WHERE id = 2")).toString(),
             valore.testo);
    QVERIFY(griglia(finestra).contains(" 2|" + valore.testo));
    QCOMPARE(testo->text(), QString());
    // Found again by its exact text, wildcards and all.
    QCOMPARE(IdTipo(valore.testo), 2);
    QVERIFY(CaricaTipi().contains(valore.testo));
}

void TestImmissioniMagazzino::prodotto_data()
{
    colonne(); // salvato: in the movement's column for the field
    righe("Combo1", testiOstili(), [](const ValoreOstile &) {
        return Esito{QStringLiteral("Scegliere il tipo dell'articolo."), {}};
    });
    righe("Text1", testiOstili(), [](const ValoreOstile &v) {
        if (bianco(v))
            return Esito{QStringLiteral("Scrivere il codice dell'articolo."), {}};
        // A quote typed becomes "-"; pasted, it stays.
        const bool apice = v.testo == QLatin1String("'") || v.testo == QLatin1String("\"");
        return Esito{QString(), apice && !v.incollato ? QStringLiteral("-") : v.testo};
    });
    for (const auto &[campo, quale] :
         {std::pair{"Text2", "acquisto"}, std::pair{"Text4", "vendita"}}) {
        righe(campo, numeriOstili(), [quale = QLatin1String(quale)](const ValoreOstile &v) {
            // Typed, only digits reach the field: the minus of -5 is dropped,
            // and so is every key of a text, an emoji's too.
            if (v.nome == QLatin1String("negativo"))
                return Esito{QString(), 5};
            if (v.nome == QLatin1String("oltre 16 bit"))
                return Esito{QString(), 32768};
            if (!v.incollato && v.nome != QLatin1String("oltre 32 bit"))
                return Esito{QStringLiteral("Il prezzo di %1 è vuoto: registrare il prezzo 0?")
                                 .arg(quale),
                             {}};
            return Esito{PREZZO.arg(quale), {}};
        });
    }
    // Letters alone, or 1,000 digits, are no number of pieces.
    righe("Text3", numeriOstili(), [](const ValoreOstile &v) {
        if (bianco(v))
            return Esito{QString(), 0};
        if (v.nome == QLatin1String("negativo"))
            return Esito{QString(), -5};
        return Esito{PEZZI, {}};
    });
}

void TestImmissioniMagazzino::prodotto()
{
    QFETCH(QString, campo);
    QFETCH(ValoreOstile, valore);
    QFETCH(QString, messaggio);
    QFETCH(QVariant, salvato);
    Magazzino m;
    Prodotto_frm finestra;
    QVERIFY(mostra(finestra));
    scegli(finestra, QStringLiteral("Viti"));
    const QStringList nomi{"Text1", "Text2", "Text4", "Text3"};
    QVariantList attesi{"M8", 100, 200, 1}; // code, purchase and sale price, pieces
    for (int i = 0; i < nomi.size(); ++i)
        finestra.findChild<QLineEdit *>(nomi.at(i))->setText(attesi.at(i).toString());
    immetti(campo == QLatin1String("Combo1") ? selettore(finestra)->lineEdit()
                                             : finestra.findChild<QLineEdit *>(campo),
            valore);
    const auto campi = [&] {
        QStringList testi{selettore(finestra)->currentText()};
        for (const QString &nome : nomi)
            testi << finestra.findChild<QLineEdit *>(nome)->text();
        return testi;
    };
    const QStringList immessi = campi();
    const QByteArray prima = byteDelFile(m.db.percorso());

    premi(finestra, "Command1");

    if (!messaggio.isEmpty()) {
        QCOMPARE(m.risponditore.testi(), QStringList{messaggio});
        QCOMPARE(campi(), immessi);
        QVERIFY(byteDelFile(m.db.percorso()) == prima);
        return;
    }
    QCOMPARE(m.risponditore.testi(), QStringList{});
    QCOMPARE(campi(), QStringList({INVITO, "", "", "", ""}));
    attesi[nomi.indexOf(campo)] = salvato;
    QCOMPARE(m.db.righe(QStringLiteral("SELECT codice, prezzoacquisto, prezzovendita, pezzi"
                                         " FROM prodotto")),
             QList<QVariantList>{attesi});
    // The stock row under the same code, and found as stored.
    const QString codice = attesi.first().toString();
    QCOMPARE(m.db.valore(QStringLiteral("SELECT codice FROM rimanenze")).toString(), codice);
    QCOMPARE(SuggerimentiCodice(1, codice), QStringList{codice});
}

void TestImmissioniMagazzino::rimanenze_data()
{
    colonne(); // salvato: the new price, or the cart line's pieces
    righe("prezzo", numeriOstili() << ValoreOstile{"valido", "1.500"}, [](const ValoreOstile &v) {
        // A cancelled box answers the empty text: empty means no change.
        if (bianco(v))
            return Esito{};
        if (v.nome == QLatin1String("oltre 16 bit") || v.nome == QLatin1String("valido"))
            return Esito{QString(), QLocale(QLocale::Italian).toInt(v.testo)};
        return Esito{PREZZO.arg("vendita") + " Il prezzo non è stato modificato.", {}};
    });
    righe("pezzi", numeriOstili() << ValoreOstile{"valido", "2"}, [](const ValoreOstile &v) {
        if (bianco(v))
            return Esito{};
        if (v.nome == QLatin1String("negativo"))
            return Esito{"Attenzione\nIl numero di prodotti in carrello è negativo o nullo", {}};
        if (v.nome == QLatin1String("valido"))
            return Esito{QString(), 2};
        // Only a number beyond 16 bits is told; a text with no number asks for nothing.
        if (v.nome.startsWith(QLatin1String("oltre")) || v.nome == QLatin1String("mille cifre"))
            return Esito{PEZZI + " Nulla è stato aggiunto al carrello.", {}};
        return Esito{};
    });
    // Typed into the type selector, then Enter: the types are read again.
    righe("Combo1", testiOstili(), [](const ValoreOstile &) { return Esito{}; });
}

void TestImmissioniMagazzino::rimanenze()
{
    QFETCH(QString, campo);
    QFETCH(ValoreOstile, valore);
    QFETCH(QString, messaggio);
    QFETCH(QVariant, salvato);
    Magazzino m;
    m.db.esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo)"
                                 " VALUES (?, 1, 3, 1000)"),
                  {CODICE});
    AggCarrello_frm finestra;
    QVERIFY(mostra(finestra));
    scegliDalMenu(finestra, QStringLiteral("Viti"));
    const QStringList elenco = griglia(finestra);
    QCOMPARE(elenco, QStringList({CODICE + "|Viti|1.000|3", "|||"}));
    const QByteArray prima = byteDelFile(m.db.percorso());

    QStringList dialoghi;
    if (campo == QLatin1String("prezzo")) {
        vaiARiga(finestra, 0);
        m.risponditore.premi(QMessageBox::Yes);
        m.risponditore.scrivi(valore.testo);
        premi(finestra, "Command1");
        dialoghi = QStringList{"Si sta tentando di modificare il prezzo di vendita del prodotto:\n"
                                   + CODICE + "\nContinuare?",
                               "Immettere il nuovo prezzo di vendita"};
    } else if (campo == QLatin1String("pezzi")) {
        m.risponditore.scrivi(valore.testo);
        doppioClic(finestra, 0);
        dialoghi = QStringList{"Aggiunta a carrello\nNumero di pezzi?"};
    } else {
        immetti(selettore(finestra)->lineEdit(), valore);
        QTest::keyClick(finestra.windowHandle(), Qt::Key_Return);
        QCOMPARE(selettore(finestra)->currentText(), INVITO);
        QCOMPARE(selettore(finestra)->count(), 1);
    }
    if (!messaggio.isEmpty())
        dialoghi << messaggio;

    QCOMPARE(m.risponditore.testi(), dialoghi);
    QCOMPARE(m.risponditore.rispostePendenti(), 0);
    if (!salvato.isValid()) {
        QVERIFY(byteDelFile(m.db.percorso()) == prima);
        QCOMPARE(griglia(finestra), elenco);
    } else if (campo == QLatin1String("prezzo")) {
        QCOMPARE(m.db.valore(QStringLiteral("SELECT prezzo FROM rimanenze")), salvato);
        QCOMPARE(griglia(finestra, 2).first(), QLocale(QLocale::Italian).toString(salvato.toInt()));
    } else {
        QCOMPARE(m.db.righe(QStringLiteral("SELECT codice, pezzi FROM carrello")),
                 QList<QVariantList>({{CODICE, salvato}}));
    }
}

QTEST_MAIN(TestImmissioniMagazzino)
#include "tst_immissioni_magazzino.moc"
