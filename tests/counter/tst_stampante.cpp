#include "counter/stampante_qt.h"
#include "counter/tracciato.h"
#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"
#include "support/registro_stampe.h"
#include "support/risponditore_dialoghi.h"
#include "support/stampa_di_prova.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

// The real printer: what reaches the print system, what is kept as a file,
// and what the closing message says, on a print server of the test's own and
// with a disk that fills up or a program killed on the way.

namespace {

// A receipt longer than a page.
Elenco ricevuta()
{
    QList<RigaCarrello> carrello;
    for (int i = 1; i <= 60; ++i)
        carrello.append({QStringLiteral("ART-%1").arg(i), 1, "VITI", 1500, 2, 3000});
    return elencoRicevuta(17, carrello, 180000);
}

// The lines the listing sends to the printer, as a PDF reads them back.
QStringList righeAttese(const Elenco &e)
{
    auto documento = std::make_shared<DocumentoStampato>();
    StampanteRegistrata registratore(documento);
    stampaElenco(registratore, e);
    return senzaSpaziFinali(documento->testi());
}

QString salvataNel(const QString &file)
{
    return QStringLiteral("La stampa è stata salvata nel file:\n") + QDir::toNativeSeparators(file);
}

QString nonAccettata(const QString &motivo, const QString &file)
{
    return QStringLiteral("La stampante non ha accettato la stampa (%1).\n").arg(motivo)
        + salvataNel(file);
}

} // namespace

class TestStampante : public QObject
{
    Q_OBJECT

    SenzaStampantiDelSistema isolamento_;

private slots:
    void invio_data();
    void invio();
    void fileNuoviSenzaSovrascrivere();
    void cartellaInesistente();
    void senzaServerDiStampa();
    void guasti_data();
    void guasti();
    void serverDiStampa_data();
    void serverDiStampa();
};

void TestStampante::invio_data()
{
    QTest::addColumn<int>("stato");   // what the print system answers
    QTest::addColumn<int>("lavoro");  // the job number it gives
    QTest::addColumn<QString>("motivo");
    QTest::addColumn<bool>("soloPdf");
    QTest::addColumn<int>("modo");
    QTest::addColumn<QString>("inizio"); // the message, up to the file name
    using S = EsitoInvio::Stato;
    using M = EsitoStampa::Modo;
    const QString salvata = QStringLiteral("La stampa è stata salvata nel file:\n");
    QTest::newRow("accettata") << int(S::Accettata) << 7 << "" << false << int(M::Stampata)
                               << "Stampa completata";
    QTest::newRow("non accetta") << int(S::Rifiutata) << 7
                                 << "La destinazione \"Ufficio\" non sta accettando le stampe."
                                 << false << int(M::SalvataDopoErrore)
                                 << "La stampante non ha accettato la stampa (La destinazione "
                                    "\"Ufficio\" non sta accettando le stampe).\n" + salvata;
    QTest::newRow("coda inesistente") << int(S::Rifiutata) << 7
                                      << "Non esiste la stampante o la classe." << false << int(M::SalvataDopoErrore)
                                      << "La stampante non ha accettato la stampa (Non esiste la "
                                         "stampante o la classe).\n" + salvata;
    // A job without a number is no job the print system took.
    QTest::newRow("accettata senza numero") << int(S::Accettata) << 0 << "" << false
                                            << int(M::SalvataDopoErrore)
                                            << "La stampante non ha accettato la stampa.\n" + salvata;
    QTest::newRow("nessuna stampante") << int(S::NessunaStampante) << 7 << "" << false
                                       << int(M::SalvataSenzaStampante)
                                       << "Nessuna stampante installata.\n" + salvata;
    QTest::newRow("solo PDF: la coda non è interpellata")
        << int(S::Accettata) << 7 << "" << true << int(M::SalvataSenzaStampante)
        << "Nessuna stampante installata.\n" + salvata;
}

