#include "common/formati.h"
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

class TestProdotto : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void apertura();
    void invioNeiTipiRicarica();
    void suggerimenti_data();
    void suggerimenti();
    void backspaceCercaColTestoAccorciato();
    void apiceDiventaMeno_data();
    void apiceDiventaMeno();
    void invioPrendeSuggerimento_data();
    void invioPrendeSuggerimento();
    void clicPrendeSuggerimento();
    void fuocoSulPrezzoNascondeElenco();
    void prezzi_data();
    void prezzi();
    void backspaceNelPrezzo();
    void salvaRegistraESvuota_data();
    void salvaRegistraESvuota();
    void salvaTieneICampi_data();
    void salvaTieneICampi();
    void resetta();

private:
    template <typename T>
    T *elemento(const char *nome) const
    {
        return finestra_->findChild<T *>(QLatin1String(nome));
    }
    QComboBox *tipo() const { return elemento<QComboBox>("Combo1"); }
    QLineEdit *codice() const { return elemento<QLineEdit>("Text1"); }
    QListWidget *elenco() const { return elemento<QListWidget>("List1"); }
    QStringList voci() const;
    void scegliTipo(const QString &codiceTipo);
    void compila(const QString &codiceTipo, const QString &codiceArticolo, const QString &acquisto,
                 const QString &vendita, const QString &pezzi);
    QStringList campi() const;

    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
    Prodotto_frm *finestra_ = nullptr;
};

namespace {

const QString INVITO = QStringLiteral(">>> Seleziona TIPO <<<");

void invio(QWidget *campo)
{
    QTest::keyClick(campo, Qt::Key_Return);
}

} // namespace

void TestProdotto::init()
{
    db_ = new DatabaseDiProva;
    registro_ = new RegistroRapporti;
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
    const QList<std::pair<QString, int>> rimanenze = {
        {"AB1", 1}, {"ab2", 1}, {"AC", 1}, {"B1", 1}, {"a-1", 1}, {"AB9", 2}};
    for (const auto &[codiceArticolo, idTipo] : rimanenze)
        QVERIFY(AggiornaRimanenze(codiceArticolo, idTipo, 1, 100));
    finestra_ = new Prodotto_frm;
    finestra_->show();
    QVERIFY(QTest::qWaitForWindowExposed(finestra_));
}

void TestProdotto::cleanup()
{
    delete finestra_;
    finestra_ = nullptr;
    delete registro_;
    delete db_;
}

QStringList TestProdotto::voci() const
{
    QStringList testi;
    for (int i = 0; i < elenco()->count(); ++i)
        testi.append(elenco()->item(i)->text());
    return testi;
}

void TestProdotto::scegliTipo(const QString &codiceTipo)
{
    tipo()->setCurrentIndex(tipo()->findText(codiceTipo));
}

void TestProdotto::compila(const QString &codiceTipo, const QString &codiceArticolo,
                           const QString &acquisto, const QString &vendita, const QString &pezzi)
{
    if (!codiceTipo.isEmpty())
        scegliTipo(codiceTipo);
    codice()->setText(codiceArticolo);
    elemento<QLineEdit>("Text2")->setText(acquisto);
    elemento<QLineEdit>("Text4")->setText(vendita);
    elemento<QLineEdit>("Text3")->setText(pezzi);
}

QStringList TestProdotto::campi() const
{
    return {tipo()->currentText(), codice()->text(), elemento<QLineEdit>("Text2")->text(),
            elemento<QLineEdit>("Text4")->text(), elemento<QLineEdit>("Text3")->text()};
}

void TestProdotto::apertura()
{
    QCOMPARE(finestra_->windowTitle(), QStringLiteral("Aggiunta Prodotto"));
    QCOMPARE(tipo()->count(), 2);
    QCOMPARE(tipo()->itemText(0), QStringLiteral("Bulloni"));
    QCOMPARE(tipo()->itemText(1), QStringLiteral("Viti"));
    QCOMPARE(tipo()->currentIndex(), -1);
    QCOMPARE(tipo()->currentText(), INVITO);
    QVERIFY(elenco()->isHidden());
}

