#include "data/database_routines.h"
#include "stock/Prodotto_frm.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {
const QString INVITO = QStringLiteral(">>> Seleziona TIPO <<<");
}

// "\b" in a typed text is Backspace.
class TestProdotto : public QObject
{
    Q_OBJECT

    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
    Prodotto_frm *finestra_ = nullptr;

    QLineEdit *campo(const char *nome) const { return finestra_->findChild<QLineEdit *>(nome); }
    QComboBox *tipo() const { return finestra_->findChild<QComboBox *>("Combo1"); }
    QListWidget *elenco() const { return finestra_->findChild<QListWidget *>("List1"); }
    void scegliTipo(const QString &codice) { tipo()->setCurrentIndex(tipo()->findText(codice)); }

    QStringList voci() const
    {
        QStringList testi;
        for (int i = 0; !elenco()->isHidden() && i < elenco()->count(); ++i)
            testi.append(elenco()->item(i)->text());
        return testi;
    }

    // Type, code, purchase price, sale price, pieces.
    QStringList campi() const
    {
        return {tipo()->currentText(), campo("Text1")->text(), campo("Text2")->text(),
                campo("Text4")->text(), campo("Text3")->text()};
    }

    void compila(const QStringList &valori)
    {
        scegliTipo(valori[0]);
        const char *nomi[] = {"Text1", "Text2", "Text4", "Text3"};
        for (int i = 0; i < 4; ++i)
            campo(nomi[i])->setText(valori[i + 1]);
    }

private slots:
    void init()
    {
        db_ = new DatabaseDiProva;
        registro_ = new RegistroRapporti;
        QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
        QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
        for (const char *codice : {"AB1", "ab2", "AC", "B1", "a-1"})
            QVERIFY(AggiornaRimanenze(QLatin1String(codice), 1, 1, 100));
        QVERIFY(AggiornaRimanenze(QStringLiteral("AB9"), 2, 1, 100));
        finestra_ = new Prodotto_frm;
        finestra_->show();
        QVERIFY(QTest::qWaitForWindowExposed(finestra_));
    }

    void cleanup()
    {
        delete finestra_;
        delete registro_;
        delete db_;
    }

    void invioNeiTipiRicarica()
    {
        scegliTipo(QStringLiteral("Viti"));
        QVERIFY(AggiungiTipo(QStringLiteral("Attrezzi")));
        // Through the window: the key goes to the focused selector.
        QTest::mouseClick(tipo()->lineEdit(), Qt::LeftButton);
        QTest::keyClick(finestra_->windowHandle(), Qt::Key_Return);
        QCOMPARE(tipo()->itemText(0), QStringLiteral("Attrezzi"));
        QCOMPARE(tipo()->currentText(), INVITO);
    }

