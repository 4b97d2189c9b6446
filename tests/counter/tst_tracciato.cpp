#include "common/formati.h"
#include "counter/stampante_qt.h"
#include "counter/tracciato.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/registro_stampe.h"
#include "support/stampa_di_prova.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace {

QString spazi(int n)
{
    return QString(n, u' ');
}

const QString SEPARATORE(108, QChar(0x2014));

void impostaAzienda(const DatabaseDiProva &db, const DatiAzienda &a)
{
    db.esegui("UPDATE \"generalità\" SET nome=?, info1=?, info2=?, info3=?, info4=?",
              {a.nome, a.info1, a.info2, a.info3, a.info4});
}

// What a listing sends to a recording printer.
std::shared_ptr<DocumentoStampato> registra(const Elenco &e)
{
    auto documento = std::make_shared<DocumentoStampato>();
    StampanteRegistrata stampante(documento);
    stampaElenco(stampante, e);
    return documento;
}

} // namespace

class TestTracciato : public QObject
{
    Q_OBJECT

private slots:
    void testata_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("info1");
        QTest::addColumn<qint64>("numero");
        QTest::addColumn<QString>("prima");
        QTest::addColumn<QString>("seconda");
        const int ricevuta = int(SecondaRiga::Ricevuta);
        const int elenco = int(SecondaRiga::ElencoRicevute);
        const QString data = QStringLiteral(" Data Operazione: 01/02/2003");
        QTest::newRow("nome lungo tagliato a 50, ricevuta")
            << ricevuta << QString(60, u'N') << "Via Roma 1" << qint64(12) << QString(50, u'N') + data
            << "Via Roma 1" + spazi(40) + " Ricevuta n.: 12";
        QTest::newRow("nome corto riempito, ricevuta numero 0")
            << ricevuta << "Bottega Rossi" << "Via Roma 1" << qint64(0)
            << "Bottega Rossi" + spazi(37) + data << "Via Roma 1" + spazi(40) + " Ricevuta n.: 0";
        QTest::newRow("nome e info1 vuoti: 49 spazi")
            << ricevuta << "" << "" << qint64(7) << spazi(49) + data << spazi(49) + " Ricevuta n.: 7";
        QTest::newRow("info1 lunga, elenco ricevute") << elenco << "B" << QString(55, u'I') << qint64(0)
                                                      << "B" + spazi(49) + data << QString(50, u'I');
        QTest::newRow("elenco operazioni: info1 com'è")
            << int(SecondaRiga::ElencoOperazioni) << "B" << QString(55, u'I') << qint64(0)
            << "B" + spazi(49) + data << QString(55, u'I');
    }

    void testata()
    {
        QFETCH(int, tipo);
        QFETCH(QString, nome);
        QFETCH(QString, info1);
        QFETCH(qint64, numero);
        QFETCH(QString, prima);
        QFETCH(QString, seconda);
        QCOMPARE(righeTestata({nome, info1, "  due  ", "", "quattro"}, SecondaRiga(tipo), numero,
                              "01/02/2003"),
                 QStringList({SEPARATORE, prima, seconda, "  due  ", "", "quattro", SEPARATORE}));
    }

    void ricevuta()
    {
        const Elenco e = elencoRicevuta(42, {{"A-100", 1, "VITI", 1500, 3, 4500},
                                             {QString(40, u'C'), 2, QString(20, u'T'), 0, 12, 0}},
                                        4500);
        QCOMPARE(e.intestazione, "Codice articolo" + spazi(20) + "Tipo articolo" + spazi(2) + "Prezzo"
                                     + spazi(4) + "Pezzi" + spazi(4) + "Totale");
        // Code 35 wide, type 15, price 13, pieces 6, total 13; an empty cell is its blanks.
        QCOMPARE(e.righe, QStringList({"A-100" + spazi(30) + "VITI" + spazi(11) + "1.500" + spazi(8)
                                           + "3" + spazi(5) + "4.500" + spazi(8),
                                       QString(35, u'C') + QString(15, u'T') + spazi(13) + "12"
                                           + spazi(4) + spazi(10)}));
        QCOMPARE(e.piede, "Elementi: 2      Totale: 4.500");
        // A field never ends in half an emoji: a blank takes its place.
        QCOMPARE(campoFisso(QString(33, u'X') + "🛒", 32, 35), QString(33, u'X') + "🛒");
        QCOMPARE(campoFisso(QString(34, u'X') + "🛒", 32, 35), QString(34, u'X') + " ");
        const Elenco vuota = elencoRicevuta(43, {}, 0);
        QVERIFY(vuota.righe.isEmpty());
        QCOMPARE(vuota.piede, "Elementi: 0      Totale: 0");
        // Unlike a receipt, the receipts list leaves a zero sum blank.
        QCOMPARE(piedeElencoRicevute(0, 0), "Elementi: 0      Totale: ");
    }

    void stampaElenco()
    {
        DatabaseDiProva db;
        RegistroRapporti rapporti;
        // The company is read again at each printout, not taken from start-up.
        AziendaNome = QStringLiteral("Vecchio nome letto all'avvio");
        impostaAzienda(db, {"Ferramenta Bianchi", "Via Po 3", "10100 Torino", "Tel. 011 123", ""});
        const Elenco e = elencoRicevuta(9, {{"A-1", 1, "VITI", 100, 2, 200}}, 200);
        const auto documento = registra(e);

        QCOMPARE(documento->testi(),
                 QStringList({SEPARATORE,
                              "Ferramenta Bianchi" + spazi(32) + " Data Operazione: " + dataOggi(),
                              "Via Po 3" + spazi(42) + " Ricevuta n.: 9", "10100 Torino",
                              "Tel. 011 123", "", SEPARATORE, e.intestazione, e.righe.first(),
                              SEPARATORE, "Elementi: 1      Totale: 200"}));
        QVERIFY(documento->concluso);
        for (int i = 0; i < documento->righe.size(); ++i) {
            const RigaStampata &r = documento->righe[i];
            QCOMPARE(r.carattere, "Courier New");
            QCOMPARE(r.punti, 10);
            QCOMPARE(r.grassetto, i == 7); // bold only on the heading
        }
        QVERIFY(rapporti.rapporti().isEmpty());

        // A failed read is reported and the printout goes on with what was held.
        QFile::remove(db.percorso());
        const auto secondo = registra(e);
        QCOMPARE(rapporti.zone(), QList<int>{12});
        QCOMPARE(secondo->testi(), documento->testi());
        QVERIFY(secondo->concluso);
    }

    void stampanteVera()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext non installato: la stampa su PDF non si può rileggere");
        DatabaseDiProva db;
        impostaAzienda(db, {"Ferramenta Bianchi", "Via Po 3", "10100 Torino", "", "Tel. 011 123"});
        QList<RigaCarrello> carrello;
        for (int i = 1; i <= 150; ++i)
            carrello.append({QString(i == 1 ? 40 : 5, u'Z') + QString::number(i), 1, "VITI", 1500,
                             i, i == 2 ? 0 : 4500});
        const Elenco e = elencoRicevuta(17, carrello, 4500);
        StampanteQt stampante(e.documento, db.cartella(), StampanteQt::Destinazione::SoloPdf);
        const EsitoStampa esito = ::stampaElenco(stampante, e);
        QCOMPARE(esito.modo, EsitoStampa::Modo::SalvataSenzaStampante);
        QVERIFY(QFileInfo(esito.file).fileName().startsWith("Ricevuta 17 "));
        QCOMPARE(QFileInfo(esito.file).dir().path(), QDir(db.cartella()).path());

        // Every line comes out whole and once, across the pages, in order.
        int pagine = 0;
        QCOMPARE(righePdf(esito.file, &pagine), senzaSpaziFinali(registra(e)->testi()));
        QVERIFY(pagine > 1);
    }
};

QTEST_MAIN(TestTracciato)
#include "tst_tracciato.moc"
