#include "common/formati.h"
#include "reports/Operazioni_frm.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

const QString INVITO_TIPO = QStringLiteral(">>> Seleziona TIPO <<<");
const QStringList VUOTA = {"", "", "", "", "", "", ""};

using Righe = QList<QStringList>;

void movimento(const DatabaseDiProva &db, qint64 id, qint64 idTipo, const QString &codice,
               qint64 vendita, qint64 acquisto, qint64 pezzi, int operazione, const QString &iso)
{
    db.esegui("INSERT INTO prodotto (id, tipo, codice, prezzovendita, prezzoacquisto, pezzi,"
              " operazione, dataop) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
              {id, idTipo, codice, vendita, acquisto, pezzi, operazione, iso});
}

// Out of order on purpose; type 4 was deleted after its movement.
void riempi(const DatabaseDiProva &db)
{
    db.esegui("INSERT INTO tipo (id, codice) VALUES (1, 'Viti'), (2, 'Bulloni'), (3, 'Dadi ''M8''')");
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

Righe celle(Operazioni_frm &f)
{
    const QAbstractItemModel *m = f.findChild<QTableView *>("MSFlexGrid1")->model();
    Righe righe(m->rowCount());
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c)
            righe[r].append(m->index(r, c).data().toString());
    return righe;
}

// Elementi, sales total, purchases total as shown.
QStringList etichette(Operazioni_frm &f)
{
    return {f.findChild<QLabel *>("Label1")->text(), f.findChild<QLabel *>("Label2")->text(),
            f.findChild<QLabel *>("Label8")->text()};
}

// Chooses the filters as the user would and presses "Aggiorna": -1 leaves the
// kind unchosen, an empty type leaves the type list as it is, a type not in
// the list as written is typed in.
void aggiorna(Operazioni_frm &f, int operazione, const QString &codiceTipo = {},
              const QString &giorno = {})
{
    auto *tipi = f.findChild<QComboBox *>("Combo1");
    if (const int indice = tipi->findText(codiceTipo); indice >= 0 && !codiceTipo.isEmpty())
        tipi->setCurrentIndex(indice);
    else if (!codiceTipo.isEmpty())
        tipi->setEditText(codiceTipo);
    f.findChild<QComboBox *>("Combo2")->setCurrentIndex(operazione);
    f.findChild<QLineEdit *>("Text1")->setText(giorno);
    f.findChild<QPushButton *>("Command1")->click();
}

void cancellaRiga(Operazioni_frm &f, int riga, QMessageBox::StandardButton risposta,
                  RisponditoreDialoghi &risponditore)
{
    auto *griglia = f.findChild<QTableView *>("MSFlexGrid1");
    griglia->setCurrentIndex(griglia->model()->index(riga, 0));
    risponditore.premi(risposta);
    f.findChild<QPushButton *>("Command2")->click();
}

} // namespace

class TestOperazioni : public QObject
{
    Q_OBJECT

    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *rapporti_ = nullptr;
    RisponditoreDialoghi *risposte_ = nullptr;

private slots:
    void init()
    {
        db_ = new DatabaseDiProva;
        rapporti_ = new RegistroRapporti;
        risposte_ = new RisponditoreDialoghi;
    }

    void cleanup()
    {
        delete risposte_;
        delete rapporti_;
        delete db_;
    }