    void digitazione_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("codiceTipo");
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QStringList>("suggeriti");
        QTest::addColumn<QString>("nelCampo");
        auto codice = [](const char *riga, const char *tipo, const char *digitato) -> auto & {
            return QTest::newRow(riga) << "Text1" << tipo << digitato;
        };
        auto prezzo = [](const char *riga, const char *nome, const char *digitato) -> auto & {
            return QTest::newRow(riga) << nome << "" << digitato << QStringList{};
        };
        codice("una lettera", "Viti", "a") << QStringList{"a-1", "AB1", "ab2", "AC"} << "a";
        codice("maiuscole", "Viti", "AB") << QStringList{"AB1", "ab2"} << "AB";
        codice("altro tipo", "Bulloni", "a") << QStringList{"AB9"} << "a";
        codice("nessun codice", "Viti", "abx") << QStringList{} << "abx";
        codice("Backspace", "Viti", "abx\b") << QStringList{"AB1", "ab2"} << "ab";
        codice("nessun tipo scelto", "", "a") << QStringList{} << "a";
        codice("percento letterale", "Viti", "%") << QStringList{} << "%";
        codice("apice", "Viti", "a'") << QStringList{"a-1"} << "a-";
        codice("doppi apici", "Viti", "a\"") << QStringList{"a-1"} << "a-";
        prezzo("acquisto raggruppato", "Text2", "1234567") << "1.234.567";
        prezzo("vendita raggruppata", "Text4", "1234567") << "1.234.567";
        prezzo("prezzo, altri caratteri scartati", "Text4", "1a-2,3.4 +") << "1.234";
        prezzo("prezzo zero", "Text2", "0") << "";
        prezzo("prezzo, Backspace", "Text2", "1234\b") << "123";
    }

    void digitazione()
    {
        QFETCH(QString, nome);
        QFETCH(QString, codiceTipo);
        QFETCH(QString, digitato);
        QFETCH(QStringList, suggeriti);
        QFETCH(QString, nelCampo);
        scegliTipo(codiceTipo);
        QLineEdit *digitando = campo(qPrintable(nome));
        QTest::keyClicks(digitando, digitato);
        QCOMPARE(digitando->text(), nelCampo);
        QCOMPARE(digitando->cursorPosition(), int(nelCampo.size()));
        QCOMPARE(voci(), suggeriti);
        QCOMPARE(elenco()->isHidden(), suggeriti.isEmpty());
        QVERIFY(registro_->rapporti().isEmpty());
    }

    void prendeSuggerimento_data()
    {
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QString>("azione");
        QTest::addColumn<QString>("preso");
        QTest::newRow("Invio, nessuno evidenziato") << "ab" << "invio" << "AB1";
        QTest::newRow("Invio sul secondo") << "ab" << "secondo" << "ab2";
        QTest::newRow("Invio senza suggerimenti") << "zz" << "invio" << "zz";
        QTest::newRow("clic sul quarto") << "a" << "clic" << "AC";
        QTest::newRow("fuoco sul prezzo") << "a" << "prezzo" << "a";
    }

    void prendeSuggerimento()
    {
        QFETCH(QString, digitato);
        QFETCH(QString, azione);
        QFETCH(QString, preso);
        finestra_->activateWindow();
        scegliTipo(QStringLiteral("Viti"));
        campo("Text1")->setFocus();
        QTest::keyClicks(campo("Text1"), digitato);
        QCOMPARE(elenco()->currentRow(), -1);
        if (azione == QLatin1String("clic")) {
            const QRect voce = elenco()->visualItemRect(elenco()->item(3));
            QTest::mouseClick(elenco()->viewport(), Qt::LeftButton, {}, voce.center());
        } else if (azione == QLatin1String("prezzo")) {
            campo("Text2")->setFocus();
        } else {
            if (azione == QLatin1String("secondo"))
                elenco()->setCurrentRow(1);
            QTest::keyClick(campo("Text1"), Qt::Key_Return);
        }
        QCOMPARE(campo("Text1")->text(), preso);
        QTRY_VERIFY(elenco()->isHidden());
    }

    void salva_data()
    {
        QTest::addColumn<QStringList>("valori");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<int>("registrati"); // pieces recorded; -1 when nothing is
        const QStringList base{"Bulloni", "M8-Z", "1.234.567", "2.000.000", "5"};
        auto con = [&](int i, const char *valore) {
            QStringList valori = base;
            valori[i] = QString::fromUtf8(valore);
            return valori;
        };
        QTest::newRow("pezzi al pari") << con(4, "2.5") << "" << 2;
        QTest::newRow("pezzi con lettere") << con(4, "3abc") << "" << 3;
        QTest::newRow("pezzi vuoti") << con(4, "") << "" << 0;
        QTest::newRow("nessun tipo") << con(0, "") << "Scegliere il tipo dell'articolo." << -1;
        QTest::newRow("codice di spazi") << con(1, " ") << "Scrivere il codice dell'articolo." << -1;
        QTest::newRow("acquisto vuoto")
            << con(2, "") << "Il prezzo di acquisto è vuoto: registrare il prezzo 0?" << -1;
        QTest::newRow("vendita non intera") << con(3, "12,5") << "Il prezzo di vendita deve essere"
                                               " un numero intero da 0 a 2.147.483.647." << -1;
        QTest::newRow("pezzi oltre i 16 bit") << con(4, "40000") << "Il numero di pezzi deve essere"
                                                 " compreso tra -32.768 e 32.767." << -1;
        QTest::newRow("rimanenza non aggiornata") << base << "" << -1;
    }

    void salva()
    {
        QFETCH(QStringList, valori);
        QFETCH(QString, messaggio);
        QFETCH(int, registrati);
        const bool guasto = registrati < 0 && messaggio.isEmpty();
        if (guasto)
            db_->esegui("CREATE TRIGGER blocca BEFORE INSERT ON rimanenze"
                        " BEGIN SELECT RAISE(ABORT, 'bloccate'); END");
        RisponditoreDialoghi risponditore;
        compila(valori);
        const QStringList prima = campi();
        finestra_->findChild<QPushButton *>("Command1")->click();

        QCOMPARE(risponditore.testi(), messaggio.isEmpty() ? QStringList() : QStringList{messaggio});
        QCOMPARE(registro_->zone(), guasto ? QList<int>{4} : QList<int>{});
        if (registrati < 0) {
            QCOMPARE(campi(), prima);
            QCOMPARE(db_->valore("SELECT count(*) FROM prodotto").toInt(), 0);
            QCOMPARE(db_->valore("SELECT count(*) FROM rimanenze").toInt(), 6);
            return;
        }
        QCOMPARE(db_->righe("SELECT tipo, codice, prezzoacquisto, prezzovendita, pezzi,"
                            " operazione, dataop FROM prodotto"),
                 (QList<QVariantList>{{2, "M8-Z", 1234567, 2000000, registrati, 1,
                                       QDate::currentDate().toString(Qt::ISODate)}}));
        QCOMPARE(db_->valore("SELECT pezzi FROM rimanenze WHERE codice='M8-Z'").toInt(),
                 registrati);
        QCOMPARE(campi(), (QStringList{INVITO, "", "", "", ""}));
    }

    // Typing 0 empties a price field: an empty price is asked about, No by default.
    void prezzoVuoto_data()
    {
        QTest::addColumn<QStringList>("prezzi"); // purchase, sale
        QTest::addColumn<QList<int>>("risposte");
        QTest::addColumn<QVariantList>("registrati"); // purchase, sale; empty: nothing
        const int si = QMessageBox::Yes;
        const int no = QMessageBox::No;
        QTest::newRow("acquisto 0") << QStringList{"", "200"} << QList<int>{si}
                                    << QVariantList{0, 200};
        QTest::newRow("vendita 0, no") << QStringList{"100", ""} << QList<int>{no} << QVariantList{};
        QTest::newRow("entrambi 0") << QStringList{"", ""} << QList<int>{si, si}
                                    << QVariantList{0, 0};
        QTest::newRow("secondo no") << QStringList{"", ""} << QList<int>{si, no} << QVariantList{};
    }

    void prezzoVuoto()
    {
        QFETCH(QStringList, prezzi);
        QFETCH(QList<int>, risposte);
        QFETCH(QVariantList, registrati);
        RisponditoreDialoghi risponditore;
        for (int risposta : risposte)
            risponditore.premi(QMessageBox::StandardButton(risposta));
        compila({"Viti", "M8", prezzi[0], prezzi[1], "1"});

        finestra_->findChild<QPushButton *>("Command1")->click();

        QCOMPARE(risponditore.visti().size(), risposte.size());
        for (const RisponditoreDialoghi::Dialogo &d : risponditore.visti()) {
            QVERIFY(d.testo.endsWith(" è vuoto: registrare il prezzo 0?"));
            QCOMPARE(d.predefinito, QMessageBox::No);
        }
        QCOMPARE(risponditore.visti().first().testo.startsWith("Il prezzo di acquisto"),
                 prezzi[0].isEmpty());
        QCOMPARE(db_->righe("SELECT prezzoacquisto, prezzovendita FROM prodotto"),
                 registrati.isEmpty() ? QList<QVariantList>{} : QList<QVariantList>{registrati});
    }

    void resetta()
    {
        compila({"Viti", "", "100", "200", "4"});
        QTest::keyClicks(campo("Text1"), QStringLiteral("a"));
        QVERIFY(!elenco()->isHidden());
        finestra_->findChild<QPushButton *>("Command2")->click();
        QCOMPARE(campi(), (QStringList{INVITO, "", "", "", ""}));
        QVERIFY(elenco()->isHidden());
        QCOMPARE(db_->valore("SELECT count(*) FROM prodotto").toInt(), 0);
    }
};

QTEST_MAIN(TestProdotto)
#include "tst_Prodotto_frm.moc"