void TestProdotto::invioNeiTipiRicarica()
{
    scegliTipo(QStringLiteral("Viti"));
    QVERIFY(AggiungiTipo(QStringLiteral("Attrezzi")));
    // Through the window: the key goes to the focused selector, not to its
    // line edit.
    QTest::mouseClick(tipo()->lineEdit(), Qt::LeftButton);
    QTest::keyClick(finestra_->windowHandle(), Qt::Key_Return);
    QCOMPARE(tipo()->count(), 3);
    QCOMPARE(tipo()->itemText(0), QStringLiteral("Attrezzi"));
    QCOMPARE(tipo()->currentIndex(), -1);
    QCOMPARE(tipo()->currentText(), INVITO);
}

void TestProdotto::suggerimenti_data()
{
    QTest::addColumn<QString>("codiceTipo");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<QStringList>("attese");
    QTest::newRow("una lettera") << "Viti" << "a" << QStringList{"a-1", "AB1", "ab2", "AC"};
    QTest::newRow("due lettere") << "Viti" << "ab" << QStringList{"AB1", "ab2"};
    QTest::newRow("maiuscole") << "Viti" << "AB" << QStringList{"AB1", "ab2"};
    QTest::newRow("altro tipo") << "Bulloni" << "a" << QStringList{"AB9"};
    QTest::newRow("nessun codice") << "Viti" << "abx" << QStringList{};
    QTest::newRow("nessun tipo scelto") << "" << "a" << QStringList{};
    QTest::newRow("percento letterale") << "Viti" << "%" << QStringList{};
}

void TestProdotto::suggerimenti()
{
    QFETCH(QString, codiceTipo);
    QFETCH(QString, digitato);
    QFETCH(QStringList, attese);
    if (!codiceTipo.isEmpty())
        scegliTipo(codiceTipo);
    QTest::keyClicks(codice(), digitato);
    QCOMPARE(codice()->text(), digitato);
    QCOMPARE(elenco()->isHidden(), attese.isEmpty());
    if (!attese.isEmpty())
        QCOMPARE(voci(), attese);
    QVERIFY(registro_->rapporti().isEmpty());
}

void TestProdotto::backspaceCercaColTestoAccorciato()
{
    scegliTipo(QStringLiteral("Viti"));
    QTest::keyClicks(codice(), QStringLiteral("abx"));
    QVERIFY(elenco()->isHidden());
    QTest::keyClick(codice(), Qt::Key_Backspace);
    QCOMPARE(codice()->text(), QStringLiteral("ab"));
    QVERIFY(!elenco()->isHidden());
    QCOMPARE(voci(), (QStringList{"AB1", "ab2"}));
}

void TestProdotto::apiceDiventaMeno_data()
{
    QTest::addColumn<QString>("virgolette");
    QTest::newRow("apice") << "'";
    QTest::newRow("doppi apici") << "\"";
}

void TestProdotto::apiceDiventaMeno()
{
    QFETCH(QString, virgolette);
    scegliTipo(QStringLiteral("Viti"));
    QTest::keyClicks(codice(), QStringLiteral("a") + virgolette);
    QCOMPARE(codice()->text(), QStringLiteral("a-"));
    QCOMPARE(voci(), QStringList{"a-1"});
    QVERIFY(!elenco()->isHidden());
}

void TestProdotto::invioPrendeSuggerimento_data()
{
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<int>("evidenziato");
    QTest::addColumn<QString>("preso");
    QTest::newRow("nessuno evidenziato") << "ab" << -1 << "AB1";
    QTest::newRow("secondo evidenziato") << "ab" << 1 << "ab2";
    QTest::newRow("nessun suggerimento") << "zz" << -1 << "zz";
}

