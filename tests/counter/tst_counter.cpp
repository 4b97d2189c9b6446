#include "common/formati.h"
#include "counter/Ricevute_frm.h"
#include "counter/VisCarrello_frm.h"
#include "counter/tracciato.h"
#include "data/database_routines.h"
#include "support/banco.h"

#include <QLineEdit>
#include <QTest>

using Righe = QList<QVariantList>;

namespace {

const QString SEP(108, QChar(0x2014));

QString sp(int n)
{
    return QString(n, u' ');
}

// VT-6, VT-8 and CL-1 in stock and in the cart.
void preparaCassa(const Banco &b)
{
    b.esegui("UPDATE \"generalità\" SET nome='Ferramenta Bianchi', info1='Via Garibaldi 4'");
    b.esegui("INSERT INTO tipo (codice) VALUES ('Viti'), ('Colle')");
    b.esegui("INSERT INTO rimanenze VALUES ('VT-6', 1, 10, 1500), ('VT-8', 1, 2, 2000), ('CL-1', 2, 5, 0)");
    b.esegui("INSERT INTO carrello VALUES ('VT-6', 1, 1500, 3, 4500), ('VT-8', 1, 2000, 4, 8000),"
             " ('CL-1', 2, 0, 1, 0)");
}

} // namespace

class TestCounter : public QObject
{
    Q_OBJECT

private slots:
    // A line keeps the price it was put in at; window, receipt, stored total
    // and movements agree; a receipt number is never given twice.
    void vendita()
    {
        Banco b;
        preparaCassa(b);
        QVERIFY(AggiornaPrezzo("VT-6", 2400));
        QCOMPARE(AggiungiCarrello("vt-6", 1), EsitoCarrello::Aggiunto);
        VisCarrello_frm f;
        QCOMPARE(etichetta(f, "Label1") + '|' + etichetta(f, "Label2"), "3|14.000");
        b.rispondi({"Si", "Ok"});
        // Sold a moment before midnight: the stored and the printed day are the same.
        int letture = 0;
        const Orologio sistema = installaOrologio([&] { return QDate(2026, 12, 31).addDays(letture++ > 0); });
        premi(f, "Command3");
        installaOrologio(sistema);
        QCOMPARE(b.testi(), QStringList({"Vuoi scaricare i prodotti dal magazzino?", "Stampa completata"}));
        // The stored sale is the routine's table's; here the receipt must agree with it.
        QCOMPARE(b.righe("SELECT * FROM ricevuta"), Righe({{1, "2026-12-31", 14000}}));
        QCOMPARE(b.stampe().first().nome, "Ricevuta 1");
        const QStringList righe = b.stampe().first().testi();
        QCOMPARE(righe.mid(1, 2), QStringList({"Ferramenta Bianchi" + sp(32) + " Data Operazione: 31/12/2026",
                                               "Via Garibaldi 4" + sp(35) + " Ricevuta n.: 1"}));
        // Code 35, type 15, price 13, pieces 6, total 13: an empty cell is its blanks.
        QCOMPARE(righe.mid(7), QStringList({"Codice articolo" + sp(20) + "Tipo articolo  Prezzo    Pezzi    Totale",
                                            "VT-6" + sp(31) + "Viti" + sp(11) + "1.500" + sp(8) + "4" + sp(5)
                                                + "6.000" + sp(8),
                                            "VT-8" + sp(31) + "Viti" + sp(11) + "2.000" + sp(8) + "4" + sp(5)
                                                + "8.000" + sp(8),
                                            "CL-1" + sp(31) + "Colle" + sp(10) + sp(13) + "1" + sp(5) + sp(10),
                                            SEP, "Elementi: 3      Totale: 14.000"}));
        QVERIFY(CancellaRicevuta(1));
        QCOMPARE(AggiungiCarrello("VT-6", 1), EsitoCarrello::Aggiunto);
        f.aggiorna();
        b.rispondi({"Si", "Ok"});
        premi(f, "Command3");
        QCOMPARE(b.valore("SELECT codice FROM ricevuta").toInt(), 2);
        QVERIFY(b.stampe().last().testi().at(2).endsWith(" Ricevuta n.: 2"));
    }

