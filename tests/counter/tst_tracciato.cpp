#include "common/formati.h"
#include "counter/stampante_qt.h"
#include "counter/tracciato.h"
#include "data/database_routines.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"

#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
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
    db.esegui(QStringLiteral("UPDATE \"generalità\" SET nome=?, info1=?, info2=?, info3=?, info4=?"),
              {a.nome, a.info1, a.info2, a.info3, a.info4});
}

} // namespace

class TestTracciato : public QObject
{
    Q_OBJECT

private slots:
    void separatore();
    void campoFisso_data();
    void campoFisso();
    void testata_data();
    void testata();
    void intestazioni();
    void ricevuta_data();
    void ricevuta();
    void elencoRicevute();
    void stampaElenco();
    void stampaElencoRileggeAzienda();
    void messaggi_data();
    void messaggi();
    void fileRiservatiSenzaSovrascrivere();
    void stampanteVera_data();
    void stampanteVera();
    void senzaStampanteSalvaPdf();
    void fileNonScrivibile();
};

void TestTracciato::separatore()
{
    const QString s = lineaSeparatrice();
    QCOMPARE(s.size(), 108);
    QCOMPARE(s.count(QChar(0x2014)), 108);
}

void TestTracciato::campoFisso_data()
{
    QTest::addColumn<QString>("valore");
    QTest::addColumn<int>("spazi");
    QTest::addColumn<int>("larghezza");
    QTest::addColumn<QString>("atteso");
    QTest::newRow("riempito fino alla larghezza") << "ABC" << 32 << 35 << "ABC" + spazi(32);
    QTest::newRow("più corto della larghezza") << "12" << 10 << 13 << "12" + spazi(10);
    QTest::newRow("tagliato") << QString(40, u'X') << 32 << 35 << QString(35, u'X');
    QTest::newRow("vuoto") << "" << 10 << 6 << spazi(6);
    QTest::newRow("vuoto, spazi meno della larghezza") << "" << 49 << 50 << spazi(49);
    QTest::newRow("esatto") << "05/12/2000" << 32 << 12 << "05/12/2000  ";
    QTest::newRow("accenti") << "Caffè" << 30 << 15 << "Caffè" + spazi(10);
    QTest::newRow("emoji intera") << QString(13, u'X') + "🛒" << 30 << 15 << QString(13, u'X') + "🛒";
    QTest::newRow("emoji al taglio") << QString(14, u'X') + "🛒" << 30 << 15
                                     << QString(14, u'X') + spazi(1);
}

void TestTracciato::campoFisso()
{
    QFETCH(QString, valore);
    QFETCH(int, spazi);
    QFETCH(int, larghezza);
    QFETCH(QString, atteso);
    QCOMPARE(::campoFisso(valore, spazi, larghezza), atteso);
}

void TestTracciato::testata_data()
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

void TestTracciato::testata()
{
    QFETCH(int, tipo);
    QFETCH(QString, nome);
    QFETCH(QString, info1);
    QFETCH(qint64, numero);
    QFETCH(QString, prima);
    QFETCH(QString, seconda);
    const QStringList righe = ::righeTestata({nome, info1, "  due  ", "", "quattro"},
                                             SecondaRiga(tipo), numero, "01/02/2003");
    QCOMPARE(righe, QStringList({SEPARATORE, prima, seconda, "  due  ", "", "quattro", SEPARATORE}));
}

void TestTracciato::intestazioni()
{
    QCOMPARE(INTESTAZIONE_RICEVUTA, "Codice articolo" + spazi(20) + "Tipo articolo" + spazi(2)
                                        + "Prezzo" + spazi(4) + "Pezzi" + spazi(4) + "Totale");
    QCOMPARE(INTESTAZIONE_ELENCO_RICEVUTE, "Data" + spazi(8) + "Ricevuta" + spazi(6) + "Totale");
}

