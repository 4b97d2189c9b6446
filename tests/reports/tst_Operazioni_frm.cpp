#include "common/formati.h"
#include "reports/Operazioni_frm.h"
#include "shell/MDIVorendi.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

const QString INVITO_TIPO = QStringLiteral(">>> Seleziona TIPO <<<");
const QString DATA_NON_CORRETTA =
    QStringLiteral("Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA");
const QStringList VUOTA = {"", "", "", "", "", "", ""};

using Righe = QList<QStringList>;

void tipo(const DatabaseDiProva &db, qint64 id, const QString &codice)
{
    db.esegui(QStringLiteral("INSERT INTO tipo (id, codice) VALUES (?, ?)"), {id, codice});
}

void movimento(const DatabaseDiProva &db, qint64 id, qint64 idTipo, const QString &codice,
               qint64 vendita, qint64 acquisto, qint64 pezzi, int operazione, const QString &iso)
{
    db.esegui(QStringLiteral("INSERT INTO prodotto (id, tipo, codice, prezzovendita,"
                             " prezzoacquisto, pezzi, operazione, dataop)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
              {id, idTipo, codice, vendita, acquisto, pezzi, operazione, iso});
}

// Out of order on purpose; type 4 was deleted after its movement.
void riempi(const DatabaseDiProva &db)
{
    tipo(db, 1, "Viti");
    tipo(db, 2, "Bulloni");
    tipo(db, 3, "Dadi 'M8'");
    movimento(db, 1, 1, "V-200", 1500, 800, 10, 1, "2000-12-31");
    movimento(db, 2, 2, "B-10", 300, 120, 100, 1, "2000-01-01");
    movimento(db, 3, 2, "V-100", 1200, 700, 5, 1, "2000-12-31");
    movimento(db, 4, 3, "D'8", 50, 20, 1000, 1, "2000-12-31");
    movimento(db, 5, 4, "X-1", 999, 500, 2, 1, "2000-06-15");
    movimento(db, 6, 1, "V-100", 1200, 0, -3, 2, "2000-12-31");
    movimento(db, 7, 2, "B-10", 300, 0, -7, 2, "2001-02-03");
    movimento(db, 9, 1, "V-100", 2000, 1000, 1, 1, "2000-12-31");
}

// The cells each movement of riempi() shows.
const QStringList M1 = {"1", "31/12/2000", "V-200", "Viti", "800", "1.500", "10"};
const QStringList M2 = {"2", "01/01/2000", "B-10", "Bulloni", "120", "300", "100"};
const QStringList M3 = {"3", "31/12/2000", "V-100", "Bulloni", "700", "1.200", "5"};
const QStringList M4 = {"4", "31/12/2000", "D'8", "Dadi 'M8'", "20", "50", "1000"};
const QStringList M5 = {"5", "15/06/2000", "X-1", "", "500", "999", "2"};
const QStringList M6 = {"6", "31/12/2000", "V-100", "Viti", "", "1.200", "-3"};
const QStringList M7 = {"7", "03/02/2001", "B-10", "Bulloni", "", "300", "-7"};
const QStringList M9 = {"9", "31/12/2000", "V-100", "Viti", "1.000", "2.000", "1"};

template <typename T>
T *elemento(QWidget &f, const char *nome)
{
    T *trovato = f.findChild<T *>(nome);
    if (!trovato)
        qFatal("elemento %s non trovato", nome);
    return trovato;
}

Righe celle(Operazioni_frm &f)
{
    const QAbstractItemModel *m = elemento<QTableView>(f, "MSFlexGrid1")->model();
    Righe righe;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList riga;
        for (int c = 0; c < m->columnCount(); ++c)
            riga.append(m->index(r, c).data().toString());
        righe.append(riga);
    }
    return righe;
}

// Elementi, sales total, purchases total as shown.
QStringList etichette(Operazioni_frm &f)
{
    return {elemento<QLabel>(f, "Label1")->text(), elemento<QLabel>(f, "Label2")->text(),
            elemento<QLabel>(f, "Label8")->text()};
}