void TestStampante::invio()
{
    QFETCH(int, stato);
    QFETCH(int, lavoro);
    QFETCH(QString, motivo);
    QFETCH(bool, soloPdf);
    QFETCH(int, modo);
    QFETCH(QString, inizio);
    QTemporaryDir cartella;
    QStringList titoli;
    QByteArray inviato;
    StampanteQt stampante(
        "Ricevuta 17", cartella.path(),
        soloPdf ? StampanteQt::Destinazione::SoloPdf : StampanteQt::Destinazione::Predefinita,
        [&](const QString &titolo, const QByteArray &pdf) {
            titoli.append(titolo);
            inviato = pdf;
            return EsitoInvio{EsitoInvio::Stato(stato), lavoro, motivo};
        });
    stampante.impostaCarattere(CARATTERE_STAMPA);
    stampante.stampaRiga("Riga unica");
    const EsitoStampa esito = stampante.fineDocumento();

    QCOMPARE(int(esito.modo), modo);
    QCOMPARE(titoli, soloPdf ? QStringList() : QStringList{"Ricevuta 17"});
    QCOMPARE(messaggioEsito(esito), inizio + QDir::toNativeSeparators(esito.file));
    if (esito.modo == EsitoStampa::Modo::Stampata) {
        QVERIFY(inviato.startsWith("%PDF-"));
        QVERIFY(contenutoCartella(cartella.path()).isEmpty());
        return;
    }
    // The file kept is the very document the printer was offered, whole.
    QCOMPARE(contenutoCartella(cartella.path()), QStringList{QFileInfo(esito.file).fileName()});
    QVERIFY(QFileInfo(esito.file).fileName().startsWith("Ricevuta 17 "));
    const QByteArray salvato = byteDelFile(esito.file);
    QVERIFY(salvato.startsWith("%PDF-") && salvato.trimmed().endsWith("%%EOF"));
    if (!soloPdf)
        QCOMPARE(salvato, inviato);
}

void TestStampante::fileNuoviSenzaSovrascrivere()
{
    QTemporaryDir cartella;
    // Other printouts already hold the names of this second and the next.
    const QDateTime adesso = QDateTime::currentDateTime();
    QStringList altri;
    for (int s = 0; s <= 1; ++s) {
        altri.append(QDir(cartella.path()).filePath(
            "Elenco ricevute " + adesso.addSecs(s).toString("yyyy-MM-dd HH.mm.ss") + ".pdf"));
        QFile file(altri.last());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("stampa precedente") > 0);
    }
    QString primo, secondo, terzo;
    QVERIFY(StampanteQt::salvaPdf(cartella.path(), "Elenco ricevute", "uno", &primo));
    QVERIFY(StampanteQt::salvaPdf(cartella.path(), "Elenco ricevute", "due", &secondo));
    QVERIFY(QFileInfo(primo).fileName().startsWith("Elenco ricevute "));
    QVERIFY(!altri.contains(primo) && !altri.contains(secondo) && primo != secondo);
    QCOMPARE(byteDelFile(primo), "uno");
    QCOMPARE(byteDelFile(secondo), "due");
    for (const QString &altro : altri)
        QCOMPARE(byteDelFile(altro), "stampa precedente");
    // A name with separators stays in the folder.
    QVERIFY(StampanteQt::salvaPdf(cartella.path(), "a/b:c", "tre", &terzo));
    QCOMPARE(QFileInfo(terzo).dir().path(), QDir(cartella.path()).path());
    QCOMPARE(contenutoCartella(cartella.path()).size(), 5);
}

void TestStampante::cartellaInesistente()
{
    QTemporaryDir base;
    const QString cartella = QDir(base.path()).filePath("non esiste");
    StampanteQt stampante("Elenco ricevute", cartella, StampanteQt::Destinazione::SoloPdf);
    stampante.stampaRiga("Riga unica");
    const EsitoStampa esito = stampante.fineDocumento();
    QCOMPARE(esito.modo, EsitoStampa::Modo::Fallita);
    QVERIFY(QFileInfo(esito.file).fileName().startsWith("Elenco ricevute "));
    QCOMPARE(messaggioEsito(esito),
             "Stampa non riuscita.\nNon è stato possibile salvarla nel file:\n"
                 + QDir::toNativeSeparators(esito.file));
    QVERIFY(esito.file.startsWith(cartella));
    QVERIFY(!QDir(cartella).exists());
}

void TestStampante::senzaServerDiStampa()
{
    // libcups finds no print server at all: the printout is kept in the
    // working directory, and the user told where.
    DatabaseDiProva db;
    RisponditoreDialoghi risposte;
    const EsitoStampa esito = stampaEAvvisa(nullptr, elencoRicevuta(0, {}, 0));
    QCOMPARE(esito.modo, EsitoStampa::Modo::SalvataSenzaStampante);
    QVERIFY(QFileInfo(esito.file).size() > 0);
    QCOMPARE(QFileInfo(esito.file).dir().path(), QDir(db.cartella()).path());
    QCOMPARE(risposte.testi(), QStringList{"Nessuna stampante installata.\n" + salvataNel(esito.file)});
}

void TestStampante::guasti_data()
{
    QTest::addColumn<QStringList>("argomenti"); // the helper's, after the folder
    QTest::addColumn<QString>("attesa");        // the line to wait for
    QTest::addColumn<bool>("uccidi");           // SIGKILL once it is seen
    QTest::addColumn<QString>("esito");         // its last line; empty when it never ends
    QTest::addColumn<bool>("file");             // one whole file left
    const QString salvata = QStringLiteral("esito %1").arg(int(EsitoStampa::Modo::SalvataSenzaStampante));
    const QString fallita = QStringLiteral("esito %1").arg(int(EsitoStampa::Modo::Fallita));
    QTest::newRow("spazio sufficiente") << QStringList{"stampa", "300", "0"} << "disegno" << false
                                        << salvata << true;
    // A file may not grow past 4,096 bytes: the disk is full.
    QTest::newRow("disco pieno") << QStringList{"stampa", "300", "4096"} << "disegno" << false
                                 << fallita << false;
    QTest::newRow("ucciso mentre scrive il file")
        << QStringList{"salva", "4096"} << "scrivo" << false << "" << false;
    QTest::newRow("ucciso mentre disegna")
        << QStringList{"stampa", "100000", "0"} << "disegno" << true << "" << false;
}