    // A checkout that cannot sell exactly what was listed writes nothing.
    void nienteCambia_data()
    {
        QTest::addColumn<QString>("prima"); // SQL run before Stampa, or a sale made already
        QTest::addColumn<QString>("risposta");
        QTest::addColumn<QString>("atteso"); // how the second message begins, or the zone
        const QString troppi = "UPDATE carrello SET pezzi=40000 WHERE codice='CL-1'";
        const QString limiti = "Il prodotto CL-1 supera i limiti di una vendita (al massimo 32.767 pezzi a 2.147.483.647"
                               " lire).\nRidurre i pezzi nel carrello e riprovare.";
        const QString cambiato = "Il carrello è cambiato dall'ultimo aggiornamento.\nPremere \"Aggiorna\" e ricontrollare"
                                 " prima di stampare.";
        QTest::newRow("No: ricevuta n. 0") << "" << "No" << "Stampa completata";
        QTest::newRow("No, oltre 32.767 pezzi") << troppi << "No" << "Stampa completata";
        QTest::newRow("oltre 32.767 pezzi") << troppi << "Si" << limiti;
        QTest::newRow("carrello vuoto") << "DELETE FROM carrello" << "Si" << "Il carrello è vuoto.";
        QTest::newRow("ricevuta bloccata") << "CREATE TRIGGER b BEFORE INSERT ON ricevuta BEGIN SELECT RAISE(ABORT, 'no'); END"
                                           << "Si" << "zona 13";
        QTest::newRow("elenco già venduto") << "vendita" << "Si" << "Il carrello è vuoto.";
        QTest::newRow("riga aggiunta") << "INSERT INTO carrello VALUES ('X', 1, 1, 1, 1)" << "Si" << cambiato;
    }

    void nienteCambia()
    {
        QFETCH(QString, prima);
        QFETCH(QString, risposta);
        QFETCH(QString, atteso);
        Banco b;
        preparaCassa(b);
        VisCarrello_frm f;
        if (prima == "vendita")
            premi(f, b, "Command3", -1, {"Si", "Ok"});
        else if (!prima.isEmpty())
            b.esegui(prima);
        // The limits and an empty cart are seen on a refreshed list.
        if (prima.contains("40000") || prima.startsWith("DELETE"))
            f.aggiorna();
        const QByteArray file = b.byte();
        premi(f, b, "Command3", -1, atteso.startsWith("zona ") ? QStringList{risposta} : QStringList{risposta, "Ok"});
        QVERIFY(b.byte() == file);
        if (atteso.startsWith("zona "))
            QCOMPARE(b.zone(), QList<int>{atteso.mid(5).toInt()});
        else
            QCOMPARE(b.testi().value(1), atteso);
        QCOMPARE(b.stampe().size(), qsizetype((prima == "vendita") + (risposta == "No")));
        if (risposta == "No") {
            QVERIFY(b.stampe().last().testi().at(2).endsWith(" Ricevuta n.: 0"));
            QCOMPARE(b.stampe().last().testi().last(), "Elementi: 3      Totale: 12.500");
        }
    }

    // By type, then price; a deleted type and a price of 0 show empty; totals
    // are price times pieces in 64 bits, not the stored ones. Cancella asks
    // about the current line, the last one when none was chosen.
    void carrello()
    {
        Banco b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti'), ('Dadi'), ('Chiodi')");
        b.esegui("INSERT INTO carrello VALUES ('V-caro', 1, 2500, 3, 1), ('V-eco', 1, 300, 3, 1),"
                 " ('D-1', 2, 100, 1003, 1), ('orfano', 9, 2000000000, 3, 1), ('zero', 3, 0, 3, 1)");
        VisCarrello_frm f;
        QCOMPARE(griglia(f), QStringList({"V-eco|Viti|300|3|900", "V-caro|Viti|2.500|3|7.500",
                                          "D-1|Dadi|100|1.003|100.300", "zero|Chiodi||3|",
                                          "orfano||2.000.000.000|3|6.000.000.000", "||||"}));
        QCOMPARE(etichetta(f, "Label1") + '|' + etichetta(f, "Label2"), "5|6.000.108.700");
        for (const auto &[riga, risposta, codice] : {std::tuple{-1, "Si", "orfano"}, {4, "Si", ""},
                                                     {1, "No", "V-caro"}, {1, "Si", "V-caro"}}) {
            premi(f, b, "Command2", riga, {risposta});
            QCOMPARE(b.testi(), QStringList{"Si sta tentando di cancellare il prodotto:\n" + QString(codice)
                                            + "\nContinuare?"});
            QCOMPARE(b.visti.first().predefinito, QMessageBox::No);
        }
        QCOMPARE(griglia(f).size(), 4);
        QCOMPARE(etichetta(f, "Label1") + '|' + etichetta(f, "Label2"), "3|101.200");
        QCOMPARE(b.valore("SELECT count(*) FROM carrello").toInt(), 3);
        QVERIFY(b.rapporti.isEmpty());
    }