void premi(Operazioni_frm &f, const char *nome)
{
    elemento<QPushButton>(f, nome)->click();
}

// Chooses the filters as the user would and presses "Aggiorna"; -1 leaves
// the kind unchosen, an empty type leaves the type list as it is. A type
// that is not an entry as written is typed in.
void aggiorna(Operazioni_frm &f, int operazione, const QString &codiceTipo, const QString &giorno)
{
    auto *tipi = elemento<QComboBox>(f, "Combo1");
    if (const int indice = tipi->findText(codiceTipo); indice >= 0 && !codiceTipo.isEmpty())
        tipi->setCurrentIndex(indice);
    else if (!codiceTipo.isEmpty())
        tipi->setEditText(codiceTipo);
    elemento<QComboBox>(f, "Combo2")->setCurrentIndex(operazione);
    elemento<QLineEdit>(f, "Text1")->setText(giorno);
    premi(f, "Command1");
}

void vaiAllaRiga(Operazioni_frm &f, int riga)
{
    auto *griglia = elemento<QTableView>(f, "MSFlexGrid1");
    griglia->setCurrentIndex(griglia->model()->index(riga, 0));
}

QList<qint64> idSalvati(const DatabaseDiProva &db)
{
    QList<qint64> id;
    for (const QVariantList &r : db.righe("SELECT id FROM prodotto ORDER BY id"))
        id.append(r.first().toLongLong());
    return id;
}

} // namespace

class TestOperazioni : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void finestraElementi();
    void filtri_data();
    void filtri();
    void tipoTornaAllInvito();
    void giornoDigitato_data();
    void giornoDigitato();
    void senzaTipoOperazione();
    void totaliOltre32Bit();
    void erroreLasciaLeEtichette();
    void cancella_data();
    void cancella();
    void cancellaFallitaLasciaLaRiga();
    void stampa();
    void stampaPrimaDiAggiornare();
    void comandoDelMenu();

private:
    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *rapporti_ = nullptr;
    RisponditoreDialoghi *risposte_ = nullptr;
};

void TestOperazioni::init()
{
    db_ = new DatabaseDiProva;
    rapporti_ = new RegistroRapporti;
    risposte_ = new RisponditoreDialoghi;
}

void TestOperazioni::cleanup()
{
    delete risposte_;
    delete rapporti_;
    delete db_;
}

void TestOperazioni::finestraElementi()
{
    riempi(*db_);
    Operazioni_frm f;
    QCOMPARE(f.objectName(), "Operazioni_frm");
    QCOMPARE(f.windowTitle(), "Visualizzazione Operazioni");
    auto *operazione = elemento<QComboBox>(f, "Combo2");
    QCOMPARE(operazione->count(), 2);
    QCOMPARE(operazione->itemText(0), "Entrata");
    QCOMPARE(operazione->itemText(1), "Uscita");
    QCOMPARE(operazione->currentIndex(), -1);
    QCOMPARE(operazione->placeholderText(), ">> Seleziona <<");
    auto *tipi = elemento<QComboBox>(f, "Combo1");
    QCOMPARE(tipi->currentIndex(), -1);
    QCOMPARE(tipi->currentText(), INVITO_TIPO);
    QStringList codici;
    for (int i = 0; i < tipi->count(); ++i)
        codici.append(tipi->itemText(i));
    QCOMPARE(codici, QStringList({"Bulloni", "Dadi 'M8'", "Viti"}));
    QCOMPARE(elemento<QLineEdit>(f, "Text1")->maxLength(), 10);
    const QAbstractItemModel *m = elemento<QTableView>(f, "MSFlexGrid1")->model();
    QStringList intestazioni;
    for (int c = 0; c < m->columnCount(); ++c)
        intestazioni.append(m->headerData(c, Qt::Horizontal).toString());
    QCOMPARE(intestazioni, QStringList({"ID", "Data", "Codice", "Tipo", "Prezzo Acquisto",
                                        "Prezzo Vendita", "n. Pezzi"}));
    // Empty until the first "Aggiorna".
    QCOMPARE(celle(f), Righe{VUOTA});
    QCOMPARE(etichette(f), QStringList({"", "", ""}));
}