void TestTracciato::ricevuta_data()
{
    QTest::addColumn<qint64>("numero");
    QTest::addColumn<QList<QStringList>>("righe");
    QTest::addColumn<QString>("totale");
    QTest::addColumn<QStringList>("attese");
    QTest::addColumn<QString>("piede");

    const QList<QStringList> due = {
        {"A-100", "VITI", "1.500", "3", "4.500"},
        {QString(40, u'C'), QString(20, u'T'), "", "12", ""},
    };
    const QStringList righeAttese = {
        "A-100" + spazi(30) + "VITI" + spazi(11) + "1.500" + spazi(8) + "3" + spazi(5) + "4.500"
            + spazi(8),
        QString(35, u'C') + QString(15, u'T') + spazi(13) + "12" + spazi(4) + spazi(10),
    };
    QTest::newRow("con righe") << qint64(42) << due << "4.500" << righeAttese
                               << "Elementi: 2      Totale: 4.500";
    QTest::newRow("senza righe") << qint64(43) << QList<QStringList>() << "0" << QStringList()
                                 << "Elementi: 0      Totale: 0";
    QTest::newRow("numero 0 dopo un No") << qint64(0) << due.mid(0, 1) << "4.500"
                                         << righeAttese.mid(0, 1)
                                         << "Elementi: 1      Totale: 4.500";
}

void TestTracciato::ricevuta()
{
    QFETCH(qint64, numero);
    QFETCH(QList<QStringList>, righe);
    QFETCH(QString, totale);
    QFETCH(QStringList, attese);
    QFETCH(QString, piede);
    const Elenco e = elencoRicevuta(numero, righe, totale);
    QCOMPARE(e.seconda, SecondaRiga::Ricevuta);
    QCOMPARE(e.numeroRicevuta, numero);
    QCOMPARE(e.intestazione, INTESTAZIONE_RICEVUTA);
    QCOMPARE(e.righe, attese);
    QCOMPARE(e.piede, piede);
    QVERIFY(e.documento.contains(QString::number(numero)));
}

void TestTracciato::elencoRicevute()
{
    QCOMPARE(rigaElencoRicevute("05/12/2000", 1234, 1500000),
             "05/12/2000  " + QStringLiteral("1.234") + spazi(7) + "1.500.000" + spazi(6));
    QCOMPARE(rigaElencoRicevute("05/12/2000", 7, 0), "05/12/2000  " + QStringLiteral("7") + spazi(11)
                                                         + spazi(15));
    QCOMPARE(piedeElencoRicevute(3, 2500), "Elementi: 3      Totale: 2.500");
    QCOMPARE(piedeElencoRicevute(0, 0), "Elementi: 0      Totale: ");
}

void TestTracciato::stampaElenco()
{
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    impostaAzienda(db, {"Ferramenta Bianchi", "Via Po 3", "10100 Torino", "Tel. 011 123", ""});
    const Elenco e = elencoRicevuta(9, {{"A-1", "VITI", "100", "2", "200"}}, "200");

    auto documento = std::make_shared<DocumentoStampato>();
    StampanteRegistrata stampante(documento);
    const EsitoStampa esito = ::stampaElenco(stampante, e);
    QCOMPARE(esito.modo, EsitoStampa::Modo::Stampata);
    QVERIFY(rapporti.rapporti().isEmpty());

    const QStringList attese = {
        SEPARATORE,
        "Ferramenta Bianchi" + spazi(32) + " Data Operazione: " + dataOggi(),
        "Via Po 3" + spazi(42) + " Ricevuta n.: 9",
        "10100 Torino",
        "Tel. 011 123",
        "",
        SEPARATORE,
        INTESTAZIONE_RICEVUTA,
        rigaRicevuta({"A-1", "VITI", "100", "2", "200"}),
        SEPARATORE,
        "Elementi: 1      Totale: 200",
    };
    QCOMPARE(documento->testi(), attese);
    QVERIFY(documento->concluso);
    QCOMPARE(documento->operazioni.mid(0, 2),
             QStringList({"carattere Courier New", "dimensione 10"}));
    QCOMPARE(documento->operazioni.last(), "fine");
    QCOMPARE(documento->operazioni.count("fine"), 1);
    for (int i = 0; i < documento->righe.size(); ++i) {
        const RigaStampata &r = documento->righe[i];
        QCOMPARE(r.carattere, "Courier New");
        QCOMPARE(r.punti, 10);
        QCOMPARE(r.grassetto, i == 7);
    }
    // Bold is switched on just before the heading and off just after it.
    const int intestazione = int(documento->operazioni.indexOf("riga " + INTESTAZIONE_RICEVUTA));
    QCOMPARE(documento->operazioni[intestazione - 1], "grassetto si");
    QCOMPARE(documento->operazioni[intestazione + 1], "grassetto no");
}

