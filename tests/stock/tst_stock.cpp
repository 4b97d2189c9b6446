#include "data/database_routines.h"
#include "stock/AggCarrello_frm.h"
#include "stock/Prodotto_frm.h"
#include "stock/VisTipi_frm.h"
#include "support/banco.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace {

const QString INVITO = QStringLiteral(">>> Seleziona TIPO <<<");
const QString PEZZI = QStringLiteral("Il numero di pezzi deve essere compreso tra -32.768 e 32.767.");
const QString CHIESTI = QStringLiteral("Aggiunta a carrello\nNumero di pezzi?");
const QString ESAURITO = QStringLiteral("Attenzione\nil prodotto selezionato è esaurito, continuare?");
const char *const CAMPI[] = {"Text1", "Text2", "Text4", "Text3"}; // code, purchase, sale, pieces

QString domanda(const char *cosa, const QString &codice)
{
    return QStringLiteral("Si sta tentando di %1 prodotto:\n%2\nContinuare?").arg(cosa, codice);
}

QStringList campi(const QWidget &f)
{
    QStringList t{elemento<QComboBox>(f, "Combo1")->currentText()};
    for (const char *nome : CAMPI)
        t << elemento(f, nome)->text();
    return t;
}

// Enter in the type list reads the types again.
void invioNeiTipi(const QWidget &f)
{
    QTest::mouseClick(elemento<QComboBox>(f, "Combo1")->lineEdit(), Qt::LeftButton);
    QTest::keyClick(f.windowHandle(), Qt::Key_Return);
}

// A command on a row (a button, or a double-click when empty), the answers
// planned, the boxes expected, and what changed ("zona N" for a report).
struct Comando
{
    QString pulsante;
    int riga;
    QStringList risposte, dialoghi;
    QString dopo = {};
};

} // namespace

Q_DECLARE_METATYPE(Comando)

class TestStock : public QObject
{
    Q_OBJECT

private slots:
    void salva_data()
    {
        QTest::addColumn<QStringList>("valori"); // type, code, purchase, sale, pieces
        QTest::addColumn<QStringList>("risposte");
        QTest::addColumn<QStringList>("messaggi");
        QTest::addColumn<QVariantList>("registrato"); // purchase, sale, pieces; empty: nothing
        const auto con = [](int i, const char *valore) {
            QStringList v{"Bulloni", "M8-Z", "1.234.567", "2.000.000", "5"};
            v[i] = QString::fromUtf8(valore);
            return v;
        };
        const QString vuoto = "Il prezzo di %1 è vuoto: registrare il prezzo 0?";
        const QString prezzo = "Il prezzo di vendita deve essere un numero intero da 0 a 2.147.483.647.";
        const QStringList nessuna, ok{"Ok"};
        QTest::newRow("pezzi al pari") << con(4, "2.5") << nessuna << nessuna << QVariantList{1234567, 2000000, 2};
        QTest::newRow("pezzi vuoti") << con(4, "") << QStringList{"Si"}
                                     << QStringList{"Il numero di pezzi è vuoto: registrare solo i prezzi?"}
                                     << QVariantList{1234567, 2000000, 0};
        QTest::newRow("nessun tipo") << con(0, "") << ok << QStringList{"Scegliere il tipo dell'articolo."}
                                     << QVariantList{};
        QTest::newRow("codice di spazi") << con(1, " ") << ok << QStringList{"Scrivere il codice dell'articolo."}
                                         << QVariantList{};
        QTest::newRow("vendita non intera") << con(3, "12,5") << ok << QStringList{prezzo} << QVariantList{};
        QTest::newRow("pezzi oltre 16 bit") << con(4, "40000") << ok << QStringList{PEZZI} << QVariantList{};
        // An empty price is asked about, No the default.
        QTest::newRow("acquisto vuoto, Si") << con(2, "") << QStringList{"Si"} << QStringList{vuoto.arg("acquisto")}
                                            << QVariantList{0, 2000000, 5};
        QTest::newRow("vuoti, Si e No") << con(3, "").replaceInStrings("1.234.567", "") << QStringList{"Si", "No"}
                                        << QStringList{vuoto.arg("acquisto"), vuoto.arg("vendita")} << QVariantList{};
        QTest::newRow("rimanenza non scritta") << con(1, "BLOCCA") << nessuna << nessuna << QVariantList{};
    }