void TestOperazioni::filtri_data()
{
    QTest::addColumn<int>("operazione");
    QTest::addColumn<QString>("codiceTipo");
    QTest::addColumn<QString>("giorno");
    QTest::addColumn<Righe>("attese");
    QTest::addColumn<QStringList>("totali");

    QTest::newRow("acquisti per data, codice, tipo")
        << 0 << "" << "" << Righe{M2, M5, M4, M9, M3, M1, VUOTA}
        << QStringList{"6", "104.998", "45.500"};
    // Sales carry negative pieces: the sales total is negative, the
    // purchases total 0 and so empty.
    QTest::newRow("vendite") << 1 << "" << "" << Righe{M6, M7, VUOTA}
                             << QStringList{"2", "-5.700", ""};
    QTest::newRow("un tipo") << 0 << "Viti" << "" << Righe{M9, M1, VUOTA}
                             << QStringList{"2", "17.000", "9.000"};
    QTest::newRow("un tipo, scritto in minuscole") << 0 << "viti" << "" << Righe{M9, M1, VUOTA}
                                                  << QStringList{"2", "17.000", "9.000"};
    QTest::newRow("un tipo con apici") << 0 << "Dadi 'M8'" << "" << Righe{M4, VUOTA}
                                       << QStringList{"1", "50.000", "20.000"};
    QTest::newRow("un giorno") << 0 << "" << "31/12/2000" << Righe{M4, M9, M3, M1, VUOTA}
                               << QStringList{"4", "73.000", "32.500"};
    QTest::newRow("un tipo in un giorno") << 0 << "Bulloni" << "31/12/2000" << Righe{M3, VUOTA}
                                          << QStringList{"1", "6.000", "3.500"};
    QTest::newRow("vendite di un tipo in un giorno")
        << 1 << "Viti" << "31/12/2000" << Righe{M6, VUOTA} << QStringList{"1", "-3.600", ""};
    QTest::newRow("giorno senza movimenti")
        << 0 << "" << "02/01/2000" << Righe{VUOTA} << QStringList{"0", "", ""};
    QTest::newRow("tipo senza vendite")
        << 1 << "Dadi 'M8'" << "" << Righe{VUOTA} << QStringList{"0", "", ""};
}

void TestOperazioni::filtri()
{
    QFETCH(int, operazione);
    QFETCH(QString, codiceTipo);
    QFETCH(QString, giorno);
    QFETCH(Righe, attese);
    QFETCH(QStringList, totali);
    riempi(*db_);
    Operazioni_frm f;
    aggiorna(f, operazione, codiceTipo, giorno);
    QCOMPARE(celle(f), attese);
    QCOMPARE(etichette(f), totali);
    QVERIFY(risposte_->visti().isEmpty());
    QVERIFY(rapporti_->rapporti().isEmpty());
    // The kind and the day stay; the type list is back to its prompt.
    QCOMPARE(elemento<QComboBox>(f, "Combo2")->currentIndex(), operazione);
    QCOMPARE(elemento<QLineEdit>(f, "Text1")->text(), giorno);
    QCOMPARE(elemento<QComboBox>(f, "Combo1")->currentIndex(), -1);
    QCOMPARE(elemento<QComboBox>(f, "Combo1")->currentText(), INVITO_TIPO);
}