void TestStampante::guasti()
{
    QFETCH(QStringList, argomenti);
    QFETCH(QString, attesa);
    QFETCH(bool, uccidi);
    QFETCH(QString, esito);
    QFETCH(bool, file);
    QTemporaryDir cartella;
    argomenti.insert(1, cartella.path());
    ProcessoProva processo(argomenti);
    QVERIFY(processo.attendi(attesa));
    if (uccidi)
        QVERIFY2(processo.uccidi(), "the helper had ended before it could be killed");
    const bool finito = processo.finisci();
    QCOMPARE(finito, !esito.isEmpty());
    if (finito)
        QCOMPARE(processo.righe().last(), esito);
    const QStringList lasciati = contenutoCartella(cartella.path());
    QCOMPARE(lasciati.size(), file ? 1 : 0);
    if (file) {
        const QByteArray pdf = byteDelFile(QDir(cartella.path()).filePath(lasciati.first()));
        QVERIFY(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"));
    }
}

void TestStampante::serverDiStampa_data()
{
    QTest::addColumn<QList<QStringList>>("comandi"); // on the queue before the printout
    QTest::addColumn<QString>("lpdest");
    QTest::addColumn<int>("modo");
    QTest::addColumn<QString>("motivo"); // empty: the print system's own words, whatever they are
    using M = EsitoStampa::Modo;
    QTest::newRow("accettata") << QList<QStringList>{} << "" << int(M::Stampata) << "";
    QTest::newRow("non accetta") << QList<QStringList>{{"cupsreject", "Prova"}} << ""
                                 << int(M::SalvataDopoErrore) << "";
    // A stopped queue would hold the job, not print it.
    QTest::newRow("ferma") << QList<QStringList>{{"cupsdisable", "Prova"}} << ""
                           << int(M::SalvataDopoErrore) << "la coda \"Prova\" è ferma";
    QTest::newRow("coda predefinita inesistente")
        << QList<QStringList>{} << "Magazzino" << int(M::SalvataDopoErrore) << "";
}

void TestStampante::serverDiStampa()
{
    QFETCH(QList<QStringList>, comandi);
    QFETCH(QString, lpdest);
    QFETCH(int, modo);
    QFETCH(QString, motivo);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext non installato: la stampa non si può rileggere");
    ServerStampa server;
    if (!server.avvia())
        QSKIP(qPrintable("server di stampa privato non avviato: " + server.errore()));
    for (const QStringList &c : comandi)
        QVERIFY2(server.comando(c.first(), c.mid(1)), qPrintable(server.errore()));
    const auto senzaLpdest = qScopeGuard([] { qunsetenv("LPDEST"); });
    if (!lpdest.isEmpty())
        qputenv("LPDEST", lpdest.toUtf8());
    DatabaseDiProva db;
    QTemporaryDir lavoro;
    const Elenco e = ricevuta();
    StampanteQt stampante(e.documento, lavoro.path());
    const EsitoStampa esito = stampaElenco(stampante, e);
    QCOMPARE(int(esito.modo), modo);
    // Nothing left held in the queue, and what it took is out.
    QVERIFY2(server.attendiCodaVuota(), qPrintable(server.errore()));
    if (esito.modo == EsitoStampa::Modo::Stampata) {
        QCOMPARE(messaggioEsito(esito), "Stampa completata");
        QVERIFY(contenutoCartella(lavoro.path()).isEmpty());
        QCOMPARE(righePdf(server.uscita()), righeAttese(e));
        return;
    }
    QVERIFY(!QFileInfo::exists(server.uscita()));
    QVERIFY(!esito.motivo.isEmpty());
    if (!motivo.isEmpty())
        QCOMPARE(esito.motivo, motivo);
    QString mostrato = esito.motivo;
    if (mostrato.endsWith(u'.'))
        mostrato.chop(1);
    QCOMPARE(messaggioEsito(esito), nonAccettata(mostrato, esito.file));
    QCOMPARE(contenutoCartella(lavoro.path()), QStringList{QFileInfo(esito.file).fileName()});
    QCOMPARE(righePdf(esito.file), righeAttese(e));
}

QTEST_MAIN(TestStampante)
#include "tst_stampante.moc"
