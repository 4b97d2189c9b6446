#include "data/database_routines.h"
#include "stock/AggCarrello_frm.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

// One planned answer: a button ("Si", "No"), a typed text ("=5"), or Cancel ("annulla").
using Risposte = QStringList;

class TestAggCarrello : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aperturaEScelta();
    void invioNeiTipiRicarica();
    void modifica_data();
    void modifica();
    void cancella_data();
    void cancella();
    void doppioClic_data();
    void doppioClic();

private:
    template <typename T>
    T *elemento(const char *nome) const
    {
        return finestra_->findChild<T *>(QLatin1String(nome));
    }
    QComboBox *tipo() const { return elemento<QComboBox>("Combo1"); }
    QTableView *griglia() const { return elemento<QTableView>("MSFlexGrid1"); }
    void apri();
    void scegliTipo(const QString &codiceTipo);
    void vaiARiga(int riga);
    QStringList celle() const;
    QStringList carrello() const;
    void pianifica(const Risposte &risposte);
    void controllaDialoghi() const;

    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
    RisponditoreDialoghi *risponditore_ = nullptr;
    AggCarrello_frm *finestra_ = nullptr;
};

namespace {

const QString DOMANDA_MODIFICA =
    QStringLiteral("Si sta tentando di modificare il prezzo di vendita del prodotto:\n%1\nContinuare?");
const QString DOMANDA_CANCELLA =
    QStringLiteral("Si sta tentando di cancellare il prodotto:\n%1\nContinuare?");
const QString NUOVO_PREZZO = QStringLiteral("Immettere il nuovo prezzo di vendita");
const QString PREZZO_ERRATO = QStringLiteral(
    "Il prezzo di vendita deve essere un numero intero da 0 a 2.147.483.647. Il prezzo non è stato"
    " modificato.");
const QString ESAURITO = QStringLiteral("Attenzione\nil prodotto selezionato è esaurito, continuare?");
const QString NON_DISPONIBILI =
    QStringLiteral("Attenzione\ni prodotti uscenti non sono disponibili, continuare?");
const QString NUMERO_PEZZI = QStringLiteral("Aggiunta a carrello\nNumero di pezzi?");
const QString PEZZI_ERRATI = QStringLiteral(
    "Il numero di pezzi deve essere compreso tra -32.768 e 32.767. Nulla è stato aggiunto al carrello.");
const QString NEGATIVO_O_NULLO =
    QStringLiteral("Attenzione\nIl numero di prodotti in carrello è negativo o nullo");

} // namespace

void TestAggCarrello::init()
{
    db_ = new DatabaseDiProva;
    registro_ = new RegistroRapporti;
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QVERIFY(AggiungiTipo(QStringLiteral("Dadi")));
    QVERIFY(AggiungiTipo(QStringLiteral("Chiodi")));
    db_->esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES"
                               " ('b-2', 1, 0, 1500), ('A-1', 1, 3, 1000), ('c-3', 1, -2, 0),"
                               " ('D-1', 2, 1234, 1234567)"));
    risponditore_ = new RisponditoreDialoghi;
}

void TestAggCarrello::cleanup()
{
    delete finestra_;
    finestra_ = nullptr;
    delete risponditore_;
    delete registro_;
    delete db_;
}

void TestAggCarrello::apri()
{
    finestra_ = new AggCarrello_frm;
    finestra_->show();
    QVERIFY(QTest::qWaitForWindowExposed(finestra_));
}

void TestAggCarrello::scegliTipo(const QString &codiceTipo)
{
    // As the user does: open the list and click the entry.
    QAbstractItemView *elenco = tipo()->view();
    tipo()->showPopup();
    QTRY_VERIFY(elenco->isVisible());
    const QRect voce = elenco->visualRect(tipo()->model()->index(tipo()->findText(codiceTipo), 0));
    QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, voce.center());
    QTRY_VERIFY(!elenco->isVisible());
}

void TestAggCarrello::vaiARiga(int riga)
{
    griglia()->setCurrentIndex(griglia()->model()->index(riga, 0));
}

QStringList TestAggCarrello::celle() const
{
    QStringList righe;
    const QAbstractItemModel *m = griglia()->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList riga;
        for (int c = 0; c < m->columnCount(); ++c)
            riga << m->index(r, c).data().toString();
        righe << riga.join(u'|');
    }
    return righe;
}

QStringList TestAggCarrello::carrello() const
{
    QStringList righe;
    for (const QVariantList &r : db_->righe(QStringLiteral(
             "SELECT codice, prezzo, pezzi, totale FROM carrello ORDER BY codice"))) {
        QStringList campi;
        for (const QVariant &v : r)
            campi << v.toString();
        righe << campi.join(u'|');
    }
    return righe;
}