    // Values no 64-bit sum holds, or no whole number, are reported, never
    // shown wrapped; an addition that would overflow adds nothing.
    void valoriFuoriMisura_data()
    {
        QTest::addColumn<QString>("carrello");
        QTest::addColumn<int>("zona");
        QTest::newRow("riga oltre i 64 bit") << "('A', 1, 4611686018427387904, 2, 0)" << 9;
        QTest::newRow("somma oltre") << "('A', 1, 4611686018427387904, 1, 0), ('B', 1, 4611686018427387904, 1, 0)" << 9;
        QTest::newRow("prezzo non intero") << "('A', 1, 2.5, 2, 5)" << 9;
        QTest::newRow("pezzi oltre i 64 bit") << "('A', 1, 1, 1e20, 0)" << 9;
        QTest::newRow("tipo oltre i 32 bit") << "('A', 4294967296, 1, 1, 1)" << 9;
        QTest::newRow("aggiunta oltre i 64 bit") << "" << 5;
    }

    void valoriFuoriMisura()
    {
        QFETCH(QString, carrello);
        QFETCH(int, zona);
        Banco b;
        b.esegui("INSERT INTO rimanenze (codice, tipo, prezzo) VALUES ('A', 1, 4611686018427387904)");
        if (!carrello.isEmpty())
            b.esegui("INSERT INTO carrello VALUES " + carrello);
        VisCarrello_frm f;
        if (carrello.isEmpty())
            QCOMPARE(AggiungiCarrello("A", 2), EsitoCarrello::Errore);
        QCOMPARE(b.zone(), QList<int>{zona});
        // Nothing listed rather than a wrapped figure.
        QCOMPARE(griglia(f) << etichetta(f, "Label1") << etichetta(f, "Label2"), QStringList({"||||", "0", "0"}));
        QCOMPARE(b.valore("SELECT count(*) FROM carrello").toInt(), carrello.count(u'('));
    }