void TestTracciato::stampaElencoRileggeAzienda()
{
    DatabaseDiProva db;
    RegistroRapporti rapporti;
    AziendaNome = QStringLiteral("Vecchio nome letto all'avvio");
    impostaAzienda(db, {"Nuovo nome", "", "", "", ""});
    auto documento = std::make_shared<DocumentoStampato>();
    StampanteRegistrata stampante(documento);
    ::stampaElenco(stampante, elencoRicevuta(0, {}, "0"));
    QVERIFY(documento->testi().value(1).startsWith("Nuovo nome "));

    // A failed read is reported and the printout goes on with what was held.
    QFile::remove(db.percorso());
    auto secondo = std::make_shared<DocumentoStampato>();
    StampanteRegistrata altra(secondo);
    ::stampaElenco(altra, elencoRicevuta(0, {}, "0"));
    QCOMPARE(rapporti.zone(), QList<int>{12});
    QVERIFY(secondo->testi().value(1).startsWith("Nuovo nome "));
    QVERIFY(secondo->concluso);
}

void TestTracciato::messaggi_data()
{
    QTest::addColumn<int>("modo");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("completata");
    QTest::newRow("stampata") << int(EsitoStampa::Modo::Stampata) << "" << true;
    QTest::newRow("senza stampante") << int(EsitoStampa::Modo::SalvataSenzaStampante)
                                     << "/tmp/x/Elenco ricevute 2024.pdf" << false;
    QTest::newRow("stampante in errore") << int(EsitoStampa::Modo::SalvataDopoErrore)
                                         << "/tmp/x/Ricevuta 3 2024.pdf" << false;
    QTest::newRow("fallita") << int(EsitoStampa::Modo::Fallita) << "/tmp/x/Ricevuta 3.pdf" << false;
}