    void filtri_data()
    {
        QTest::addColumn<int>("operazione");
        QTest::addColumn<QString>("codiceTipo");
        QTest::addColumn<QString>("giorno");
        QTest::addColumn<QString>("messaggio"); // a refusal; the sales listed before stay
        QTest::addColumn<QString>("tipoDopo");
        QTest::addColumn<Righe>("attese");
        QTest::addColumn<QStringList>("totali");
        auto riga = [](const char *nome, int operazione, const char *tipo, const char *giorno,
                       const QString &messaggio = {}, const QString &tipoDopo = INVITO_TIPO)
            -> QTestData & {
            return QTest::newRow(nome) << operazione << tipo << giorno << messaggio << tipoDopo;
        };
        const Righe vendite{M6, M7, VUOTA};
        const QStringList totaliVendite{"2", "-5.700", ""};
        riga("acquisti per data, codice, tipo", 0, "", "")
            << Righe{M2, M5, M4, M9, M3, M1, VUOTA} << QStringList{"6", "104.998", "45.500"};
        // Sales carry negative pieces: a negative sales total, purchases 0 and so empty.
        riga("vendite", 1, "", "") << vendite << totaliVendite;
        riga("un tipo", 0, "Viti", "") << Righe{M9, M1, VUOTA} << QStringList{"2", "17.000", "9.000"};
        riga("un tipo in minuscole", 0, "viti", "") << Righe{M9, M1, VUOTA}
                                                   << QStringList{"2", "17.000", "9.000"};
        riga("un tipo con apici", 0, "Dadi 'M8'", "") << Righe{M4, VUOTA}
                                                      << QStringList{"1", "50.000", "20.000"};
        riga("un giorno", 0, "", "31/12/2000") << Righe{M4, M9, M3, M1, VUOTA}
                                               << QStringList{"4", "73.000", "32.500"};
        riga("giorno con spazio", 0, "", " 1/01/2000") << Righe{M2, VUOTA}
                                                       << QStringList{"1", "30.000", "12.000"};
        riga("vendite di un tipo in un giorno", 1, "Viti", "31/12/2000")
            << Righe{M6, VUOTA} << QStringList{"1", "-3.600", ""};
        riga("giorno senza movimenti", 0, "", "02/01/2000") << Righe{VUOTA} << QStringList{"0", "", ""};
        const QString data = QStringLiteral("Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA");
        for (const char *giorno : {"1/1/2000", "01-01-2000", "32/01/2000", "29/02/2001"})
            riga(giorno, 0, "Bulloni", giorno, data, "Bulloni") << vendite << totaliVendite;
        riga("nessun tipo di operazione", -1, "Bulloni", "",
             "Attenzione, specificare il tipo di operazione") << vendite << totaliVendite;
    }

    // After listing the sales; the kind and the day stay, the type list is
    // back to its prompt unless the day was refused.
    void filtri()
    {
        QFETCH(int, operazione);
        QFETCH(QString, codiceTipo);
        QFETCH(QString, giorno);
        QFETCH(QString, messaggio);
        QFETCH(QString, tipoDopo);
        QFETCH(Righe, attese);
        QFETCH(QStringList, totali);
        riempi(*db_);
        Operazioni_frm f;
        aggiorna(f, 1);
        aggiorna(f, operazione, codiceTipo, giorno);
        QCOMPARE(risposte_->testi(), messaggio.isEmpty() ? QStringList() : QStringList{messaggio});
        QCOMPARE(celle(f), attese);
        QCOMPARE(etichette(f), totali);
        QVERIFY(rapporti_->rapporti().isEmpty());
        QCOMPARE(f.findChild<QComboBox *>("Combo2")->currentIndex(), operazione);
        QCOMPARE(f.findChild<QLineEdit *>("Text1")->text(), giorno);
        QCOMPARE(f.findChild<QComboBox *>("Combo1")->currentText(), tipoDopo);
    }

    void totaliOltre32BitEErrore()
    {
        db_->esegui("INSERT INTO tipo (id, codice) VALUES (1, 'Motori')");
        movimento(*db_, 1, 1, "M-1", 2147483647, 2147483647, 32767, 1, "2000-05-05");
        movimento(*db_, 2, 1, "M-2", 2000000000, 1500000000, 3, 1, "2000-05-05");
        movimento(*db_, 3, 1, "M-1", 2147483647, 0, -32768, 2, "2000-05-06");
        Operazioni_frm f;
        aggiorna(f, 0);
        // 2,147,483,647 x 32,767 + 6,000,000,000 and + 4,500,000,000.
        QCOMPARE(etichette(f), QStringList({"2", "70.372.596.661.249", "70.371.096.661.249"}));
        aggiorna(f, 1);
        QCOMPARE(etichette(f), QStringList({"1", "-70.368.744.144.896", ""}));
        QCOMPARE(celle(f).first().last(), "-32768");
        // A price that is not a number, met after a good row: reported, the labels stay.
        db_->esegui("UPDATE prodotto SET prezzoacquisto='abc' WHERE id=2");
        aggiorna(f, 0);
        QCOMPARE(rapporti_->zone(), QList<int>{16});
        QCOMPARE(celle(f).size(), 2);
        QCOMPARE(etichette(f), QStringList({"1", "-70.368.744.144.896", ""}));
    }