void TestProdotto::invioPrendeSuggerimento()
{
    QFETCH(QString, digitato);
    QFETCH(int, evidenziato);
    QFETCH(QString, preso);
    scegliTipo(QStringLiteral("Viti"));
    QTest::keyClicks(codice(), digitato);
    QCOMPARE(elenco()->currentRow(), -1);
    if (evidenziato >= 0)
        elenco()->setCurrentRow(evidenziato);
    invio(codice());
    QCOMPARE(codice()->text(), preso);
    QVERIFY(elenco()->isHidden());
}

void TestProdotto::clicPrendeSuggerimento()
{
    scegliTipo(QStringLiteral("Viti"));
    QTest::keyClicks(codice(), QStringLiteral("a"));
    QListWidgetItem *voce = elenco()->item(3);
    QCOMPARE(voce->text(), QStringLiteral("AC"));
    QTest::mouseClick(elenco()->viewport(), Qt::LeftButton, {},
                      elenco()->visualItemRect(voce).center());
    QCOMPARE(codice()->text(), QStringLiteral("AC"));
    QVERIFY(elenco()->isHidden());
}

void TestProdotto::fuocoSulPrezzoNascondeElenco()
{
    finestra_->activateWindow();
    scegliTipo(QStringLiteral("Viti"));
    codice()->setFocus();
    QTest::keyClicks(codice(), QStringLiteral("a"));
    QVERIFY(!elenco()->isHidden());
    elemento<QLineEdit>("Text2")->setFocus();
    QTRY_VERIFY(elenco()->isHidden());
}

void TestProdotto::prezzi_data()
{
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<QString>("atteso");
    for (const char *campo : {"Text2", "Text4"}) {
        const QString nome = QLatin1String(campo);
        QTest::addRow("%s milioni", campo) << nome << "1234567" << "1.234.567";
        QTest::addRow("%s zero", campo) << nome << "0" << "";
        QTest::addRow("%s scartati", campo) << nome << "1a-2,3.4 +" << "1.234";
    }
}

void TestProdotto::prezzi()
{
    QFETCH(QString, campo);
    QFETCH(QString, digitato);
    QFETCH(QString, atteso);
    auto *prezzo = finestra_->findChild<QLineEdit *>(campo);
    QTest::keyClicks(prezzo, digitato);
    QCOMPARE(prezzo->text(), atteso);
    QCOMPARE(prezzo->cursorPosition(), int(atteso.size()));
}

void TestProdotto::backspaceNelPrezzo()
{
    auto *prezzo = elemento<QLineEdit>("Text2");
    QTest::keyClicks(prezzo, QStringLiteral("1234"));
    QTest::keyClick(prezzo, Qt::Key_Backspace);
    QCOMPARE(prezzo->text(), QStringLiteral("123"));
}

void TestProdotto::salvaRegistraESvuota_data()
{
    QTest::addColumn<QString>("pezzi");
    QTest::addColumn<int>("registrati");
    QTest::newRow("cinque") << "5" << 5;
    QTest::newRow("mezzo al pari") << "2.5" << 2;
    QTest::newRow("lettere dopo") << "3abc" << 3;
    QTest::newRow("vuoto") << "" << 0;
}

void TestProdotto::salvaRegistraESvuota()
{
    QFETCH(QString, pezzi);
    QFETCH(int, registrati);
    RisponditoreDialoghi risponditore;
    compila(QStringLiteral("Bulloni"), QStringLiteral("M8-Z"), QStringLiteral("1.234.567"),
            QStringLiteral("2.000.000"), pezzi);
    QTest::mouseClick(elemento<QPushButton>("Command1"), Qt::LeftButton);

    QVERIFY(risponditore.visti().isEmpty());
    QVERIFY(registro_->rapporti().isEmpty());
    const QList<QVariantList> movimenti = db_->righe(QStringLiteral(
        "SELECT tipo, codice, prezzoacquisto, prezzovendita, pezzi, operazione, dataop"
        " FROM prodotto"));
    QCOMPARE(movimenti, (QList<QVariantList>{{2, "M8-Z", 1234567, 2000000, registrati, 1,
                                              QDate::currentDate().toString(Qt::ISODate)}}));
    QCOMPARE(db_->valore(QStringLiteral("SELECT pezzi FROM rimanenze WHERE codice='M8-Z'")).toInt(),
             registrati);
    QCOMPARE(campi(), (QStringList{INVITO, "", "", "", ""}));
    QCOMPARE(tipo()->currentIndex(), -1);
}