void TestTracciato::messaggi()
{
    QFETCH(int, modo);
    QFETCH(QString, file);
    QFETCH(bool, completata);
    DatabaseDiProva db;
    RegistroStampe stampe;
    RisponditoreDialoghi risposte;
    stampe.esitoSeguente({EsitoStampa::Modo(modo), file});
    const EsitoStampa esito = stampaEAvvisa(nullptr, elencoRicevuta(1, {}, "0"));
    QCOMPARE(int(esito.modo), modo);
    QCOMPARE(risposte.visti().size(), 1);
    const QString testo = risposte.visti().first().testo;
    QCOMPARE(testo == "Stampa completata", completata);
    if (!completata) {
        QVERIFY2(testo.contains(QDir::toNativeSeparators(file)), qPrintable(testo));
        QVERIFY(!testo.contains("Stampa completata"));
    }
    QCOMPARE(risposte.visti().first().pulsanti, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(risposte.visti().first().titolo, "Vorendi");
    QCOMPARE(stampe.documenti().size(), 1);
    QCOMPARE(stampe.documenti().first().nome, "Ricevuta 1");
}

void TestTracciato::fileRiservatiSenzaSovrascrivere()
{
    QTemporaryDir cartella;
    const QString primo = StampanteQt::riservaFilePdf(cartella.path(), "Elenco ricevute");
    QVERIFY(!primo.isEmpty());
    QFile file(primo);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("stampa precedente");
    file.close();
    const QString secondo = StampanteQt::riservaFilePdf(cartella.path(), "Elenco ricevute");
    QVERIFY(!secondo.isEmpty());
    QVERIFY(secondo != primo);
    QVERIFY(QFileInfo(primo).fileName().startsWith("Elenco ricevute "));
    QVERIFY(secondo.endsWith(".pdf"));
    QFile letto(primo);
    QVERIFY(letto.open(QIODevice::ReadOnly));
    QCOMPARE(letto.readAll(), QByteArray("stampa precedente"));
    QCOMPARE(QFileInfo(StampanteQt::riservaFilePdf(cartella.path(), "a/b:c")).dir().path(),
             QDir(cartella.path()).path());
}

namespace {

// The text of a PDF as laid out on a 6-point grid, the pitch of 10-point
// Courier; empty when the tool is missing.
QString testoPdf(const QString &percorso)
{
    QProcess p;
    p.start("pdftotext", {"-layout", "-fixed", "6", percorso, "-"});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The lines of one page, trailing blanks and the page's own left indent
// taken away, blank lines kept.
QStringList righePagina(const QString &pagina)
{
    QStringList righe = pagina.split(u'\n');
    while (!righe.isEmpty() && righe.last().trimmed().isEmpty())
        righe.removeLast();
    while (!righe.isEmpty() && righe.first().trimmed().isEmpty())
        righe.removeFirst();
    qsizetype rientro = std::numeric_limits<qsizetype>::max();
    for (const QString &r : righe) {
        if (r.trimmed().isEmpty())
            continue;
        qsizetype i = 0;
        while (i < r.size() && r[i] == u' ')
            ++i;
        rientro = std::min(rientro, i);
    }
    for (QString &r : righe) {
        r = r.mid(rientro);
        while (r.endsWith(u' '))
            r.chop(1);
    }
    return righe;
}

QStringList senzaSpaziFinali(QStringList righe)
{
    for (QString &r : righe) {
        while (r.endsWith(u' '))
            r.chop(1);
    }
    return righe;
}

} // namespace

void TestTracciato::stampanteVera_data()
{
    QTest::addColumn<int>("righe");
    QTest::addColumn<bool>("piuPagine");
    QTest::newRow("una pagina") << 3 << false;
    QTest::newRow("più pagine") << 150 << true;
}

void TestTracciato::stampanteVera()
{
    QFETCH(int, righe);
    QFETCH(bool, piuPagine);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext non installato: la stampa su PDF non si può rileggere");
    DatabaseDiProva db;
    impostaAzienda(db, {"Ferramenta Bianchi", "Via Po 3", "10100 Torino", "", "Tel. 011 123"});
    QList<QStringList> carrello;
    for (int i = 1; i <= righe; ++i)
        carrello.append({QString(i == 1 ? 40 : 5, u'Z') + QString::number(i), "VITI", "1.500",
                         QString::number(i), i == 2 ? "" : "4.500"});
    const Elenco e = elencoRicevuta(17, carrello, "4.500");
    StampanteQt stampante(e.documento, db.cartella(), StampanteQt::Destinazione::SoloPdf);
    const EsitoStampa esito = ::stampaElenco(stampante, e);
    QCOMPARE(esito.modo, EsitoStampa::Modo::SalvataSenzaStampante);
    QVERIFY(QFileInfo(esito.file).fileName().startsWith("Ricevuta 17 "));
    QCOMPARE(QFileInfo(esito.file).dir().path(), QDir(db.cartella()).path());

    // Every line comes out whole and once, across the pages, in order.
    const QStringList lette = testoPdf(esito.file).split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(lette.size() > 1, piuPagine);
    QStringList righeLette;
    for (const QString &pagina : lette)
        righeLette += righePagina(pagina);
    auto documento = std::make_shared<DocumentoStampato>();
    StampanteRegistrata registrata(documento);
    ::stampaElenco(registrata, e);
    QCOMPARE(righeLette, senzaSpaziFinali(documento->testi()));
}

void TestTracciato::senzaStampanteSalvaPdf()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("una stampante è installata: la stampa andrebbe su carta");
    DatabaseDiProva db;
    RisponditoreDialoghi risposte;
    const EsitoStampa esito = stampaEAvvisa(nullptr, elencoRicevuta(0, {}, "0"));
    QCOMPARE(esito.modo, EsitoStampa::Modo::SalvataSenzaStampante);
    QVERIFY(QFileInfo(esito.file).size() > 0);
    QCOMPARE(QFileInfo(esito.file).dir().path(), QDir(db.cartella()).path());
    QCOMPARE(risposte.testi(),
             QStringList("Nessuna stampante installata.\nLa stampa è stata salvata nel file:\n"
                         + QDir::toNativeSeparators(esito.file)));
}

void TestTracciato::fileNonScrivibile()
{
    DatabaseDiProva db;
    const QString cartella = QDir(db.cartella()).filePath("non esiste");
    StampanteQt stampante("Elenco ricevute", cartella, StampanteQt::Destinazione::SoloPdf);
    const EsitoStampa esito = ::stampaElenco(stampante, elencoRicevuta(0, {}, "0"));
    QCOMPARE(esito.modo, EsitoStampa::Modo::Fallita);
    QVERIFY(!QDir(cartella).exists());
    QVERIFY(esito.file.startsWith(cartella));
    const QString messaggio = messaggioEsito(esito);
    QVERIFY(messaggio.startsWith("Stampa non riuscita."));
    QVERIFY(!messaggio.contains("Stampa completata"));
}

QTEST_MAIN(TestTracciato)
#include "tst_tracciato.moc"
