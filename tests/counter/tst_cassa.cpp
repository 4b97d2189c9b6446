#include "common/formati.h"
#include "counter/VisCarrello_frm.h"
#include "counter/tracciato.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"

#include <QDate>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// Two types, three articles in stock, three of them in the cart.
void preparaNegozio(const DatabaseDiProva &prova)
{
    prova.esegui("UPDATE \"generalità\" SET nome='Ferramenta Bianchi', info1='Via Garibaldi 4'");
    prova.esegui("INSERT INTO tipo (codice) VALUES ('Viti'), ('Colle')");
    prova.esegui("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES"
                 " ('VT-6', 1, 10, 1500), ('VT-8', 1, 2, 2000), ('CL-1', 2, 5, 0)");
    QCOMPARE(AggiungiCarrello("VT-6", 3), EsitoCarrello::Aggiunto);
    QCOMPARE(AggiungiCarrello("VT-8", 4), EsitoCarrello::Aggiunto);
    QCOMPARE(AggiungiCarrello("CL-1", 1), EsitoCarrello::Aggiunto);
}

// The file's bytes: a sale that did not happen leaves them all as they were.
QByteArray istantanea(const DatabaseDiProva &prova)
{
    QFile file(prova.percorso());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Presses Stampa with the answer given to "scaricare i prodotti?".
void stampa(VisCarrello_frm &finestra, RisponditoreDialoghi &risponditore,
            QMessageBox::StandardButton risposta = QMessageBox::Yes)
{
    risponditore.azzera();
    risponditore.premi(risposta);
    QTest::mouseClick(finestra.findChild<QPushButton *>("Command3"), Qt::LeftButton);
}

} // namespace

class TestCassa : public QObject
{
    Q_OBJECT

private slots:
    void venditaCompleta()
    {
        DatabaseDiProva prova;
        preparaNegozio(prova);
        RegistroStampe stampe;
        RisponditoreDialoghi risponditore;
        VisCarrello_frm finestra;

        stampa(finestra, risponditore);

        QCOMPARE(risponditore.testi(),
                 QStringList({"Vuoi scaricare i prodotti dal magazzino?", "Stampa completata"}));
        QCOMPARE(risponditore.visti().first().pulsanti, QMessageBox::Yes | QMessageBox::No);
        const QString oggi = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(prova.righe("SELECT tipo, codice, prezzovendita, prezzoacquisto, pezzi,"
                             " operazione, dataop FROM prodotto ORDER BY id"),
                 QList<QVariantList>({{1, "VT-6", 1500, 0, -3, 2, oggi},
                                      {1, "VT-8", 2000, 0, -4, 2, oggi},
                                      {2, "CL-1", 0, 0, -1, 2, oggi}}));
        QCOMPARE(prova.righe("SELECT codice, pezzi FROM rimanenze ORDER BY codice"),
                 QList<QVariantList>({{"CL-1", 4}, {"VT-6", 7}, {"VT-8", -2}}));
        QCOMPARE(prova.valore("SELECT COUNT(*) FROM carrello").toInt(), 0);
        QCOMPARE(prova.righe("SELECT codice, dataop, totale FROM ricevuta"),
                 QList<QVariantList>({{1, oggi, 12500}}));

        QCOMPARE(stampe.documenti().size(), 1);
        QCOMPARE(stampe.documenti().first().nome, "Ricevuta 1");
        const QStringList righe = stampe.documenti().first().testi();
        QCOMPARE(righe.size(), 13);
        QCOMPARE(righe.at(2), QStringLiteral("Via Garibaldi 4").leftJustified(50) + " Ricevuta n.: 1");
        QCOMPARE(righe.mid(8, 3), QStringList({rigaRicevuta({"VT-6", "Viti", "1.500", "3", "4.500"}),
                                               rigaRicevuta({"VT-8", "Viti", "2.000", "4", "8.000"}),
                                               rigaRicevuta({"CL-1", "Colle", "", "1", ""})}));
        QCOMPARE(righe.at(12), "Elementi: 3      Totale: 12.500");
    }

    // The stock price changes between two additions of the same article: the
    // line keeps its price, and line, window, receipt and stored total agree;
    // the sale leaves the new stock price alone, a purchase still sets it.
    void prezzoCambiatoNelCarrello()
    {
        DatabaseDiProva prova;
        preparaNegozio(prova);
        QVERIFY(CancellaCarrello("VT-8") && CancellaCarrello("CL-1"));
        QVERIFY(AggiornaPrezzo("VT-6", 2400));
        QCOMPARE(AggiungiCarrello("VT-6", 1), EsitoCarrello::Aggiunto);
        RegistroStampe stampe;
        RisponditoreDialoghi risponditore;
        VisCarrello_frm finestra;
        QCOMPARE(finestra.findChild<QLabel *>("Label2")->text(), "6.000");

        stampa(finestra, risponditore);

        const QStringList righe = stampe.documenti().first().testi();
        QCOMPARE(righe.at(8), rigaRicevuta({"VT-6", "Viti", "1.500", "4", "6.000"}));
        QCOMPARE(righe.at(10), "Elementi: 1      Totale: 6.000");
        QCOMPARE(prova.valore("SELECT totale FROM ricevuta").toInt(), 6000);
        QCOMPARE(prova.righe("SELECT prezzovendita, pezzi FROM prodotto"),
                 QList<QVariantList>({{1500, -4}}));
        QCOMPARE(prova.righe("SELECT tipo, pezzi, prezzo FROM rimanenze WHERE codice='VT-6'"),
                 QList<QVariantList>({{1, 6, 2400}}));
        QVERIFY(RegistraProdotto("Colle", "VT-6", 900, 2600, 1, OPERAZIONE_ACQUISTO, QDate::currentDate()));
        QCOMPARE(prova.righe("SELECT tipo, pezzi, prezzo FROM rimanenze WHERE codice='VT-6'"),
                 QList<QVariantList>({{2, 7, 2600}}));
    }