void TestOperazioni::tipoTornaAllInvito()
{
    riempi(*db_);
    Operazioni_frm f;
    aggiorna(f, 0, "Viti", "31/12/2000");
    QCOMPARE(celle(f), (Righe{M9, M1, VUOTA}));
    // Not chosen again: every type of that day.
    aggiorna(f, 0, QString(), "31/12/2000");
    QCOMPARE(celle(f), (Righe{M4, M9, M3, M1, VUOTA}));
    // A type chosen and the day cleared.
    aggiorna(f, 0, "Viti", QString());
    QCOMPARE(celle(f), (Righe{M9, M1, VUOTA}));
}

void TestOperazioni::giornoDigitato_data()
{
    QTest::addColumn<QString>("giorno");
    QTest::addColumn<Righe>("attese"); // empty when the day is refused
    // The type chosen before is in force.
    QTest::newRow("31/12/2000") << "31/12/2000" << Righe{M3, VUOTA};
    QTest::newRow("01/01/2000") << "01/01/2000" << Righe{M2, VUOTA};
    QTest::newRow("giorno con spazio") << " 1/01/2000" << Righe{M2, VUOTA};
    for (const char *rifiutato : {"1/1/2000", "01-01-2000", "00/05/2000", "32/01/2000",
                                  "10/13/2000", "10/05/0000", "31/02/2000", "29/02/2001"})
        QTest::newRow(rifiutato) << QString::fromLatin1(rifiutato) << Righe{};
}