    void salva()
    {
        QFETCH(QStringList, valori);
        QFETCH(QStringList, risposte);
        QFETCH(QStringList, messaggi);
        QFETCH(QVariantList, registrato);
        Banco b;
        QVERIFY(AggiungiTipo("Viti") && AggiungiTipo("Bulloni"));
        b.esegui("CREATE TRIGGER blocca BEFORE INSERT ON rimanenze WHEN NEW.codice = 'BLOCCA'"
                 " BEGIN SELECT RAISE(ABORT, 'no'); END");
        Prodotto_frm f;
        scegli(f, valori[0]);
        for (int i = 0; i < 4; ++i)
            elemento(f, CAMPI[i])->setText(valori[i + 1]);
        const QStringList prima = campi(f);
        b.rispondi(risposte);
        premi(f, "Command1");
        QCOMPARE(b.testi(), messaggi);
        for (const Banco::Dialogo &d : b.visti)
            QCOMPARE(d.predefinito, d.testo.endsWith(u'?') ? QMessageBox::No : QMessageBox::NoButton);
        QCOMPARE(b.zone(), valori[1] == "BLOCCA" ? QList<int>{4} : QList<int>{});
        QCOMPARE(campi(f), registrato.isEmpty() ? prima : QStringList({INVITO, "", "", "", ""}));
        QCOMPARE(b.righe("SELECT tipo, codice, prezzoacquisto, prezzovendita, pezzi, operazione FROM prodotto"),
                 registrato.isEmpty() ? QList<QVariantList>{}
                                      : QList<QVariantList>({QVariantList{2, "M8-Z"} + registrato + QVariantList{1}}));
        QCOMPARE(b.valore("SELECT pezzi FROM rimanenze"), registrato.value(2));
    }

    // Code order; 0 an empty cell, a negative figure with its minus; Enter
    // in the type list reads the types again and leaves the grid.
    void rimanenze()
    {
        Banco b;
        for (const char *codice : {"Viti", "Dadi", "Chiodi"})
            QVERIFY(AggiungiTipo(codice));
        b.esegui("INSERT INTO rimanenze VALUES ('b-2', 1, 0, 1500), ('A-1', 1, 3, 1000), ('c-3', 1, -2, 0),"
                 " ('D-1', 2, 1234, 1234567)");
        AggCarrello_frm f;
        QVERIFY(mostra(f));
        scegliDalMenu(f, "Viti");
        QCOMPARE(griglia(f), QStringList({"A-1|Viti|1.000|3", "b-2|Viti|1.500|", "c-3|Viti||-2", "|||"}));
        QCOMPARE(elemento<QTableView>(f, "MSFlexGrid1")->currentIndex().row(), 2);
        scegliDalMenu(f, "Chiodi");
        QCOMPARE(griglia(f), QStringList{"|||"});
        scegliDalMenu(f, "Dadi");
        QVERIFY(AggiungiTipo("Bulloni"));
        invioNeiTipi(f);
        QCOMPARE(elemento<QComboBox>(f, "Combo1")->itemText(0) + u'|' + elemento<QComboBox>(f, "Combo1")->currentText(),
                 "Bulloni|" + INVITO);
        QCOMPARE(griglia(f), QStringList({"D-1|Dadi|1.234.567|1.234", "|||"}));
        QVERIFY(b.rapporti.isEmpty());
    }

