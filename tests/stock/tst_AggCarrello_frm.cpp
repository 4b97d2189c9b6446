#include "data/database_routines.h"
#include "stock/AggCarrello_frm.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

// Planned answers: "Si", "No", "annulla" (Cancel) or "=text" typed in.
using Risposte = QStringList;

namespace {

const QString DOMANDA = QStringLiteral("Si sta tentando di %1 prodotto:\n%2\nContinuare?");
const QString NUOVO_PREZZO = QStringLiteral("Immettere il nuovo prezzo di vendita");
const QString ESAURITO = QStringLiteral("Attenzione\nil prodotto selezionato è esaurito, continuare?");
const QString NON_DISPONIBILI =
    QStringLiteral("Attenzione\ni prodotti uscenti non sono disponibili, continuare?");
const QString NUMERO_PEZZI = QStringLiteral("Aggiunta a carrello\nNumero di pezzi?");

} // namespace

class TestAggCarrello : public QObject
{
    Q_OBJECT

    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
    RisponditoreDialoghi *risponditore_ = nullptr;
    AggCarrello_frm *finestra_ = nullptr;

    QComboBox *tipo() const { return finestra_->findChild<QComboBox *>("Combo1"); }
    QTableView *griglia() const { return finestra_->findChild<QTableView *>("MSFlexGrid1"); }

    QStringList celle() const
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

    // Opens the window and picks the type as the user does, from the open list.
    void apri(const QString &codiceTipo)
    {
        finestra_ = new AggCarrello_frm;
        finestra_->show();
        QVERIFY(QTest::qWaitForWindowExposed(finestra_));
        scegliTipo(codiceTipo);
    }

    void scegliTipo(const QString &codiceTipo)
    {
        QAbstractItemView *elenco = tipo()->view();
        tipo()->showPopup();
        QTRY_VERIFY(elenco->isVisible());
        const QModelIndex voce = tipo()->model()->index(tipo()->findText(codiceTipo), 0);
        QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, elenco->visualRect(voce).center());
        QTRY_VERIFY(!elenco->isVisible());
    }

    void pianifica(const Risposte &risposte)
    {
        for (const QString &r : risposte) {
            if (r == QLatin1String("Si") || r == QLatin1String("No"))
                risponditore_->premi(r == QLatin1String("Si") ? QMessageBox::Yes : QMessageBox::No);
            else if (r == QLatin1String("annulla"))
                risponditore_->annulla();
            else
                risponditore_->scrivi(r.mid(1));
        }
    }

