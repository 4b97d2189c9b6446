#include "data/database_routines.h"
#include "data/server.h"
#include "reports/statistiche.h"
#include "shell/Info_frm.h"
#include "shell/avvio.h"
#include "shell/frmAbout.h"
#include "shell/informazioni_sistema.h"
#include "support/banco.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlQuery>
#include <QStatusBar>
#include <QSysInfo>
#include <QTest>
#include <QToolButton>

namespace {

const char *const AZIENDA[] = {"Text1", "Text2", "Text3", "Text4", "Text5"};

QStringList campi(const QWidget &f)
{
    QStringList t;
    for (const char *nome : AZIENDA)
        t << elemento(f, nome)->text();
    return t;
}

// Typed key by key, beyond ASCII as key events carrying their text (an
// emoji is one key); long or when told, pasted.
void immetti(QLineEdit *campo, const QString &testo, bool incolla = false)
{
    campo->clear();
    campo->setFocus();
    if (incolla || testo.size() > 100) {
        QGuiApplication::clipboard()->setText(testo);
        QTest::keyClick(campo, Qt::Key_V, Qt::ControlModifier);
    }
    for (qsizetype i = 0, n = 1; !incolla && testo.size() <= 100 && i < testo.size(); i += n) {
        n = testo.at(i).isHighSurrogate() ? 2 : 1;
        if (testo.at(i).unicode() >= 0x20 && testo.at(i).unicode() < 0x7f)
            QTest::keyClick(campo, testo.at(i).toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, testo.mid(i, n), Qt::NoModifier);
    }
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    // Started where no file is, the program asks whether to make one, No the
    // default: Sì makes an empty shop, No gives the missing file's report.
    // A file that is no database is reported once and never copied.
    // "Uscita" closes the frame even with a dialog open.
    void avvioSenzaFile_data()
    {
        QTest::addColumn<bool>("guasto");
        QTest::addColumn<QStringList>("risposte");
        QTest::addColumn<QStringList>("messaggi");
        QTest::addColumn<QString>("dettaglio");
        const QString domanda = "Il file %1 non c'è. Crearne uno nuovo, vuoto?";
        QTest::newRow("manca, No") << false << QStringList{"No", "Ok"}
                                   << QStringList{domanda, "Si è verificato in zona 12:\nErrore n. 14 Il file %1"
                                                           " non c'è o non si può aprire."}
                                   << "unable to open database file";
        QTest::newRow("manca, Sì") << false << QStringList{"Si"} << QStringList{domanda} << "";
        QTest::newRow("non è un database") << true << QStringList{"Ok"} << QStringList{"Si è verificato in zona 12:\nErrore n. 26"
                                                                        " Il file %1 non è un archivio di Vorendi."}
                                           << "file is not a database";
    }

    void avvioSenzaFile()
    {
        QFETCH(bool, guasto);
        QFETCH(QStringList, risposte);
        QFETCH(QStringList, messaggi);
        QFETCH(QString, dettaglio);
        Banco b(Banco::SenzaFile);
        if (guasto)
            b.guasta(false);
        b.rispondi(risposte);
        {
            const auto f = avviaVorendi(configurazione());
            QVERIFY(mostra(*f));
            registraCifratura(false);
            QCOMPARE(f->windowTitle(), "Vorendi v2.0");
            f->findChild<QAction *>("info")->trigger();
            f->findChild<QAction *>("uscita")->trigger();
            QVERIFY(!f->isVisible());
        } // the start-up copy, if any, has ended
        for (QString &m : messaggi)
            m = m.arg(QDir::toNativeSeparators(b.percorso()));
        QCOMPARE(b.testi(), messaggi);
        QCOMPARE(b.visti.first().predefinito, guasto ? QMessageBox::NoButton : QMessageBox::No);
        QCOMPARE(b.visti.last().dettaglio, dettaglio);
        const bool creato = risposte == QStringList{"Si"};
        QCOMPARE(QFileInfo::exists(b.percorso()), guasto || creato);
        QCOMPARE(QFileInfo::exists(QDir(b.cartella()).filePath("Backup")), creato);
        if (creato)
            QCOMPARE(b.valore("SELECT count(*) FROM \"generalità\"").toInt(), 1);
    }

    // With VORENDI_SERVER the title names the server's database, and says
    // so when a connection opened without encryption; no file or copy is
    // made; a server that does not answer, or a string that is no
    // connection, is told in Italian.
    void avvioSulServer_data()
    {
        QTest::addColumn<QString>("connessione");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QStringList>("messaggi");
        QTest::addColumn<QString>("postazione");
        const QString nonRisponde = "Si è verificato in zona 12:\nErrore n. 08001 Il server %1 non risponde:"
                                    " è acceso e raggiungibile dalla rete?";
        QTest::newRow("non risponde") << "host=127.0.0.1 hostaddr=127.0.0.1 port=1 dbname=negozio user=cassa"
                                      << "Vorendi v2.0 - database negozio su 127.0.0.1:1 - cassa Banco 2"
                                      << QStringList{nonRisponde.arg("negozio su 127.0.0.1:1")} << "Banco 2";
        QTest::newRow("stringa sbagliata") << "host=127.0.0.1 port=1 dbname='negozio"
                                           << "Vorendi v2.0 - server: stringa di collegamento non valida - cassa "
                                                  + QSysInfo::machineHostName()
                                           << QStringList{"La stringa di collegamento al server non è valida:",
                                                          nonRisponde.arg("(stringa di collegamento non valida)")}
                                           << "";
    }

    void avvioSulServer()
    {
        QFETCH(QString, connessione);
        QFETCH(QString, titolo);
        QFETCH(QStringList, messaggi);
        QFETCH(QString, postazione);
        Banco b(Banco::SenzaFile);
        b.rispondi(QStringList(messaggi.size(), "Ok"));
        qputenv("VORENDI_SERVER", connessione.toUtf8());
        qputenv("VORENDI_POSTAZIONE", postazione.toUtf8());
        const auto f = avviaVorendi(configurazioneDallAmbiente());
        qunsetenv("VORENDI_SERVER");
        qunsetenv("VORENDI_POSTAZIONE");
        QVERIFY(mostra(*f));
        QCOMPARE(f->windowTitle(), titolo);
        registraCifratura(false);
        QCOMPARE(f->windowTitle(), titolo + " - collegamento non cifrato");
        registraCifratura(true);
        QCOMPARE(f->windowTitle(), titolo);
        QCOMPARE(b.testi().size(), messaggi.size());
        for (int i = 0; i < messaggi.size(); ++i)
            QVERIFY2(b.testi()[i].startsWith(messaggi[i]), qPrintable(b.testi()[i]));
        QCOMPARE(QDir(b.cartella()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // The counter in a hurry, from the keyboard, an article read by a
    // scanner as its code and Enter: each step a key sequence,
    // "'" text typed, "|" text pasted, ">" Tab up to a named element, "!" a
    // menu command, "?" a window's grid noted; then the boxes, the status
    // bar, what is stored and printed beyond the shop below, the windows open.
    void fretta_data()
    {
        QTest::addColumn<QStringList>("passi");
        QTest::addColumn<QStringList>("risposte");
        QTest::addColumn<QStringList>("dialoghi");
        QTest::addColumn<QStringList>("barra");
        QTest::addColumn<QStringList>("dopo");
        QTest::addColumn<int>("aperte");
        const QString pezzi = "Aggiunta a carrello\nNumero di pezzi?", cassa = "Vuoi scaricare i prodotti dal magazzino?";
        const QString chiudi = "Chiudere senza salvare?", vuoto = "Il numero di pezzi è vuoto: registrare solo i prezzi?";
        const QString negativo = "Il numero di pezzi è negativo (-5): il magazzino cala. Registrare?";
        const QStringList acquisto{"F2", "'Viti", "Tab", "'VT-6", "Tab", "'1500", "Tab", "'3000", "Tab"};
        const QStringList alCarrello{"F3", "Alt+T", "'VT-6", "Return"};
        const QStringList vendita = alCarrello + QStringList{"F4", ">Command3", "Space"};
        const QString registrato = "Registrato: VT-6, %1 pezzi", nelCarrello = "Nel carrello: VT-6 × 2 — totale 3.000";
        const auto riga = [](const char *nome, QStringList passi, QStringList risposte, QStringList dialoghi,
                             QStringList barra, QStringList dopo, int aperte) {
            QTest::newRow(nome) << passi << risposte << dialoghi << barra << dopo << aperte;
        };
        riga("codice incollato con un a capo", {"F2", "'Viti", "Tab", "|  VT-6 \n", "Tab", "'1", "Tab", "'2", "Tab", "'3", "Return"}, {"Ok"},
             {"Il codice dell'articolo non può contenere a capo, tabulazioni o altri caratteri di controllo."}, {}, {}, 1);
        riga("codice incollato tra spazi", {"F2", "'Viti", "Tab", "|  VT-6 ", "Tab", "'1", "Tab", "'2", "Tab", "'3", "Return"}, {}, {},
             {"Registrato: VT-6, 3 pezzi"}, {"VT-6 1 2 3"}, 1);
        riga("ricerca incollata", {"F3", "Alt+T", "| vt-6 ", "Return"}, {"=2"}, {pezzi}, {nelCarrello}, {"carrello VT-6 2"}, 1);
        riga("ricerca senza esito", {"F3", "Alt+T", "'XX-99", "Return"}, {}, {}, {"Nessun articolo con il codice XX-99."}, {}, 1);
        riga("ricerca di più articoli", {"F3", "Alt+T", "'VT-1", "Return", "Down", "Return"}, {"=1"}, {pezzi},
             {"2 articoli: sceglierne uno con le frecce e Invio", "Nel carrello: VT-12 × 1 — totale 2.500"}, {"carrello VT-12 1"}, 1);
        riga("tipo che esiste già", {"F7", "'VITI", "Return"}, {"Ok"}, {"Il tipo VITI esiste già."}, {}, {}, 1);
        riga("Esc alla domanda di cassa", vendita, {"=2", "annulla"}, {pezzi, cassa}, {nelCarrello}, {"carrello VT-6 2"}, 2);
        riga("domanda di cassa chiusa", vendita, {"=2", "chiudi"}, {pezzi, cassa}, {nelCarrello}, {"carrello VT-6 2"}, 2);
        riga("carrello aperto prima, poi venduto", QStringList{"F4"} + alCarrello + QStringList{"F4", "?VisCarrello_frm", ">Command3", "Space", "?VisCarrello_frm"},
             {"=2", "Si", "Ok"}, {pezzi, cassa, "Stampa completata"}, {nelCarrello},
             {"VT-6 0 1500 -2", "stampa Ricevuta 1", "griglia VT-6|Viti|1.500|2|3.000 ||||", "griglia ||||"}, 2);
        riga("Tab dopo un codice con suggerimenti", {"F2", "'Viti", "Tab", "'VT-1", "Tab", "'1500", "Tab", "'3000", "Tab", "'10", "Tab", "Space"},
             {}, {}, {"Registrato: VT-1, 10 pezzi"}, {"VT-1 1500 3000 10"}, 1);
        riga("tipo scritto dopo l'avviso", {"F2", "Tab", "'VT-6", "Tab", "'1", "Tab", "'2", "Tab", "'3", "Return", "'viti", "Tab", "Tab", "Tab", "Tab", "Return"},
             {"Ok"}, {"Scegliere il tipo dell'articolo."}, {registrato.arg(3)}, {"VT-6 1 2 3"}, 1);
        riga("prezzo riscritto", {"F2", "'Viti", "Tab", "'VT-6", "Tab", "'1234567", "Ctrl+A", "'123456", "Home", "'7", "Delete",
                                  "Tab", "'3000", "Tab", "'1", "Return"}, {}, {}, {"Registrato: VT-6, 1 pezzo"}, {"VT-6 723456 3000 1"}, 1);
        riga("pezzi vuoti, Sì", acquisto + QStringList{"Return"}, {"Si"}, {vuoto}, {registrato.arg(0)}, {"VT-6 1500 3000 0"}, 1);
        riga("pezzi vuoti, No", acquisto + QStringList{"Return", "'7", "Return"}, {"No"}, {vuoto}, {registrato.arg(7)}, {"VT-6 1500 3000 7"}, 1);
        riga("pezzi negativi, Sì", acquisto + QStringList{"'-5", "Return"}, {"Si"}, {negativo}, {registrato.arg(-5)}, {"VT-6 1500 3000 -5"}, 1);
        riga("pezzi negativi, No", acquisto + QStringList{"'-5", "Return"}, {"No"}, {negativo}, {}, {}, 1);
        riga("pezzi in lettere", acquisto + QStringList{"'dieci", "Return"}, {"Ok"}, {"Il numero di pezzi va scritto in cifre, senza lettere."}, {}, {}, 1);
        riga("Esc senza nulla scritto, poi ancora", {"F2", "Esc", "Esc"}, {}, {}, {}, {}, 0);
        riga("Esc con un acquisto scritto", {"F2", "'Viti", "Esc", "Esc"}, {"No", "Si"}, {chiudi, chiudi}, {}, {}, 0);
        riga("Esc chiude prima i suggerimenti", {"F2", "'Viti", "Tab", "'VT-1", "Esc", "Esc"}, {"No"}, {chiudi}, {}, {}, 1);
        riga("Esc con un tipo scritto", {"F7", "'Bulloni", "Esc"}, {"No"}, {chiudi}, {}, {}, 1);
        riga("Esc con l'azienda cambiata", {"!infoaz", "'Bottega", "Esc"}, {"No"}, {chiudi}, {}, {}, 1);
        riga("uscita con un tipo scritto", {"F2", "F7", "'Bulloni", "!uscita"}, {"No"}, {chiudi}, {}, {}, 2);
    }

    void fretta()
    {
        QFETCH(QStringList, passi);
        QFETCH(QStringList, risposte);
        Banco b;
        b.esegui("INSERT INTO tipo (codice) VALUES ('Viti')");
        b.esegui("INSERT INTO rimanenze VALUES ('VT-6', 1, 10, 1500), ('VT-10', 1, 5, 2000), ('VT-12', 1, 5, 2500)");
        b.rispondi(risposte);
        const auto f = avviaVorendi(configurazione());
        QVERIFY(mostra(*f));
        QStringList barra, stato;
        connect(f->statusBar(), &QStatusBar::messageChanged, this, [&](const QString &t) { barra << t; });
        for (const QString &passo : passi) {
            // Off screen the window does not get the focus back from a closed box by itself.
            if (!QApplication::activeWindow()) {
                f->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(f.get()));
            }
            QApplication::processEvents();
            QWidget *fuoco = QApplication::focusWidget() ? QApplication::focusWidget() : f.get();
            if (passo.startsWith(u'\'')) {
                QTest::keyClicks(fuoco, passo.mid(1));
            } else if (passo.startsWith(u'|')) {
                QGuiApplication::clipboard()->setText(passo.mid(1));
                QTest::keyClick(fuoco, Qt::Key_V, Qt::ControlModifier);
            } else if (passo.startsWith(u'>')) {
                for (int i = 0; i < 12 && QApplication::focusWidget()->objectName() != passo.mid(1); ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            } else if (passo.startsWith(u'!')) {
                f->findChild<QAction *>(passo.mid(1))->trigger();
            } else if (passo.startsWith(u'?')) {
                stato << "griglia " + griglia(*f->findChild<QWidget *>(passo.mid(1))).join(u' ');
            } else {
                QVERIFY2(!QKeySequence(passo).isEmpty(), qPrintable(passo));
                QTest::keySequence(fuoco, QKeySequence(passo));
            }
        }
        QApplication::processEvents();
        QTEST(b.testi(), "dialoghi");
        for (const Banco::Dialogo &d : b.visti)
            QVERIFY(!(d.testo.startsWith("Chiudere") || d.testo.startsWith("Il numero di pezzi è")) || d.predefinito == QMessageBox::No);
        QTEST(barra, "barra");
        for (const QVariantList &r : b.righe("SELECT codice||' '||prezzoacquisto||' '||prezzovendita||' '||pezzi FROM prodotto"
                                             " UNION ALL SELECT 'carrello '||codice||' '||pezzi FROM carrello"))
            stato << r[0].toString();
        for (const DocumentoStampato &d : b.stampe())
            stato << "stampa " + d.nome;
        QFETCH(QStringList, dopo);
        stato.sort();
        dopo.sort();
        QCOMPARE(stato, dopo);
        QTEST(int(f->areaLavoro()->subWindowList().size()), "aperte");
        QVERIFY(f->isVisible()); // Esc closes the window in front, never the main one
    }

    // A copy of the day that cannot be made is told once; the program goes on.
    void copiaFallita()
    {
        Banco b;
        QFile ostacolo(QDir(b.cartella()).filePath("Backup"));
        QVERIFY(ostacolo.open(QIODevice::WriteOnly));
        b.rispondi({"Ok"});
        const auto f = avviaVorendi(configurazione());
        QVERIFY(mostra(*f));
        QTRY_COMPARE(b.testi().size(), 1);
        QCOMPARE(b.testi().first(), "La copia di sicurezza di oggi non è stata fatta: la cartella "
                                        + QDir::toNativeSeparators(ostacolo.fileName())
                                        + " non si può creare.\nIl programma continua a funzionare.");
        f->findChild<QAction *>("addtipo")->trigger();
        QCOMPARE(f->areaLavoro()->subWindowList().size(), 1);
    }

    // Closing copies the file again over the day's copy, so that a restore
    // brings back the whole day; a half copy a crash left is gone.
    void copiaAllaChiusura()
    {
        Banco b;
        QDir backup(b.cartella());
        QVERIFY(backup.mkpath("Backup") && backup.cd("Backup"));
        QVERIFY(QFile(backup.filePath(".Vorendi-2026-01-01.mdb.parziale")).open(QIODevice::WriteOnly));
        const QString nome = "Vorendi-" + QDate::currentDate().toString(Qt::ISODate) + ".mdb";
        const auto f = avviaVorendi(configurazione());
        QVERIFY(mostra(*f));
        QTRY_VERIFY(QFileInfo::exists(backup.filePath(nome)));
        b.esegui("INSERT INTO tipo (codice) VALUES ('Dopo l''avvio')");
        f->findChild<QAction *>("uscita")->trigger();
        QCOMPARE(backup.entryList(QDir::Files | QDir::Hidden), QStringList{nome});
        {
            QSqlDatabase copia = QSqlDatabase::addDatabase("QSQLITE", "copia");
            copia.setDatabaseName(backup.filePath(nome));
            QSqlQuery q = copia.open() ? copia.exec("SELECT codice FROM tipo") : QSqlQuery();
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), "Dopo l'avvio");
        }
        QSqlDatabase::removeDatabase("copia");
    }

    // A menu entry, then its tool button or itself: one window, brought forward.
    void unaFinestraPerComando_data()
    {
        QTest::addColumn<QString>("voce");
        QTest::addColumn<QString>("pulsante");
        QTest::addColumn<QString>("finestra");
        QTest::newRow("Aggiunta Tipo") << "addtipo" << "" << "VisTipi_frm";
        QTest::newRow("Aggiunta Articolo") << "addart" << "Command2" << "Prodotto_frm";
        QTest::newRow("Rimanenze") << "addcarr" << "Command5" << "AggCarrello_frm";
        QTest::newRow("Carrello") << "svuotcar" << "Command4" << "VisCarrello_frm";
        QTest::newRow("Ricevute") << "ricvut" << "Command1" << "Ricevute_frm";
        QTest::newRow("Operazioni") << "delprod" << "Command3" << "Operazioni_frm";
        QTest::newRow("Andamento Annuale") << "contab" << "" << "VisGrafico_frm";
        QTest::newRow("Numero di Vendite") << "vendit" << "" << "VisGrafico_frm";
        QTest::newRow("Informazioni Azienda") << "infoaz" << "Command6" << "Info_frm";
    }

    void unaFinestraPerComando()
    {
        QFETCH(QString, voce);
        QFETCH(QString, pulsante);
        QFETCH(QString, finestra);
        Banco b;
        ModoStatistiche = 0;
        const auto principale = avviaVorendi(configurazione());
        QMdiArea *area = principale->areaLavoro();
        principale->findChild<QAction *>(voce)->trigger();
        QMdiSubWindow *prima = area->activeSubWindow();
        QCOMPARE(prima->widget()->objectName(), finestra);
        if (pulsante.isEmpty())
            principale->findChild<QAction *>(voce)->trigger();
        else
            principale->findChild<QToolButton *>(pulsante)->click();
        QCOMPARE(area->subWindowList(), QList<QMdiSubWindow *>{prima});
        QCOMPARE(ModoStatistiche, voce == "contab" ? 1 : voce == "vendit" ? 2 : 0);
        delete prima;
        principale->findChild<QAction *>(voce)->trigger();
        QCOMPARE(area->subWindowList().size(), 1);
    }

    // Typed into four company fields, "terzo" into the fourth: stored, read
    // back and shown as typed, an empty one as "-"; Resetta only empties.
    void azienda_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::newRow("apici, percento, emoji") << "L'Emporio \"100%\" _Città_ 🛒 \\";
        QTest::newRow("mille caratteri") << QString(1000, u'x');
        QTest::newRow("vuoto") << "";
    }

    void azienda()
    {
        QFETCH(QString, testo);
        Banco b;
        b.esegui("DELETE FROM \"generalità\"");
        AziendaNome = AziendaInfo1 = AziendaInfo2 = AziendaInfo3 = AziendaInfo4 = QString();
        const QString s = testo.isEmpty() ? "-" : testo;
        {
            Info_frm f;
            QVERIFY(mostra(f));
            QCOMPARE(campi(f), QStringList(5, QString()));
            for (const char *nome : AZIENDA)
                immetti(elemento(f, nome), qstrcmp(nome, "Text4") ? testo : "terzo");
            premi(f, "Command1");
            QCOMPARE(campi(f), QStringList({s, s, s, "terzo", s}));
            premi(f, "Command2");
            QCOMPARE(campi(f), QStringList(5, QString()));
        }
        QCOMPARE(b.righe("SELECT * FROM \"generalità\""), QList<QVariantList>({{s, s, s, "terzo", s}}));
        QCOMPARE(campi(Info_frm()), QStringList({s, s, s, "terzo", s}));
        QVERIFY(b.rapporti.isEmpty());
    }

    // The system information program: found by its path, or in its folder
    // when the file is there; otherwise the user is told.
    void sysinfo()
    {
        for (const auto &[percorso, cartella, esiste, avviato] : QList<std::tuple<QString, QString, bool, QString>>{
                 {"C:\\P\\msinfo32.exe", "", false, "C:\\P\\msinfo32.exe"}, {"", "C:\\S", true, "C:\\S\\MSINFO32.EXE"},
                 {"", "C:\\S", false, ""}}) {
            Banco b(Banco::SenzaFile);
            QStringList avvii;
            b.rispondi(QStringList(avviato.isEmpty(), "Ok"));
            const auto leggi = [&](quint32 radice, const QString &chiave, const QString &nome, QString &valore) {
                const bool macchina = radice == HKEY_LOCAL_MACHINE_RADICE;
                valore = macchina && chiave.endsWith("\\MSINFO") && nome == "PATH"           ? percorso
                       : macchina && chiave.endsWith("Location") && nome == "MSINFO" ? cartella
                                                                                      : "";
                return !valore.isEmpty();
            };
            StartSysInfo(nullptr, leggi, [&](const QString &) { return esiste; }, [&](const QString &p) {
                avvii << p;
                return true;
            });
            QCOMPARE(avvii.join(""), avviato);
        }
        Banco b;
        frmAbout f;
        premi(f, b, "cmdSysInfo", -1, {"Ok"});
        QCOMPARE(b.testi(), QStringList{"Le informazioni sul sistema non sono attualmente disponibili."});
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