    // TrovaCodice lists, across types, the codes that hold the text, literally
    // and whatever the case; a scanned code and Enter go to the pieces
    // question; a type chosen lists that type again.
    void trovaCodice()
    {
        Banco b;
        QVERIFY(AggiungiTipo("Viti") && AggiungiTipo("Colle"));
        b.esegui("INSERT INTO rimanenze VALUES ('VT-6', 1, 10, 1500), ('vt-60', 2, 1, 20), ('A%B', 1, 1, 1),"
                 " ('AxB', 1, 1, 1), ('A_C', 2, 1, 1), ('ZVt', 9, 1, 1)");
        AggCarrello_frm f;
        QVERIFY(mostra(f));
        QLineEdit *trova = elemento(f, "TrovaCodice");
        for (const auto &[testo, righe] : QList<std::pair<QString, QStringList>>{
                 {"Vt", {"VT-6|Viti|1.500|10", "vt-60|Colle|20|1", "ZVt||1|1", "|||"}},
                 {"%", {"A%B|Viti|1|1", "|||"}}, {"_", {"A_C|Colle|1|1", "|||"}}, {"", {"|||"}}}) {
            trova->clear();
            QTest::keyClicks(trova, testo);
            QCOMPARE(griglia(f), righe);
        }
        b.rispondi({"=2"});
        QTest::keyClicks(trova, "vt-6");
        QTest::keyClick(trova, Qt::Key_Return);
        QCOMPARE(b.testi(), QStringList{CHIESTI});
        QCOMPARE(b.righe("SELECT codice, pezzi FROM carrello"), QList<QVariantList>({{"VT-6", 2}}));
        // Tab goes from the search to the grid, then to its commands.
        QStringList ordine;
        for (QWidget *w = trova; ordine.size() < 4; w = w->nextInFocusChain()) {
            if (w->focusPolicy() & Qt::TabFocus)
                ordine << w->objectName();
        }
        QCOMPARE(ordine, QStringList({"TrovaCodice", "MSFlexGrid1", "Command1", "Command2"}));
        scegliDalMenu(f, "Colle");
        QCOMPARE(trova->text() + griglia(f).join(u';'), "A_C|Colle|1|1;vt-60|Colle|20|1;|||");
        QVERIFY(b.rapporti.isEmpty());
    }

    // Rows: A-1 3 pieces at 1.000, b-2 none, c-3 -2, the empty row.
    void comandi_data()
    {
        QTest::addColumn<Comando>("c");
        const QString modifica = domanda("modificare il prezzo di vendita del", "A-1");
        const QStringList chiesto{modifica, "Immettere il nuovo prezzo di vendita"};
        const QStringList cancella{domanda("cancellare il", "b-2")};
        const QStringList troppi{CHIESTI, "Attenzione\ni prodotti uscenti non sono disponibili, continuare?"};
        const QString prezzo = "Il prezzo di vendita deve essere un numero intero da 0 a 2.147.483.647.";
        const QList<std::pair<const char *, Comando>> casi = {
            {"Modifica, Si", {"Command1", 0, {"Si", "=2.500"}, chiesto, "A-1|Viti|2.500|3"}},
            {"Modifica, No", {"Command1", 0, {"No"}, {modifica}}},
            {"Modifica, annullata", {"Command1", 0, {"Si", "annulla=2.500"}, chiesto}},
            {"Modifica, non un numero", {"Command1", 0, {"Si", "=mille", "Ok"},
                                         chiesto + QStringList{prezzo + " Il prezzo non è stato modificato."}}},
            {"Modifica, riga vuota", {"Command1", 3, {"Si"}, {domanda("modificare il prezzo di vendita del", "")}}},
            {"Modifica fallita", {"Command1", 0, {"Si", "=4"}, chiesto, "zona 21"}},
            {"Cancella, Si", {"Command2", 1, {"Si"}, cancella, "-"}},
            {"Cancella, No", {"Command2", 1, {"No"}, cancella}},
            {"Cancella, riga vuota", {"Command2", 3, {"Si"}, {domanda("cancellare il", "")}}},
            {"Cancella fallita", {"Command2", 2, {"Si"}, {domanda("cancellare il", "c-3")}, "zona 20"}},
            {"bastano", {"", 0, {"=3"}, {CHIESTI}, "A-1|1000|3|3000"}},
            {"non bastano, Si", {"", 0, {"=5", "Si"}, troppi, "A-1|1000|5|5000"}},
            {"non bastano, No", {"", 0, {"=5", "No"}, troppi}},
            {"annullato", {"", 0, {"annulla=2"}, {CHIESTI}}},
            {"zero", {"", 0, {"=0"}, {CHIESTI}}},
            {"senza cifre", {"", 0, {"=abc"}, {CHIESTI}}},
            {"oltre 16 bit", {"", 0, {"=40000", "Ok"}, {CHIESTI, PEZZI + " Nulla è stato aggiunto al carrello."}}},
            {"sotto uno", {"", 0, {"=-1", "Ok"}, {CHIESTI, "Attenzione\nIl numero di prodotti in carrello è negativo o nullo"}}},
            {"esaurito, No", {"", 1, {"No"}, {ESAURITO}}},
            {"esaurito, Si", {"", 1, {"Si", "=2"}, {ESAURITO, CHIESTI}, "b-2|1500|2|3000"}},
            {"scorta negativa", {"", 2, {"Si", "=1"}, {ESAURITO, CHIESTI}, "c-3|0|1|0"}},
            {"riga vuota", {"", 3, {"Si", "=2"}, {ESAURITO, CHIESTI}}},
        };
        for (const auto &[nome, caso] : casi)
            QTest::newRow(nome) << caso;
    }