    void cancella_data()
    {
        QTest::addColumn<int>("riga");
        QTest::addColumn<int>("risposta");
        QTest::addColumn<bool>("senzaFile");
        QTest::addColumn<bool>("tolta");
        const int si = QMessageBox::Yes;
        QTest::newRow("Si") << 2 << si << false << true;
        QTest::newRow("No") << 2 << int(QMessageBox::No) << false << false;
        QTest::newRow("riga vuota") << 6 << si << false << false;
        QTest::newRow("cancellazione fallita") << 2 << si << true << false;
    }

    void cancella()
    {
        QFETCH(int, riga);
        QFETCH(int, risposta);
        QFETCH(bool, senzaFile);
        QFETCH(bool, tolta);
        riempi(*db_);
        db_->esegui("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('D''8', 3, 1000, 50)");
        Operazioni_frm f;
        aggiorna(f, 0);
        Righe attese = celle(f);
        const QString codice = attese[riga][2];
        if (tolta)
            attese.removeAt(riga);
        if (senzaFile)
            QVERIFY(QFile::remove(db_->percorso()));
        cancellaRiga(f, riga, QMessageBox::StandardButton(risposta), *risposte_);
        QCOMPARE(risposte_->testi(),
                 QStringList{"Si sta tentando di cancellare il prodotto:\n" + codice + "\nContinuare?"});
        QCOMPARE(celle(f), attese);
        QCOMPARE(rapporti_->zone(), senzaFile ? QList<int>{22} : QList<int>{});
        // The labels wait for the next "Aggiorna"; the stock is not given back.
        QCOMPARE(etichette(f), QStringList({"6", "104.998", "45.500"}));
        if (!senzaFile) {
            QCOMPARE(db_->valore("SELECT group_concat(id) FROM (SELECT id FROM prodotto ORDER BY id)")
                         .toString(), tolta ? "1,2,3,5,6,7,9" : "1,2,3,4,5,6,7,9");
            QCOMPARE(db_->valore("SELECT pezzi FROM rimanenze").toInt(), 1000);
        }
    }

    void stampa()
    {
        RegistroStampe stampe;
        db_->esegui("UPDATE \"generalità\" SET nome='Bottega', info1='Via Roma 1', info2='Torino',"
                    " info3='', info4='Tel. 011'");
        db_->esegui("INSERT INTO tipo (id, codice) VALUES (1, 'Viti'),"
                    " (2, 'Guarnizioni per rubinetti')");
        movimento(*db_, 1, 1, "V-100", 1200, 12, 5, 1, "2000-03-01");
        movimento(*db_, 2, 2, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD", 2500000, 1500000, 2, 1,
                  "2000-03-01");
        movimento(*db_, 3, 1, "V-200", 1500, 800, 10, 1, "2000-03-02");
        movimento(*db_, 4, 1, "V-300", 99, 0, 1, 1, "2000-03-03");
        movimento(*db_, 5, 1, "V-400", 5000, 3000, 3, 1, "2000-03-04");
        Operazioni_frm f;
        aggiorna(f, 0);
        cancellaRiga(f, 2, QMessageBox::Yes, *risposte_);
        risposte_->azzera();
        f.findChild<QPushButton *>("Command3")->click();

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
        for (int i = 0; i < d.righe.size(); ++i) {
            QCOMPARE(d.righe[i].grassetto, i == 7);
            QCOMPARE(d.righe[i].carattere, "Courier New");
            QCOMPARE(d.righe[i].punti, 10);
        }
        QVERIFY(d.concluso);
        QCOMPARE(risposte_->testi(), QStringList{"Stampa completata"});
    }
};

QTEST_MAIN(TestOperazioni)
#include "tst_Operazioni_frm.moc"