    void numeriMaiRiusati()
    {
        DatabaseDiProva prova;
        preparaNegozio(prova);
        RegistroStampe stampe;
        RisponditoreDialoghi risponditore;
        VisCarrello_frm finestra;
        stampa(finestra, risponditore);
        QVERIFY(CancellaRicevuta(1));
        QCOMPARE(AggiungiCarrello("VT-6", 1), EsitoCarrello::Aggiunto);
        finestra.aggiorna();

        stampa(finestra, risponditore);

        QCOMPARE(prova.valore("SELECT codice FROM ricevuta").toInt(), 2);
        QVERIFY(stampe.documenti().last().testi().at(2).endsWith(" Ricevuta n.: 2"));
    }

    void nienteCambia_data()
    {
        QTest::addColumn<QString>("prima"); // SQL run before Stampa, or a sale made already
        QTest::addColumn<bool>("aggiorna"); // the list refreshed after it
        QTest::addColumn<int>("risposta");
        QTest::addColumn<QString>("messaggio"); // how the message after the question begins
        const int si = QMessageBox::Yes;
        const QString cambiato = QStringLiteral("Il carrello è cambiato dall'ultimo aggiornamento.");
        const QString troppi = "UPDATE carrello SET pezzi=40000 WHERE codice='CL-1'";
        QTest::newRow("risposta No: ricevuta n. 0")
            << "" << false << int(QMessageBox::No) << "Stampa completata";
        // The limits of a sale matter only when something is sold.
        QTest::newRow("risposta No, oltre 32.767 pezzi")
            << troppi << true << int(QMessageBox::No) << "Stampa completata";
        QTest::newRow("oltre 32.767 pezzi") << troppi << true << si << "Il prodotto CL-1 supera";
        QTest::newRow("carrello vuoto") << "DELETE FROM carrello" << true << si
                                        << "Il carrello è vuoto.";
        QTest::newRow("movimento bloccato")
            << "CREATE TRIGGER blocca BEFORE INSERT ON prodotto WHEN NEW.codice='CL-1'"
               " BEGIN SELECT RAISE(ABORT, 'movimento bloccato'); END"
            << false << si << "Si è verificato in zona 1:\n";
        QTest::newRow("scorta bloccata")
            << "CREATE TRIGGER blocca BEFORE UPDATE ON rimanenze WHEN NEW.codice='VT-8'"
               " BEGIN SELECT RAISE(ABORT, 'scorta bloccata'); END"
            << false << si << "Si è verificato in zona 4:\n";
        QTest::newRow("ricevuta bloccata") << "CREATE TRIGGER blocca BEFORE INSERT ON ricevuta"
                                              " BEGIN SELECT RAISE(ABORT, 'ricevuta bloccata'); END"
                                           << false << si << "Si è verificato in zona 13:\n";
        // The list still shows the lines just sold: they must not be sold twice.
        QTest::newRow("elenco già venduto") << "vendita" << false << si << cambiato;
        QTest::newRow("riga aggiunta dopo l'elenco")
            << "INSERT INTO carrello (codice, tipo, prezzo, pezzi, totale)"
               " VALUES ('VT-9', 1, 10, 1, 10)"
            << false << si << cambiato;
        QTest::newRow("pezzi cambiati dopo l'elenco")
            << "UPDATE carrello SET pezzi=5, totale=7500 WHERE codice='VT-6'" << false << si
            << cambiato;
    }

    void nienteCambia()
    {
        QFETCH(QString, prima);
        QFETCH(bool, aggiorna);
        QFETCH(int, risposta);
        QFETCH(QString, messaggio);
        DatabaseDiProva prova;
        preparaNegozio(prova);
        RegistroStampe stampe;
        RisponditoreDialoghi risponditore;
        VisCarrello_frm finestra;
        if (prima == "vendita")
            stampa(finestra, risponditore);
        else if (!prima.isEmpty())
            prova.esegui(prima);
        if (aggiorna)
            finestra.aggiorna();
        const qsizetype stampati = stampe.documenti().size();
        const QByteArray file = istantanea(prova);

        stampa(finestra, risponditore, QMessageBox::StandardButton(risposta));

        QCOMPARE(istantanea(prova), file);
        QCOMPARE(risponditore.testi().size(), 2);
        QVERIFY2(risponditore.testi().at(1).startsWith(messaggio),
                 qPrintable(risponditore.testi().at(1)));
        if (risposta == QMessageBox::Yes) {
            QCOMPARE(stampe.documenti().size(), stampati); // nothing printed
        } else {
            const QStringList righe = stampe.documenti().last().testi();
            QVERIFY(righe.at(2).endsWith(" Ricevuta n.: 0"));
            QCOMPARE(righe.at(12), "Elementi: 3      Totale: 12.500");
        }
    }
};

QTEST_MAIN(TestCassa)
#include "tst_cassa.moc"