    void comandi()
    {
        QFETCH(Comando, c);
        Banco b;
        QVERIFY(AggiungiTipo("Viti"));
        b.esegui("INSERT INTO rimanenze VALUES ('b-2', 1, 0, 1500), ('A-1', 1, 3, 1000), ('c-3', 1, -2, 0)");
        b.esegui("CREATE TRIGGER b1 BEFORE UPDATE ON rimanenze WHEN NEW.prezzo = 4 BEGIN SELECT RAISE(ABORT, ''); END");
        b.esegui("CREATE TRIGGER b2 BEFORE DELETE ON rimanenze WHEN OLD.pezzi < 0 BEGIN SELECT RAISE(ABORT, ''); END");
        AggCarrello_frm f;
        QVERIFY(mostra(f));
        scegliDalMenu(f, "Viti");
        QStringList righe{"A-1|Viti|1.000|3", "b-2|Viti|1.500|", "c-3|Viti||-2", "|||"};
        const QByteArray prima = b.byte();
        b.rispondi(c.risposte);
        vaiARiga(f, c.riga);
        if (c.pulsante.isEmpty())
            doppioClic(f, c.riga);
        else
            premi(f, qPrintable(c.pulsante));
        QCOMPARE(b.testi(), c.dialoghi);
        // A question that deletes, or sells what is not there, has No as its default.
        QVERIFY(c.pulsante != "Command2" || b.visti.first().predefinito == QMessageBox::No);
        for (const Banco::Dialogo &d : b.visti)
            QVERIFY(!d.testo.contains("non sono disponibili") || d.predefinito == QMessageBox::No);
        QCOMPARE(b.zone(), c.dopo.startsWith("zona") ? QList<int>{c.dopo.mid(5).toInt()} : QList<int>{});
        if (c.dopo == "-")
            righe.removeAt(1);
        if (c.pulsante == "Command1" && c.dopo.startsWith("A-1"))
            righe[0] = c.dopo;
        QCOMPARE(griglia(f), righe);
        scegliDalMenu(f, "Viti");
        QCOMPARE(griglia(f), righe); // as the file holds them
        QCOMPARE(b.valore("SELECT group_concat(codice||'|'||prezzo||'|'||pezzi||'|'||totale) FROM carrello")
                     .toString(), c.pulsante.isEmpty() ? c.dopo : QString());
        QVERIFY2(!c.dopo.isEmpty() || b.byte() == prima, "nothing to change, yet the file changed");
    }