    // Listed by date and number once "Aggiorna" is pressed; a refused day
    // changes nothing; deleted and printed from the rows as listed.
    void ricevute()
    {
        Banco b;
        b.esegui("INSERT INTO ricevuta VALUES (4, '2000-12-05', 1500), (2, '2000-12-31', 0),"
                 " (1234, '2000-12-05', 2500000), (3, '1999-01-10', 700), (7, '2000-02-30', 1)");
        Ricevute_frm f;
        QCOMPARE(griglia(f), QStringList{"||"});
        const auto filtra = [&](const QString &giorno, const QStringList &risposte = {}) {
            elemento(f, "Text1")->setText(giorno);
            premi(f, b, "Command1", -1, risposte);
            return griglia(f);
        };
        QCOMPARE(filtra("05/12/2000"), QStringList({"05/12/2000|4|1.500", "05/12/2000|1.234|2.500.000", "||"}));
        QCOMPARE(filtra("30/02/2000", {"Ok"}), QStringList({"05/12/2000|4|1.500", "05/12/2000|1.234|2.500.000", "||"}));
        QCOMPARE(b.testi(), QStringList{"Data non corretta\ndigitarla nel seguente modo GG/MM/AAAA"});
        QStringList righe = filtra("");
        QCOMPARE(righe, QStringList({"10/01/1999|3|700", "|7|1", "05/12/2000|4|1.500", "05/12/2000|1.234|2.500.000",
                                     "31/12/2000|2|", "||"}));
        for (const auto &[riga, risposta, numero] : {std::tuple{2, "No", "4"}, {5, "Si", ""}, {3, "Si", "1.234"},
                                                     {1, "Si", "7"}}) {
            premi(f, b, "Command2", riga, {risposta});
            QCOMPARE(b.testi(), QStringList{"Si sta tentando di cancellare la ricevuta n.:\n" + QString(numero)
                                            + "\nIl magazzino e le altre registrazioni non vengono modificati.\nContinuare?"});
            QCOMPARE(b.visti.first().predefinito, QMessageBox::No);
        }
        righe.removeAt(3);
        righe.removeAt(1);
        QCOMPARE(griglia(f), righe);
        premi(f, b, "Command3", -1, {"Ok"});
        QCOMPARE(b.stampe().first().testi().mid(7),
                 QStringList({"Data        Ricevuta      Totale", "10/01/1999  3" + sp(11) + "700" + sp(12),
                              "05/12/2000  4" + sp(11) + "1.500" + sp(10), "31/12/2000  2" + sp(26), SEP,
                              "Elementi: 3      Totale: 2.200"}));
        QCOMPARE(b.testi(), QStringList{"Stampa completata"});
        b.guasta(true);
        premi(f, b, "Command2", 0, {"Si"});
        QCOMPARE(b.zone(), QList<int>{15});
        QCOMPARE(griglia(f), righe); // the row stays
    }

    // The heading: the name cut or padded to 50, the second line by listing;
    // the company read at each printout, what was held when that fails.
    void testata()
    {
        Banco b;
        preparaCassa(b);
        const QString data = " Data Operazione: 01/02/2003";
        const DatiAzienda lungo{QString(60, u'N'), QString(55, u'I'), "  due  ", "", "quattro"};
        QCOMPARE(righeTestata(lungo, SecondaRiga::Ricevuta, 12, "01/02/2003"),
                 QStringList({SEP, QString(50, u'N') + data, QString(50, u'I') + " Ricevuta n.: 12", "  due  ", "",
                              "quattro", SEP}));
        QCOMPARE(righeTestata({}, SecondaRiga::Ricevuta, 0, "01/02/2003").mid(1, 2),
                 QStringList({sp(49) + data, sp(49) + " Ricevuta n.: 0"}));
        QCOMPARE(righeTestata(lungo, SecondaRiga::ElencoRicevute, 0, "").at(2), QString(50, u'I'));
        QCOMPARE(righeTestata(lungo, SecondaRiga::ElencoOperazioni, 0, "").at(2), QString(55, u'I'));
        QCOMPARE(campoFisso(QString(34, u'X') + "🛒", 32, 35), QString(34, u'X') + " ");
        QCOMPARE(piedeElencoRicevute(0, 0), "Elementi: 0      Totale: ");
        AziendaNome = "Letto all'avvio";
        const Elenco e = elencoRicevuta(9, {{"A", 1, "V", 1, 1, 1}}, 1, QDate(2003, 2, 1));
        for (int volta = 0; volta < 2; ++volta) {
            stampaElenco(*nuovaStampante("Ricevuta 9"), e, generalitaDaStampare());
            const DocumentoStampato d = b.stampe().last();
            QCOMPARE(d.testi().at(1), "Ferramenta Bianchi" + sp(32) + data);
            QCOMPARE(d.testi().mid(7), QStringList({e.intestazione}) + e.righe + QStringList({SEP, e.piede}));
            for (int i = 0; i < d.righe.size(); ++i)
                QCOMPARE(d.righe[i].carattere + QString::number(d.righe[i].punti) + (d.righe[i].grassetto ? "G" : ""),
                         i == 7 ? "Courier New10G" : "Courier New10");
            QVERIFY(d.concluso && b.zone() == QList<int>(volta, 12));
            if (volta == 0)
                b.guasta(true);
        }
    }
};

QTEST_MAIN(TestCounter)
#include "tst_counter.moc"