void TestAggCarrello::pianifica(const Risposte &risposte)
{
    for (const QString &r : risposte) {
        if (r == QLatin1String("Si"))
            risponditore_->premi(QMessageBox::Yes);
        else if (r == QLatin1String("No"))
            risponditore_->premi(QMessageBox::No);
        else if (r == QLatin1String("annulla"))
            risponditore_->annulla();
        else
            risponditore_->scrivi(r.mid(1));
    }
}

void TestAggCarrello::controllaDialoghi() const
{
    for (const RisponditoreDialoghi::Dialogo &d : risponditore_->visti()) {
        QCOMPARE(d.titolo, QStringLiteral("Vorendi"));
        QCOMPARE(d.icona, QMessageBox::NoIcon);
        if (d.inserimento)
            continue;
        const bool domanda = d.testo.endsWith(QLatin1Char('?'));
        QCOMPARE(d.pulsanti, domanda ? QMessageBox::Yes | QMessageBox::No
                                     : QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QCOMPARE(risponditore_->rispostePendenti(), 0);
}

void TestAggCarrello::aperturaEScelta()
{
    apri();
    QCOMPARE(finestra_->windowTitle(), QStringLiteral("Visualizzazione Prodotti Rimanenti"));
    QCOMPARE(elemento<QLabel>("Label1")->text(), QStringLiteral("Seleziona per Tipi"));
    QCOMPARE(elemento<QPushButton>("Command1")->text(), QStringLiteral("Modifica"));
    QCOMPARE(elemento<QPushButton>("Command2")->text(), QStringLiteral("Cancella"));
    QCOMPARE(tipo()->currentIndex(), -1);
    QCOMPARE(tipo()->currentText(), QStringLiteral(">>> Seleziona TIPO <<<"));
    QCOMPARE(tipo()->count(), 3);
    QCOMPARE(tipo()->itemText(0), QStringLiteral("Chiodi"));
    const QAbstractItemModel *m = griglia()->model();
    QStringList intestazioni;
    for (int c = 0; c < m->columnCount(); ++c)
        intestazioni << m->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(intestazioni, QStringList({"Codice", "Tipo", "Prezzo", "q.tà"}));
    QCOMPARE(celle(), QStringList{"|||"});

    // Code order; 0 shows as an empty cell, a negative figure with its minus.
    scegliTipo(QStringLiteral("Viti"));
    QCOMPARE(celle(), QStringList({"A-1|Viti|1.000|3", "b-2|Viti|1.500|", "c-3|Viti||-2", "|||"}));
    QCOMPARE(griglia()->currentIndex().row(), 2);
    scegliTipo(QStringLiteral("Dadi"));
    QCOMPARE(celle(), QStringList({"D-1|Dadi|1.234.567|1.234", "|||"}));
    scegliTipo(QStringLiteral("Chiodi"));
    QCOMPARE(celle(), QStringList{"|||"});
    QVERIFY(risponditore_->visti().isEmpty());
    QVERIFY(registro_->rapporti().isEmpty());
}

void TestAggCarrello::invioNeiTipiRicarica()
{
    apri();
    scegliTipo(QStringLiteral("Dadi"));
    QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
    QCOMPARE(tipo()->count(), 3);

    // Through the window, to whichever widget has the focus.
    QTest::mouseClick(tipo()->lineEdit(), Qt::LeftButton);
    QTest::keyClick(finestra_->windowHandle(), Qt::Key_Return);

    QCOMPARE(tipo()->count(), 4);
    QCOMPARE(tipo()->itemText(0), QStringLiteral("Bulloni"));
    QCOMPARE(tipo()->currentText(), QStringLiteral(">>> Seleziona TIPO <<<"));
    QCOMPARE(celle(), QStringList({"D-1|Dadi|1.234.567|1.234", "|||"}));
}

void TestAggCarrello::modifica_data()
{
    QTest::addColumn<int>("riga");
    QTest::addColumn<Risposte>("risposte");
    QTest::addColumn<bool>("bloccato");
    QTest::addColumn<QStringList>("dialoghi");
    QTest::addColumn<qint64>("prezzo"); // of A-1 in the file
    QTest::addColumn<QString>("cella");

    const QString domanda = DOMANDA_MODIFICA.arg(QStringLiteral("A-1"));
    const QStringList chiesto{domanda, NUOVO_PREZZO};
    const QStringList rifiutato{domanda, NUOVO_PREZZO, PREZZO_ERRATO};
    QTest::newRow("Si") << 0 << Risposte{"Si", "=2500"} << false << chiesto << qint64(2500)
                        << "2.500";
    QTest::newRow("raggruppato al limite")
        << 0 << Risposte{"Si", "=2.147.483.647"} << false << chiesto << qint64(2147483647)
        << "2.147.483.647";
    QTest::newRow("No") << 0 << Risposte{"No"} << false << QStringList{domanda} << qint64(1000)
                        << "1.000";
    QTest::newRow("annullato") << 0 << Risposte{"Si", "annulla"} << false << chiesto
                               << qint64(1000) << "1.000";
    QTest::newRow("vuoto") << 0 << Risposte{"Si", "=  "} << false << chiesto << qint64(1000)
                           << "1.000";
    QTest::newRow("non un numero") << 0 << Risposte{"Si", "=mille"} << false << rifiutato
                                   << qint64(1000) << "1.000";
    QTest::newRow("oltre 32 bit") << 0 << Risposte{"Si", "=2147483648"} << false << rifiutato
                                  << qint64(1000) << "1.000";
    QTest::newRow("riga vuota") << 3 << Risposte{"Si"} << false
                                << QStringList{DOMANDA_MODIFICA.arg(QString())} << qint64(1000)
                                << "";
    QTest::newRow("scrittura fallita") << 0 << Risposte{"Si", "=2500"} << true << chiesto
                                       << qint64(1000) << "1.000";
}

void TestAggCarrello::modifica()
{
    QFETCH(int, riga);
    QFETCH(Risposte, risposte);
    QFETCH(bool, bloccato);
    QFETCH(QStringList, dialoghi);
    QFETCH(qint64, prezzo);
    QFETCH(QString, cella);
    if (bloccato) {
        db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE UPDATE ON rimanenze"
                                   " BEGIN SELECT RAISE(ABORT, 'scorte bloccate'); END"));
    }
    apri();
    scegliTipo(QStringLiteral("Viti"));
    vaiARiga(riga);
    pianifica(risposte);

    QTest::mouseClick(elemento<QPushButton>("Command1"), Qt::LeftButton);

    QCOMPARE(risponditore_->testi(), dialoghi);
    controllaDialoghi();
    QCOMPARE(db_->valore(QStringLiteral("SELECT prezzo FROM rimanenze WHERE codice='A-1'")).toLongLong(),
             prezzo);
    QCOMPARE(griglia()->model()->index(riga, 2).data().toString(), cella);
    QCOMPARE(db_->valore(QStringLiteral("SELECT SUM(prezzo) FROM rimanenze WHERE codice<>'A-1'"))
                 .toLongLong(),
             qint64(1500 + 1234567));
    QCOMPARE(registro_->zone(), bloccato ? QList<int>{21} : QList<int>{});
}