    // Types: added without blanks at the ends, refused blank or equal to
    // one there, deleted unless in use.
    void tipi_data()
    {
        QTest::addColumn<Comando>("c"); // riga: Bulloni, Viti, the empty row; dopo: what was typed
        const QString vitiViaTutti = "Si sta tentando di cancellare il tipo:\nViti\nContinuare?";
        const QList<std::pair<const char *, Comando>> casi = {
            {"aggiunto senza gli spazi ai lati", {"Command3", 0, {}, {}, " L'uno "}},
            {"aggiunto con Invio", {"Invio", 0, {}, {}, "Dadi"}},
            {"codice uguale", {"Command3", 0, {"Ok"}, {"Il tipo bulloni esiste già."}, "bulloni"}},
            {"aggiunta fallita", {"Command3", 0, {}, {}, "BLOCCA"}},
            {"descrizione vuota", {"Command3", 0, {"Ok"}, {"Scrivere la descrizione del tipo."}, "   "}},
            {"Cancella, Si", {"Command2", 1, {"Si"}, {vitiViaTutti}}},
            {"Cancella, No", {"Command2", 1, {"No"}, {vitiViaTutti}}},
            {"Cancella, riga vuota", {"Command2", 2, {}, {}}},
            {"Cancella fallita", {"Command2", 0, {"Si"}, {"Si sta tentando di cancellare il tipo:\nBulloni\nContinuare?"},
                                  "fallita"}},
            {"Cancella, tipo in uso", {"Command2", 1, {"Si", "Ok"}, {vitiViaTutti, "Il tipo Viti non può essere cancellato:"
                                       " è usato da un articolo in magazzino o nel carrello."}, "uso"}},
        };
        for (const auto &[nome, caso] : casi)
            QTest::newRow(nome) << caso;
    }

    void tipi()
    {
        QFETCH(Comando, c);
        Banco b;
        QVERIFY(AggiungiTipo("Viti") && AggiungiTipo("Bulloni"));
        b.esegui("CREATE TRIGGER b BEFORE INSERT ON tipo WHEN NEW.codice = 'BLOCCA' BEGIN SELECT RAISE(ABORT, ''); END");
        const bool uso = c.dopo == "uso", aggiunto = c.pulsante != "Command2" && c.dialoghi.isEmpty() && c.dopo != "BLOCCA";
        if (uso)
            b.esegui("INSERT INTO rimanenze (codice, tipo) VALUES ('V1', 1)");
        if (c.dopo == "fallita")
            b.esegui("CREATE TRIGGER c BEFORE DELETE ON tipo BEGIN SELECT RAISE(ABORT, ''); END");
        VisTipi_frm f;
        QTest::keyClicks(elemento(f, "Text1"), uso ? "" : c.dopo);
        vaiARiga(f, c.riga);
        b.rispondi(c.risposte);
        if (c.pulsante == "Invio")
            QTest::keyClick(elemento(f, "Text1"), Qt::Key_Return);
        else
            premi(f, qPrintable(c.pulsante));
        QCOMPARE(b.testi(), c.dialoghi);
        // The description first, the list last.
        QCOMPARE(elemento(f, "Text1")->nextInFocusChain()->objectName(), "Command3");
        QCOMPARE(elemento<QWidget>(f, "Command1")->nextInFocusChain()->objectName(), "MSFlexGrid1");
        QVERIFY(c.pulsante != "Command2" || c.dialoghi.isEmpty() || b.visti.first().predefinito == QMessageBox::No);
        QStringList righe{" 2|Bulloni", " 1|Viti", "|"};
        if (aggiunto)
            righe.insert(1, " 3|" + c.dopo.trimmed());
        if (c.risposte == QStringList{"Si"} && c.riga == 1 && !uso)
            righe.removeAt(1);
        QCOMPARE(griglia(f), righe);
        premi(f, "Command1");
        QCOMPARE(griglia(f), righe);
        QCOMPARE(elemento(f, "Text1")->text(), aggiunto || uso ? QString() : c.dopo);
        QCOMPARE(b.zone(), c.dopo == "BLOCCA" ? QList<int>{2} : c.dopo == "fallita" ? QList<int>{6} : QList<int>{});
    }
};

QTEST_MAIN(TestStock)
#include "tst_stock.moc"
