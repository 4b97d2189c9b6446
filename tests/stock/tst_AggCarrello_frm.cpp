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

QStringList unite(const QList<QVariantList> &righe)
{
    QStringList testi;
    for (const QVariantList &riga : righe) {
        QStringList campi;
        for (const QVariant &v : riga)
            campi << v.toString();
        testi << campi.join(u'|');
    }
    return testi;
}

QStringList celle(const QAbstractItemModel *m)
{
    QList<QVariantList> righe(m->rowCount());
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c)
            righe[r] << m->index(r, c).data();
    return unite(righe);
}

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
    QStringList celle() const { return ::celle(griglia()->model()); }

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
        QTest::addColumn<QStringList>("carrello"); // codice|prezzo|pezzi|totale

        const QStringList viti{"A-1|Viti|1.000|3", "b-2|Viti|1.500|", "c-3|Viti||-2", "|||"};
        const QString modifica = DOMANDA.arg("modificare il prezzo di vendita del", "A-1");
        const QStringList chiesto{modifica, NUOVO_PREZZO};
        const QStringList cancella{DOMANDA.arg("cancellare il", "b-2")};
        const QStringList pezzi{NUMERO_PEZZI};
        const QStringList troppi{NUMERO_PEZZI, NON_DISPONIBILI};
        const QStringList esaurito{ESAURITO, NUMERO_PEZZI};
        const QStringList nulla;

        QTest::newRow("Modifica, Si") << "Command1" << 0 << Risposte{"Si", "=2.500"} << "" << chiesto
                                      << QStringList{"A-1|Viti|2.500|3"} + viti.mid(1) << nulla;
        QTest::newRow("Modifica, No") << "Command1" << 0 << Risposte{"No"} << "" << QStringList{modifica}
                                      << viti << nulla;
        QTest::newRow("Modifica, annullata") << "Command1" << 0 << Risposte{"Si", "annulla"} << ""
                                             << chiesto << viti << nulla;
        QTest::newRow("Modifica, non un numero")
            << "Command1" << 0 << Risposte{"Si", "=mille"} << ""
            << chiesto + QStringList{"Il prezzo di vendita deve essere un numero intero da 0 a"
                                     " 2.147.483.647. Il prezzo non è stato modificato."}
            << viti << nulla;
        QTest::newRow("Modifica, riga vuota")
            << "Command1" << 3 << Risposte{"Si"} << ""
            << QStringList{DOMANDA.arg("modificare il prezzo di vendita del", "")} << viti << nulla;
        QTest::newRow("Modifica fallita") << "Command1" << 0 << Risposte{"Si", "=2500"} << "UPDATE"
                                          << chiesto << viti << nulla;
        QTest::newRow("Cancella, Si") << "Command2" << 1 << Risposte{"Si"} << "" << cancella
                                      << QStringList{viti[0], viti[2], viti[3]} << nulla;
        QTest::newRow("Cancella, No") << "Command2" << 1 << Risposte{"No"} << "" << cancella << viti
                                      << nulla;
        QTest::newRow("Cancella, riga vuota") << "Command2" << 3 << Risposte{"Si"} << ""
                                              << QStringList{DOMANDA.arg("cancellare il", "")} << viti
                                              << nulla;
        QTest::newRow("Cancella fallita") << "Command2" << 1 << Risposte{"Si"} << "DELETE"
                                          << cancella << viti << nulla;
        QTest::newRow("bastano") << "" << 0 << Risposte{"=3"} << "" << pezzi << viti
                                 << QStringList{"A-1|1000|3|3000"};
        QTest::newRow("non bastano, Si") << "" << 0 << Risposte{"=5", "Si"} << "" << troppi << viti
                                         << QStringList{"A-1|1000|5|5000"};
        QTest::newRow("non bastano, No") << "" << 0 << Risposte{"=5", "No"} << "" << troppi << viti
                                         << nulla;
        QTest::newRow("annullato") << "" << 0 << Risposte{"annulla"} << "" << pezzi << viti << nulla;
        QTest::newRow("oltre 16 bit")
            << "" << 0 << Risposte{"=40000"} << ""
            << pezzi + QStringList{"Il numero di pezzi deve essere compreso tra -32.768 e 32.767."
                                   " Nulla è stato aggiunto al carrello."}
            << viti << nulla;
        QTest::newRow("sotto uno")
            << "" << 0 << Risposte{"=-1"} << ""
            << pezzi + QStringList{"Attenzione\nIl numero di prodotti in carrello è negativo o nullo"}
            << viti << nulla;
        QTest::newRow("esaurito, No") << "" << 1 << Risposte{"No"} << "" << QStringList{ESAURITO}
                                      << viti << nulla;
        QTest::newRow("esaurito, Si") << "" << 1 << Risposte{"Si", "=2"} << "" << esaurito << viti
                                      << QStringList{"b-2|1500|2|3000"};
        QTest::newRow("scorta negativa") << "" << 2 << Risposte{"Si", "=1"} << "" << esaurito << viti
                                         << QStringList{"c-3|0|1|0"};
        QTest::newRow("riga vuota") << "" << 3 << Risposte{"Si", "=2"} << "" << esaurito << viti
                                    << nulla;
    }

    void comandi()
    {
        QFETCH(QString, comando);
        QFETCH(int, riga);
        QFETCH(Risposte, risposte);
        QFETCH(QString, blocco);
        QFETCH(QStringList, dialoghi);
        QFETCH(QStringList, righe);
        QFETCH(QStringList, carrello);
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
        QCOMPARE(unite(db_->righe("SELECT codice, prezzo, pezzi, totale FROM carrello")), carrello);
        const QList<int> zona{blocco == QLatin1String("UPDATE") ? 21 : 20};
        QCOMPARE(registro_->zone(), blocco.isEmpty() ? QList<int>{} : zona);
    }
};

QTEST_MAIN(TestAggCarrello)
#include "tst_AggCarrello_frm.moc"