void TestProdotto::salvaTieneICampi_data()
{
    QTest::addColumn<QStringList>("valori");
    QTest::addColumn<QString>("messaggio");
    QTest::newRow("nessun tipo") << QStringList{"", "M8", "100", "200", "1"}
                                 << "Scegliere il tipo dell'articolo.";
    QTest::newRow("nessun codice") << QStringList{"Viti", " ", "100", "200", "1"}
                                   << "Scrivere il codice dell'articolo.";
    QTest::newRow("acquisto vuoto") << QStringList{"Viti", "M8", "", "200", "1"}
                                    << "Scrivere il prezzo di acquisto per unità.";
    QTest::newRow("vendita vuota") << QStringList{"Viti", "M8", "100", "", "1"}
                                   << "Scrivere il prezzo di vendita per unità.";
    QTest::newRow("acquisto oltre i 32 bit")
        << QStringList{"Viti", "M8", "3.000.000.000", "200", "1"}
        << "Il prezzo di acquisto deve essere un numero intero da 0 a 2.147.483.647.";
    QTest::newRow("vendita incollata non intera")
        << QStringList{"Viti", "M8", "100", "12,5", "1"}
        << "Il prezzo di vendita deve essere un numero intero da 0 a 2.147.483.647.";
    QTest::newRow("pezzi oltre i 16 bit") << QStringList{"Viti", "M8", "100", "200", "40000"}
                                          << "Il numero di pezzi deve essere compreso tra"
                                             " -32.768 e 32.767.";
    QTest::newRow("rimanenza non aggiornata") << QStringList{"Viti", "M8", "100", "200", "1"}
                                              << "";
}

void TestProdotto::salvaTieneICampi()
{
    QFETCH(QStringList, valori);
    QFETCH(QString, messaggio);
    if (messaggio.isEmpty()) {
        db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE INSERT ON rimanenze"
                                   " BEGIN SELECT RAISE(ABORT, 'rimanenze bloccate'); END"));
    }
    RisponditoreDialoghi risponditore;
    compila(valori[0], valori[1], valori[2], valori[3], valori[4]);
    const QStringList prima = campi();
    QTest::mouseClick(elemento<QPushButton>("Command1"), Qt::LeftButton);

    if (messaggio.isEmpty()) {
        QCOMPARE(registro_->zone(), QList<int>{4});
        QVERIFY(risponditore.visti().isEmpty());
    } else {
        QCOMPARE(risponditore.testi(), QStringList{messaggio});
        QVERIFY(registro_->rapporti().isEmpty());
    }
    QCOMPARE(campi(), prima);
    QCOMPARE(db_->valore(QStringLiteral("SELECT count(*) FROM prodotto")).toInt(), 0);
    QCOMPARE(db_->valore(QStringLiteral("SELECT count(*) FROM rimanenze")).toInt(), 6);
}

void TestProdotto::resetta()
{
    compila(QStringLiteral("Viti"), QStringLiteral("M8"), QStringLiteral("100"),
            QStringLiteral("200"), QStringLiteral("4"));
    QTest::keyClicks(codice(), QStringLiteral("a"));
    QTest::mouseClick(elemento<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(campi(), (QStringList{INVITO, "", "", "", ""}));
    QCOMPARE(tipo()->currentIndex(), -1);
    QVERIFY(elenco()->isHidden());
    QCOMPARE(db_->valore(QStringLiteral("SELECT count(*) FROM prodotto")).toInt(), 0);
}

QTEST_MAIN(TestProdotto)
#include "tst_Prodotto_frm.moc"
