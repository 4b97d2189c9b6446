#include "common/formati.h"
#include "counter/VisCarrello_frm.h"
#include "counter/tracciato.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"

#include <QFile>
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
        const QString oggi = dataInIso(dataOggi());
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

    void carrelloVuotoENumeriMaiRiusati()
    {
        DatabaseDiProva prova;
        RegistroStampe stampe;
        RisponditoreDialoghi risponditore;
        VisCarrello_frm finestra;

        stampa(finestra, risponditore);

        QCOMPARE(prova.valore("SELECT COUNT(*) FROM prodotto").toInt(), 0);
        QCOMPARE(prova.righe("SELECT codice, totale FROM ricevuta"), QList<QVariantList>({{1, 0}}));
        const QStringList righe = stampe.documenti().first().testi();
        QCOMPARE(righe.size(), 10);
        QVERIFY(righe.at(2).endsWith(" Ricevuta n.: 1"));
        QCOMPARE(righe.at(9), "Elementi: 0      Totale: 0");

        // The number of a deleted last receipt is not given again.
        QVERIFY(CancellaRicevuta(1));
        stampa(finestra, risponditore);
        QCOMPARE(prova.valore("SELECT codice FROM ricevuta").toInt(), 2);
        QVERIFY(stampe.documenti().last().testi().at(2).endsWith(" Ricevuta n.: 2"));
    }

    void nienteCambia_data()
    {
        QTest::addColumn<QString>("prima"); // SQL run before Stampa, or a sale made already
        QTest::addColumn<int>("risposta");
        QTest::addColumn<QString>("messaggio"); // how the message after the question begins
        QTest::newRow("risposta No: ricevuta n. 0") << "" << int(QMessageBox::No)
                                                    << "Stampa completata";
        QTest::newRow("tipo cancellato") << "DELETE FROM tipo WHERE codice='Colle'"
                                         << int(QMessageBox::Yes) << "Si è verificato in zona 1:\n";
        QTest::newRow("scorta bloccata")
            << "CREATE TRIGGER blocca BEFORE UPDATE ON rimanenze WHEN NEW.codice='VT-8'"
               " BEGIN SELECT RAISE(ABORT, 'scorta bloccata'); END"
            << int(QMessageBox::Yes) << "Si è verificato in zona 4:\n";
        QTest::newRow("ricevuta bloccata") << "CREATE TRIGGER blocca BEFORE INSERT ON ricevuta"
                                              " BEGIN SELECT RAISE(ABORT, 'ricevuta bloccata'); END"
                                           << int(QMessageBox::Yes) << "Si è verificato in zona 13:\n";
        // The list still shows the lines just sold: they must not be sold twice.
        QTest::newRow("elenco non più attuale") << "vendita" << int(QMessageBox::Yes)
                                                << "Il carrello è cambiato dall'ultimo aggiornamento.";
    }

    void nienteCambia()
    {
        QFETCH(QString, prima);
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