private slots:
    void init()
    {
        db_ = new DatabaseDiProva;
        registro_ = new RegistroRapporti;
        for (const char *codice : {"Viti", "Dadi", "Chiodi"})
            QVERIFY(AggiungiTipo(QLatin1String(codice)));
        db_->esegui("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES"
                    " ('b-2', 1, 0, 1500), ('A-1', 1, 3, 1000), ('c-3', 1, -2, 0),"
                    " ('D-1', 2, 1234, 1234567)");
        risponditore_ = new RisponditoreDialoghi;
    }

    void cleanup()
    {
        delete finestra_;
        finestra_ = nullptr;
        delete risponditore_;
        delete registro_;
        delete db_;
    }

    void sceltaDelTipoEInvio()
    {
        apri(QStringLiteral("Viti"));
        // Code order; 0 is an empty cell, a negative figure keeps its minus.
        QCOMPARE(celle(), QStringList({"A-1|Viti|1.000|3", "b-2|Viti|1.500|", "c-3|Viti||-2", "|||"}));
        QCOMPARE(griglia()->currentIndex().row(), 2);
        scegliTipo(QStringLiteral("Chiodi"));
        QCOMPARE(celle(), QStringList{"|||"});
        scegliTipo(QStringLiteral("Dadi"));
        QCOMPARE(celle(), QStringList({"D-1|Dadi|1.234.567|1.234", "|||"}));
        // Enter in the type list shows types added meanwhile; the grid stays.
        QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
        QTest::mouseClick(tipo()->lineEdit(), Qt::LeftButton);
        QTest::keyClick(finestra_->windowHandle(), Qt::Key_Return);
        QCOMPARE(tipo()->itemText(0), QStringLiteral("Bulloni"));
        QCOMPARE(tipo()->currentText(), QStringLiteral(">>> Seleziona TIPO <<<"));
        QCOMPARE(celle(), QStringList({"D-1|Dadi|1.234.567|1.234", "|||"}));
        QVERIFY(risponditore_->visti().isEmpty());
        QVERIFY(registro_->rapporti().isEmpty());
    }

    void comandi_data()
    {
        QTest::addColumn<QString>("comando"); // a button, or empty for a double-click
        QTest::addColumn<int>("riga"); // A-1 3 pieces, b-2 none, c-3 -2, then the empty row
        QTest::addColumn<Risposte>("risposte");
        QTest::addColumn<QString>("blocco"); // a stock write made to fail
        QTest::addColumn<QStringList>("dialoghi");
        QTest::addColumn<QStringList>("righe"); // as shown, and as read again from the file
        QTest::addColumn<QString>("carrello"); // codice|prezzo|pezzi|totale

        const QStringList viti{"A-1|Viti|1.000|3", "b-2|Viti|1.500|", "c-3|Viti||-2", "|||"};
        // The grid is as opened and the cart empty unless told otherwise.
        auto caso = [&](const char *nome, const char *comando, int riga, const Risposte &risposte,
                        const QStringList &dialoghi, const QString &carrello = {},
                        const QStringList &righe = {}, const char *blocco = "") {
            QTest::newRow(nome) << QString(comando) << riga << risposte << QString(blocco)
                                << dialoghi << (righe.isEmpty() ? viti : righe) << carrello;
        };
        const QString modifica = DOMANDA.arg("modificare il prezzo di vendita del", "A-1");
        const QStringList chiesto{modifica, NUOVO_PREZZO};
        const QStringList cancella{DOMANDA.arg("cancellare il", "b-2")};
        const QStringList pezzi{NUMERO_PEZZI};
        const QStringList troppi{NUMERO_PEZZI, NON_DISPONIBILI};
        const QStringList esaurito{ESAURITO, NUMERO_PEZZI};

        caso("Modifica, Si", "Command1", 0, {"Si", "=2.500"}, chiesto, {},
             {"A-1|Viti|2.500|3", viti[1], viti[2], viti[3]});
        caso("Modifica, No", "Command1", 0, {"No"}, {modifica});
        caso("Modifica, annullata", "Command1", 0, {"Si", "annulla"}, chiesto);
        caso("Modifica, non un numero", "Command1", 0, {"Si", "=mille"},
             chiesto + QStringList{"Il prezzo di vendita deve essere un numero intero da 0 a"
                                   " 2.147.483.647. Il prezzo non è stato modificato."});
        caso("Modifica, riga vuota", "Command1", 3, {"Si"},
             {DOMANDA.arg("modificare il prezzo di vendita del", "")});
        caso("Modifica fallita", "Command1", 0, {"Si", "=2500"}, chiesto, {}, {}, "UPDATE");
        caso("Cancella, Si", "Command2", 1, {"Si"}, cancella, {}, {viti[0], viti[2], viti[3]});
        caso("Cancella, No", "Command2", 1, {"No"}, cancella);
        caso("Cancella, riga vuota", "Command2", 3, {"Si"}, {DOMANDA.arg("cancellare il", "")});
        caso("Cancella fallita", "Command2", 1, {"Si"}, cancella, {}, {}, "DELETE");
        caso("bastano", "", 0, {"=3"}, pezzi, "A-1|1000|3|3000");
        caso("non bastano, Si", "", 0, {"=5", "Si"}, troppi, "A-1|1000|5|5000");
        caso("non bastano, No", "", 0, {"=5", "No"}, troppi);
        caso("annullato", "", 0, {"annulla"}, pezzi);
        // No number asked for: nothing to add, and nothing to say.
        caso("zero", "", 0, {"=0"}, pezzi);
        caso("senza cifre", "", 0, {"=abc"}, pezzi);
        caso("oltre 16 bit", "", 0, {"=40000"},
             pezzi + QStringList{"Il numero di pezzi deve essere compreso tra -32.768 e 32.767."
                                 " Nulla è stato aggiunto al carrello."});
        caso("sotto uno", "", 0, {"=-1"},
             pezzi + QStringList{"Attenzione\nIl numero di prodotti in carrello è negativo o nullo"});
        caso("esaurito, No", "", 1, {"No"}, {ESAURITO});
        caso("esaurito, Si", "", 1, {"Si", "=2"}, esaurito, "b-2|1500|2|3000");
        caso("scorta negativa", "", 2, {"Si", "=1"}, esaurito, "c-3|0|1|0");
        caso("riga vuota", "", 3, {"Si", "=2"}, esaurito);
    }

    void comandi()
    {
        QFETCH(QString, comando);
        QFETCH(int, riga);
        QFETCH(Risposte, risposte);
        QFETCH(QString, blocco);
        QFETCH(QStringList, dialoghi);
        QFETCH(QStringList, righe);
        QFETCH(QString, carrello);
        if (!blocco.isEmpty())
            db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE %1 ON rimanenze"
                                       " BEGIN SELECT RAISE(ABORT, 'bloccate'); END").arg(blocco));
        apri(QStringLiteral("Viti"));
        pianifica(risposte);
        const QModelIndex cella = griglia()->model()->index(riga, 0);
        if (comando.isEmpty()) {
            // The first click of a double-click comes as a click of its own.
            const QPoint punto = griglia()->visualRect(cella).center();
            QTest::mouseClick(griglia()->viewport(), Qt::LeftButton, {}, punto);
            QTest::mouseDClick(griglia()->viewport(), Qt::LeftButton, {}, punto);
        } else {
            griglia()->setCurrentIndex(cella);
            finestra_->findChild<QPushButton *>(comando)->click();
        }

        QCOMPARE(risponditore_->testi(), dialoghi);
        QCOMPARE(risponditore_->rispostePendenti(), 0);
        QCOMPARE(celle(), righe);
        scegliTipo(QStringLiteral("Viti"));
        QCOMPARE(celle(), righe);
        QCOMPARE(db_->valore("SELECT group_concat(codice||'|'||prezzo||'|'||pezzi||'|'||totale)"
                             " FROM carrello").toString(), carrello);
        const QList<int> zona{blocco == QLatin1String("UPDATE") ? 21 : 20};
        QCOMPARE(registro_->zone(), blocco.isEmpty() ? QList<int>{} : zona);
    }
};

QTEST_MAIN(TestAggCarrello)
#include "tst_AggCarrello_frm.moc"