void TestOperazioni::giornoDigitato()
{
    QFETCH(QString, giorno);
    QFETCH(Righe, attese);
    riempi(*db_);
    Operazioni_frm f;
    aggiorna(f, 1, QString(), QString());
    const Righe prima = celle(f);
    const QStringList etichettePrima = etichette(f);
    auto *tipi = elemento<QComboBox>(f, "Combo1");
    tipi->setCurrentIndex(tipi->findText("Bulloni"));
    aggiorna(f, 0, QString(), giorno);
    if (!attese.isEmpty()) {
        QCOMPARE(risposte_->visti().size(), 0);
        QCOMPARE(celle(f), attese);
        return;
    }
    QCOMPARE(risposte_->testi(), QStringList{DATA_NON_CORRETTA});
    QCOMPARE(risposte_->visti().first().pulsanti, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(risposte_->visti().first().titolo, "Vorendi");
    // Nothing changes, the chosen type included.
    QCOMPARE(celle(f), prima);
    QCOMPARE(etichette(f), etichettePrima);
    QCOMPARE(tipi->currentText(), "Bulloni");
    QVERIFY(rapporti_->rapporti().isEmpty());
}

void TestOperazioni::senzaTipoOperazione()
{
    riempi(*db_);
    Operazioni_frm f;
    aggiorna(f, 1, QString(), QString());
    const Righe prima = celle(f);
    aggiorna(f, -1, "Viti", QString());
    QCOMPARE(risposte_->testi(), QStringList{"Attenzione, specificare il tipo di operazione"});
    QCOMPARE(risposte_->visti().first().pulsanti, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(celle(f), prima);
    QCOMPARE(etichette(f), QStringList({"2", "-5.700", ""}));
    QCOMPARE(elemento<QComboBox>(f, "Combo1")->currentText(), INVITO_TIPO);
}

void TestOperazioni::totaliOltre32Bit()
{
    tipo(*db_, 1, "Motori");
    movimento(*db_, 1, 1, "M-1", 2147483647, 2147483647, 32767, 1, "2000-05-05");
    movimento(*db_, 2, 1, "M-2", 2000000000, 1500000000, 3, 1, "2000-05-05");
    movimento(*db_, 3, 1, "M-1", 2147483647, 0, -32768, 2, "2000-05-06");
    Operazioni_frm f;
    aggiorna(f, 0, QString(), QString());
    // 2,147,483,647 x 32,767 + 6,000,000,000 and + 4,500,000,000.
    QCOMPARE(etichette(f), QStringList({"2", "70.372.596.661.249", "70.371.096.661.249"}));
    aggiorna(f, 1, QString(), QString());
    QCOMPARE(etichette(f), QStringList({"1", "-70.368.744.144.896", ""}));
    QCOMPARE(celle(f).first().last(), "-32768");
    QVERIFY(rapporti_->rapporti().isEmpty());
}

void TestOperazioni::erroreLasciaLeEtichette()
{
    riempi(*db_);
    Operazioni_frm f;
    aggiorna(f, 1, QString(), QString());
    // A price that is not a number, met after two good rows.
    db_->esegui("UPDATE prodotto SET prezzoacquisto='abc' WHERE id=3");
    aggiorna(f, 0, QString(), QString());
    QCOMPARE(rapporti_->zone(), QList<int>{16});
    QCOMPARE(celle(f), (Righe{M2, M5, M4, M9, VUOTA}));
    QCOMPARE(etichette(f), QStringList({"2", "-5.700", ""}));
    QCOMPARE(elemento<QComboBox>(f, "Combo1")->currentText(), INVITO_TIPO);
}

void TestOperazioni::cancella_data()
{
    QTest::addColumn<int>("riga");
    QTest::addColumn<int>("risposta");
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QList<qint64>>("restano");
    QTest::newRow("sì") << 2 << int(QMessageBox::Yes) << "D'8"
                        << QList<qint64>{1, 2, 3, 5, 6, 7, 9};
    QTest::newRow("no") << 2 << int(QMessageBox::No) << "D'8"
                        << QList<qint64>{1, 2, 3, 4, 5, 6, 7, 9};
    QTest::newRow("riga vuota") << 6 << int(QMessageBox::Yes) << ""
                                << QList<qint64>{1, 2, 3, 4, 5, 6, 7, 9};
}

void TestOperazioni::cancella()
{
    QFETCH(int, riga);
    QFETCH(int, risposta);
    QFETCH(QString, codice);
    QFETCH(QList<qint64>, restano);
    riempi(*db_);
    db_->esegui("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('D''8', 3, 1000, 50)");
    Operazioni_frm f;
    aggiorna(f, 0, QString(), QString());
    const Righe prima = celle(f);
    vaiAllaRiga(f, riga);
    risposte_->premi(QMessageBox::StandardButton(risposta));
    premi(f, "Command2");
    QCOMPARE(risposte_->testi(),
             QStringList{"Si sta tentando di cancellare il prodotto:\n" + codice + "\nContinuare?"});
    QCOMPARE(risposte_->visti().first().pulsanti, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(idSalvati(*db_), restano);
    Righe attese = prima;
    if (restano.size() < 8)
        attese.removeAt(riga);
    QCOMPARE(celle(f), attese);
    // The labels wait for the next "Aggiorna"; the stock is not given back.
    QCOMPARE(etichette(f), QStringList({"6", "104.998", "45.500"}));
    QCOMPARE(db_->valore("SELECT pezzi FROM rimanenze").toInt(), 1000);
    QVERIFY(rapporti_->rapporti().isEmpty());
}

void TestOperazioni::cancellaFallitaLasciaLaRiga()
{
    riempi(*db_);
    Operazioni_frm f;
    aggiorna(f, 0, QString(), QString());
    const Righe prima = celle(f);
    QFile::remove(db_->percorso());
    vaiAllaRiga(f, 0);
    risposte_->premi(QMessageBox::Yes);
    premi(f, "Command2");
    QCOMPARE(rapporti_->zone(), QList<int>{22});
    QCOMPARE(celle(f), prima);
}

void TestOperazioni::stampa()
{
    RegistroStampe stampe;
    db_->esegui("UPDATE \"generalità\" SET nome='Bottega', info1='Via Roma 1', info2='Torino',"
                " info3='', info4='Tel. 011'");
    tipo(*db_, 1, "Viti");
    tipo(*db_, 2, "Guarnizioni per rubinetti");
    const QString lungo = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD");
    movimento(*db_, 1, 1, "V-100", 1200, 12, 5, 1, "2000-03-01");
    movimento(*db_, 2, 2, lungo, 2500000, 1500000, 2, 1, "2000-03-01");
    movimento(*db_, 3, 1, "V-200", 1500, 800, 10, 1, "2000-03-02");
    movimento(*db_, 4, 1, "V-300", 99, 0, 1, 1, "2000-03-03");
    movimento(*db_, 5, 1, "V-400", 5000, 3000, 3, 1, "2000-03-04");
    Operazioni_frm f;
    aggiorna(f, 0, QString(), QString());
    vaiAllaRiga(f, 2);
    risposte_->premi(QMessageBox::Yes);
    premi(f, "Command2");
    risposte_->azzera();
    premi(f, "Command3");

    QCOMPARE(stampe.documenti().size(), 1);
    const DocumentoStampato d = stampe.documenti().first();
    const QString separatore(108, QChar(0x2014));
    const auto spazi = [](int n) { return QString(n, u' '); };
    const QStringList attese = {
        separatore,
        "Bottega" + spazi(43) + " Data Operazione: " + dataOggi(),
        "Via Roma 1",
        "Torino",
        "",
        "Tel. 011",
        separatore,
        "Data         Codice articolo                    Tipo articolo  Prezzo Acq.  Prezzo Ven.  Pezzi",
        "01/03/2000   ABCDEFGHIJKLMNOPQRSTUVWXYZ012345678Guarnizioni per1.500.000    2.500.000    2",
        // A 2-character price gives a 12-character field, an empty one 10.
        "01/03/2000   V-100" + spazi(30) + "Viti" + spazi(11) + "12" + spazi(10) + "1.200"
            + spazi(8) + "5",
        "03/03/2000   V-300" + spazi(30) + "Viti" + spazi(11) + spazi(10) + "99" + spazi(10) + "1",
        "04/03/2000   V-400" + spazi(30) + "Viti" + spazi(11) + "3.000" + spazi(8) + "5.000"
            + spazi(8) + "3",
        separatore,
        // Four rows left, the totals of the five listed.
        "Elementi: 4      Totale Vendite: 5.036.099      Totale Acquisti: 3.017.060",
    };
    QCOMPARE(d.testi(), attese);
    QCOMPARE(d.righe[7].testo.size(), 94);
    for (int i = 0; i < d.righe.size(); ++i) {
        QCOMPARE(d.righe[i].grassetto, i == 7);
        QCOMPARE(d.righe[i].carattere, "Courier New");
        QCOMPARE(d.righe[i].punti, 10);
    }
    QVERIFY(d.concluso);
    QCOMPARE(risposte_->testi(), QStringList{"Stampa completata"});
}

void TestOperazioni::stampaPrimaDiAggiornare()
{
    RegistroStampe stampe;
    Operazioni_frm f;
    premi(f, "Command3");
    QCOMPARE(stampe.documenti().size(), 1);
    const DocumentoStampato d = stampe.documenti().first();
    QCOMPARE(d.righe.size(), 10);
    QCOMPARE(d.testi().mid(8),
             QStringList({QString(108, QChar(0x2014)),
                          "Elementi: 0      Totale Vendite:       Totale Acquisti: "}));
}

void TestOperazioni::comandoDelMenu()
{
    MDIVorendi principale;
    auto *delprod = principale.findChild<QAction *>("delprod");
    auto *pulsante = principale.findChild<QToolButton *>("Command3");
    QVERIFY(delprod->isEnabled());
    QVERIFY(pulsante->isEnabled());
    QCOMPARE(pulsante->toolTip(), "Visualizza Operazioni");
    delprod->trigger();
    QWidget *prima = principale.areaLavoro()->activeSubWindow()->widget();
    QCOMPARE(prima->objectName(), "Operazioni_frm");
    pulsante->click();
    QCOMPARE(principale.areaLavoro()->subWindowList().size(), 1);
    QCOMPARE(principale.areaLavoro()->activeSubWindow()->widget(), prima);
}

QTEST_MAIN(TestOperazioni)
#include "tst_Operazioni_frm.moc"