void TestAggCarrello::cancella_data()
{
    QTest::addColumn<int>("riga");
    QTest::addColumn<QString>("risposta");
    QTest::addColumn<bool>("bloccato");
    QTest::addColumn<QString>("codiceChiesto");
    QTest::addColumn<QStringList>("codiciInGriglia");
    QTest::addColumn<QStringList>("codiciNelFile");

    const QStringList tutti{"A-1", "b-2", "c-3", "D-1"};
    QTest::newRow("Si") << 1 << "Si" << false << "b-2" << QStringList{"A-1", "c-3", ""}
                        << QStringList{"A-1", "c-3", "D-1"};
    QTest::newRow("No") << 1 << "No" << false << "b-2" << QStringList{"A-1", "b-2", "c-3", ""}
                        << tutti;
    QTest::newRow("riga vuota") << 3 << "Si" << false << "" << QStringList{"A-1", "b-2", "c-3", ""}
                                << tutti;
    QTest::newRow("cancellazione fallita") << 1 << "Si" << true << "b-2"
                                           << QStringList{"A-1", "b-2", "c-3", ""} << tutti;
}

void TestAggCarrello::cancella()
{
    QFETCH(int, riga);
    QFETCH(QString, risposta);
    QFETCH(bool, bloccato);
    QFETCH(QString, codiceChiesto);
    QFETCH(QStringList, codiciInGriglia);
    QFETCH(QStringList, codiciNelFile);
    if (bloccato) {
        db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE DELETE ON rimanenze"
                                   " BEGIN SELECT RAISE(ABORT, 'scorte bloccate'); END"));
    }
    apri();
    scegliTipo(QStringLiteral("Viti"));
    vaiARiga(riga);
    pianifica({risposta});

    QTest::mouseClick(elemento<QPushButton>("Command2"), Qt::LeftButton);

    QCOMPARE(risponditore_->testi(), QStringList{DOMANDA_CANCELLA.arg(codiceChiesto)});
    controllaDialoghi();
    QStringList inGriglia;
    for (int r = 0; r < griglia()->model()->rowCount(); ++r)
        inGriglia << griglia()->model()->index(r, 0).data().toString();
    QCOMPARE(inGriglia, codiciInGriglia);
    QStringList nelFile;
    for (const QVariantList &r : db_->righe(QStringLiteral("SELECT codice FROM rimanenze ORDER BY codice")))
        nelFile << r.first().toString();
    QCOMPARE(nelFile, codiciNelFile);
    QCOMPARE(registro_->zone(), bloccato ? QList<int>{20} : QList<int>{});
}

void TestAggCarrello::doppioClic_data()
{
    QTest::addColumn<int>("riga"); // Viti: A-1 3 pieces, b-2 none, c-3 -2, then the empty row
    QTest::addColumn<int>("giaInCarrello"); // pieces of A-1 in the cart before
    QTest::addColumn<Risposte>("risposte");
    QTest::addColumn<QStringList>("dialoghi");
    QTest::addColumn<QStringList>("righeCarrello"); // codice|prezzo|pezzi|totale

    QTest::newRow("bastano") << 0 << 0 << Risposte{"=3"} << QStringList{NUMERO_PEZZI}
                             << QStringList{"A-1|1000|3|3000"};
    QTest::newRow("non bastano, Si") << 0 << 0 << Risposte{"=5", "Si"}
                                     << QStringList{NUMERO_PEZZI, NON_DISPONIBILI}
                                     << QStringList{"A-1|1000|5|5000"};
    QTest::newRow("non bastano, No") << 0 << 0 << Risposte{"=5", "No"}
                                     << QStringList{NUMERO_PEZZI, NON_DISPONIBILI} << QStringList{};
    QTest::newRow("annullato") << 0 << 0 << Risposte{"annulla"} << QStringList{NUMERO_PEZZI}
                               << QStringList{};
    // Leading number, halves to even: 3.5 is 4, more than the 3 on hand.
    QTest::newRow("pari per eccesso") << 0 << 0 << Risposte{"=3.5", "Si"}
                                      << QStringList{NUMERO_PEZZI, NON_DISPONIBILI}
                                      << QStringList{"A-1|1000|4|4000"};
    QTest::newRow("oltre 16 bit") << 0 << 0 << Risposte{"=40000"}
                                  << QStringList{NUMERO_PEZZI, PEZZI_ERRATI} << QStringList{};
    QTest::newRow("esaurito, No") << 1 << 0 << Risposte{"No"} << QStringList{ESAURITO}
                                  << QStringList{};
    QTest::newRow("esaurito, Si") << 1 << 0 << Risposte{"Si", "=2"}
                                  << QStringList{ESAURITO, NUMERO_PEZZI}
                                  << QStringList{"b-2|1500|2|3000"};
    QTest::newRow("esaurito, annullato") << 1 << 0 << Risposte{"Si", "annulla"}
                                         << QStringList{ESAURITO, NUMERO_PEZZI} << QStringList{};
    QTest::newRow("scorta negativa") << 2 << 0 << Risposte{"Si", "=1"}
                                     << QStringList{ESAURITO, NUMERO_PEZZI}
                                     << QStringList{"c-3|0|1|0"};
    QTest::newRow("riga vuota") << 3 << 0 << Risposte{"Si", "=2"}
                                << QStringList{ESAURITO, NUMERO_PEZZI} << QStringList{};
    QTest::newRow("sotto uno, prima aggiunta") << 0 << 0 << Risposte{"=-1"}
                                               << QStringList{NUMERO_PEZZI, NEGATIVO_O_NULLO}
                                               << QStringList{};
    // Only the stock on hand counts, not what the cart holds already.
    QTest::newRow("riga esistente sommata") << 0 << 2 << Risposte{"=3"}
                                            << QStringList{NUMERO_PEZZI}
                                            << QStringList{"A-1|1000|5|5000"};
}

void TestAggCarrello::doppioClic()
{
    QFETCH(int, riga);
    QFETCH(int, giaInCarrello);
    QFETCH(Risposte, risposte);
    QFETCH(QStringList, dialoghi);
    QFETCH(QStringList, righeCarrello);
    if (giaInCarrello)
        QCOMPARE(AggiungiCarrello(QStringLiteral("A-1"), qint16(giaInCarrello)), EsitoCarrello::Aggiunto);
    apri();
    scegliTipo(QStringLiteral("Viti"));
    pianifica(risposte);

    // The first click of a double-click comes as a click of its own.
    const QPoint cella = griglia()->visualRect(griglia()->model()->index(riga, 0)).center();
    QTest::mouseClick(griglia()->viewport(), Qt::LeftButton, {}, cella);
    QTest::mouseDClick(griglia()->viewport(), Qt::LeftButton, {}, cella);

    QCOMPARE(risponditore_->testi(), dialoghi);
    controllaDialoghi();
    QCOMPARE(carrello(), righeCarrello);
    QVERIFY(registro_->rapporti().isEmpty());
    // The stock itself waits for the checkout.
    QCOMPARE(celle().first(), QStringLiteral("A-1|Viti|1.000|3"));
}

QTEST_MAIN(TestAggCarrello)
#include "tst_AggCarrello_frm.moc"
