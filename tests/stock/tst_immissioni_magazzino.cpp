#include "data/database_routines.h"
#include "stock/AggCarrello_frm.h"
#include "stock/Prodotto_frm.h"
#include "stock/VisTipi_frm.h"
#include "support/comandi_di_prova.h"
#include "support/database_di_prova.h"
#include "support/immissioni.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

// Hostile texts typed and pasted into every field of the stock windows:
// each is stored and shown back exactly, or refused with a message that
// leaves the file as it was.

namespace {

const QString SCRIVERE_TIPO = QStringLiteral("Scrivere la descrizione del tipo.");
const QString SCEGLIERE_TIPO = QStringLiteral("Scegliere il tipo dell'articolo.");
const QString SCRIVERE_CODICE = QStringLiteral("Scrivere il codice dell'articolo.");
const QString SCRIVERE_PREZZO = QStringLiteral("Scrivere il prezzo di %1 per unità.");
const QString PREZZO_INTERO =
    QStringLiteral("Il prezzo di %1 deve essere un numero intero da 0 a 2.147.483.647.");
const QString PEZZI_FUORI = QStringLiteral("Il numero di pezzi deve essere compreso tra -32.768 e 32.767.");
const QString DOMANDA_MODIFICA =
    QStringLiteral("Si sta tentando di modificare il prezzo di vendita del prodotto:\nA-1\nContinuare?");
const QString NUOVO_PREZZO = QStringLiteral("Immettere il nuovo prezzo di vendita");
const QString PREZZO_ERRATO = QStringLiteral(
    "Il prezzo di vendita deve essere un numero intero da 0 a 2.147.483.647. Il prezzo non è stato"
    " modificato.");
const QString NUMERO_PEZZI = QStringLiteral("Aggiunta a carrello\nNumero di pezzi?");
const QString PEZZI_ERRATI = QStringLiteral(
    "Il numero di pezzi deve essere compreso tra -32.768 e 32.767. Nulla è stato aggiunto al carrello.");
const QString NEGATIVO_O_NULLO =
    QStringLiteral("Attenzione\nIl numero di prodotti in carrello è negativo o nullo");
const QString INVITO = QStringLiteral(">>> Seleziona TIPO <<<");

bool bianco(const ValoreOstile &v)
{
    return v.testo.trimmed().isEmpty();
}

QStringList celle(const QTableView *griglia)
{
    QStringList righe;
    const QAbstractItemModel *m = griglia->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList riga;
        for (int c = 0; c < m->columnCount(); ++c)
            riga << m->index(r, c).data().toString();
        righe << riga.join(u'|');
    }
    return righe;
}

// As the user does: open the list and click the entry.
void scegliDalMenu(QComboBox *tipo, const QString &codice)
{
    QAbstractItemView *elenco = tipo->view();
    tipo->showPopup();
    QTRY_VERIFY(elenco->isVisible());
    const QRect voce = elenco->visualRect(tipo->model()->index(tipo->findText(codice), 0));
    QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, voce.center());
    QTRY_VERIFY(!elenco->isVisible());
}

// The hostile values whose row name is given, with what each leads to.
template <typename Esito>
void righe(const QString &campo, const QList<ValoreOstile> &valori, Esito esito)
{
    for (const ValoreOstile &v : valori) {
        const auto [messaggio, salvato] = esito(v);
        QTest::addRow("%s: %s", qPrintable(campo), qPrintable(v.nome))
            << campo << v << messaggio << salvato;
    }
}

} // namespace

class TestImmissioniMagazzino : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tipi_data();
    void tipi();
    void prodotto_data();
    void prodotto();
    void rimanenze_data();
    void rimanenze();

private:
    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
    RisponditoreDialoghi *risponditore_ = nullptr;
};

void TestImmissioniMagazzino::init()
{
    db_ = new DatabaseDiProva;
    registro_ = new RegistroRapporti;
    risponditore_ = new RisponditoreDialoghi;
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
}

void TestImmissioniMagazzino::cleanup()
{
    QCOMPARE(registro_->rapporti().size(), 0);
    delete risponditore_;
    delete registro_;
    delete db_;
}

void TestImmissioniMagazzino::tipi_data()
{
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<QString>("messaggio");
    for (const ValoreOstile &v : testiOstili())
        QTest::newRow(qPrintable(v.nome)) << v << (bianco(v) ? SCRIVERE_TIPO : QString());
}

void TestImmissioniMagazzino::tipi()
{
    QFETCH(ValoreOstile, valore);
    QFETCH(QString, messaggio);
    VisTipi_frm finestra;
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    auto *campo = finestra.findChild<QLineEdit *>(QStringLiteral("Text1"));
    campo->setFocus();
    immetti(campo, valore);
    QCOMPARE(campo->text(), valore.testo);
    const QByteArray prima = byteDelFile(db_->percorso());

    QTest::mouseClick(finestra.findChild<QPushButton *>(QStringLiteral("Command3")), Qt::LeftButton);

    const auto *griglia = finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
    if (!messaggio.isEmpty()) {
        QCOMPARE(risponditore_->testi(), QStringList{messaggio});
        QVERIFY(byteDelFile(db_->percorso()) == prima);
        QCOMPARE(campo->text(), valore.testo);
        QCOMPARE(celle(griglia), QStringList({" 1|Viti", "|"}));
        return;
    }
    QCOMPARE(risponditore_->testi(), QStringList{});
    QCOMPARE(db_->valore(QStringLiteral("SELECT codice FROM tipo WHERE id = 2")).toString(), valore.testo);
    QVERIFY(celle(griglia).contains(QStringLiteral(" 2|") + valore.testo));
    QCOMPARE(campo->text(), QString());
    // Found again by its exact text, wildcards and all.
    QCOMPARE(IdTipo(valore.testo), 2);
    QVERIFY(CaricaTipi().contains(valore.testo));
}

void TestImmissioniMagazzino::prodotto_data()
{
    QTest::addColumn<QString>("campo");
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<QString>("messaggio");
    QTest::addColumn<QVariant>("salvato"); // in the movement's column for the field

    using Esito = std::pair<QString, QVariant>;
    righe(QStringLiteral("Combo1"), testiOstili(),
          [](const ValoreOstile &) { return Esito{SCEGLIERE_TIPO, {}}; });
    righe(QStringLiteral("Text1"), testiOstili(), [](const ValoreOstile &v) {
        if (bianco(v))
            return Esito{SCRIVERE_CODICE, {}};
        // A quote typed becomes "-"; pasted, it stays.
        if (!v.incollato && (v.testo == QLatin1String("'") || v.testo == QLatin1String("\"")))
            return Esito{QString(), QStringLiteral("-")};
        return Esito{QString(), v.testo};
    });
    for (const auto &[campo, quale] : {std::pair{"Text2", "acquisto"}, std::pair{"Text4", "vendita"}}) {
        righe(QLatin1String(campo), numeriOstili(), [quale = QLatin1String(quale)](const ValoreOstile &v) {
            // Typed, only digits reach the field: the minus of -5 is dropped.
            if (v.nome == QLatin1String("negativo"))
                return Esito{QString(), 5};
            if (v.nome == QLatin1String("oltre 16 bit"))
                return Esito{QString(), 32768};
            if (!v.incollato && v.nome != QLatin1String("oltre 32 bit"))
                return Esito{SCRIVERE_PREZZO.arg(quale), {}};
            return Esito{PREZZO_INTERO.arg(quale), {}};
        });
    }
    righe(QStringLiteral("Text3"), numeriOstili(), [](const ValoreOstile &v) {
        if (bianco(v))
            return Esito{QString(), 0};
        if (v.nome == QLatin1String("negativo"))
            return Esito{QString(), -5};
        return Esito{PEZZI_FUORI, {}};
    });
}

void TestImmissioniMagazzino::prodotto()
{
    QFETCH(QString, campo);
    QFETCH(ValoreOstile, valore);
    QFETCH(QString, messaggio);
    QFETCH(QVariant, salvato);
    Prodotto_frm finestra;
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    auto *tipo = finestra.findChild<QComboBox *>(QStringLiteral("Combo1"));
    tipo->setCurrentIndex(tipo->findText(QStringLiteral("Viti")));
    const QStringList nomi{"Text1", "Text2", "Text4", "Text3"};
    const QStringList validi{"M8", "100", "200", "1"};
    for (int i = 0; i < nomi.size(); ++i)
        finestra.findChild<QLineEdit *>(nomi.at(i))->setText(validi.at(i));
    QLineEdit *bersaglio = campo == QLatin1String("Combo1") ? tipo->lineEdit()
                                                             : finestra.findChild<QLineEdit *>(campo);
    bersaglio->clear();
    bersaglio->setFocus();
    immetti(bersaglio, valore);
    auto leggiCampi = [&] {
        QStringList testi{tipo->currentText()};
        for (const QString &nome : nomi)
            testi << finestra.findChild<QLineEdit *>(nome)->text();
        return testi;
    };
    const QStringList campi = leggiCampi();
    const QByteArray prima = byteDelFile(db_->percorso());

    QTest::mouseClick(finestra.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);

    if (!messaggio.isEmpty()) {
        QCOMPARE(risponditore_->testi(), QStringList{messaggio});
        QCOMPARE(leggiCampi(), campi);
        QVERIFY(byteDelFile(db_->percorso()) == prima);
        return;
    }
    QCOMPARE(risponditore_->testi(), QStringList{});
    QCOMPARE(leggiCampi(), QStringList({INVITO, "", "", "", ""}));
    const QString colonna = QHash<QString, QString>{{"Text1", "codice"},
                                                    {"Text2", "prezzoacquisto"},
                                                    {"Text4", "prezzovendita"},
                                                    {"Text3", "pezzi"}}
                                .value(campo);
    QCOMPARE(db_->righe(QStringLiteral("SELECT %1 FROM prodotto").arg(colonna)),
             QList<QVariantList>{{salvato}});
    if (campo == QLatin1String("Text1")) {
        // The stock row under the same code, and found as typed.
        QCOMPARE(db_->valore(QStringLiteral("SELECT codice FROM rimanenze")), salvato);
        QCOMPARE(SuggerimentiCodice(1, salvato.toString()), QStringList{salvato.toString()});
    }
}

void TestImmissioniMagazzino::rimanenze_data()
{
    QTest::addColumn<QString>("campo");
    QTest::addColumn<ValoreOstile>("valore");
    QTest::addColumn<QString>("messaggio");
    QTest::addColumn<QVariant>("salvato"); // the new price, or the cart line's pieces

    using Esito = std::pair<QString, QVariant>;
    QList<ValoreOstile> prezzi = numeriOstili();
    prezzi.append({QStringLiteral("valido"), QStringLiteral("1.500"), false});
    righe(QStringLiteral("prezzo"), prezzi, [](const ValoreOstile &v) {
        // A cancelled box answers the empty text: empty means no change.
        if (bianco(v))
            return Esito{QString(), {}};
        if (v.nome == QLatin1String("oltre 16 bit"))
            return Esito{QString(), 32768};
        if (v.nome == QLatin1String("valido"))
            return Esito{QString(), 1500};
        return Esito{PREZZO_ERRATO, {}};
    });
    QList<ValoreOstile> pezzi = numeriOstili();
    pezzi.append({QStringLiteral("valido"), QStringLiteral("2"), false});
    righe(QStringLiteral("pezzi"), pezzi, [](const ValoreOstile &v) {
        if (bianco(v))
            return Esito{QString(), {}};
        if (v.nome == QLatin1String("negativo"))
            return Esito{NEGATIVO_O_NULLO, {}};
        if (v.nome == QLatin1String("valido"))
            return Esito{QString(), 2};
        return Esito{PEZZI_ERRATI, {}};
    });
    // Typed into the type selector, then Enter: the types are read again.
    righe(QStringLiteral("Combo1"), testiOstili(),
          [](const ValoreOstile &) { return Esito{QString(), {}}; });
}

void TestImmissioniMagazzino::rimanenze()
{
    QFETCH(QString, campo);
    QFETCH(ValoreOstile, valore);
    QFETCH(QString, messaggio);
    QFETCH(QVariant, salvato);
    db_->esegui(QStringLiteral("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES"
                               " ('A-1', 1, 3, 1000)"));
    AggCarrello_frm finestra;
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    auto *tipo = finestra.findChild<QComboBox *>(QStringLiteral("Combo1"));
    auto *griglia = finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
    scegliDalMenu(tipo, QStringLiteral("Viti"));
    const QStringList elenco = celle(griglia);
    QCOMPARE(elenco, QStringList({"A-1|Viti|1.000|3", "|||"}));
    const QByteArray prima = byteDelFile(db_->percorso());

    QStringList dialoghi;
    if (campo == QLatin1String("prezzo")) {
        griglia->setCurrentIndex(griglia->model()->index(0, 0));
        risponditore_->premi(QMessageBox::Yes);
        risponditore_->scrivi(valore.testo);
        QTest::mouseClick(finestra.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
        dialoghi = QStringList{DOMANDA_MODIFICA, NUOVO_PREZZO};
    } else if (campo == QLatin1String("pezzi")) {
        risponditore_->scrivi(valore.testo);
        const QPoint cella = griglia->visualRect(griglia->model()->index(0, 0)).center();
        QTest::mouseClick(griglia->viewport(), Qt::LeftButton, {}, cella);
        QTest::mouseDClick(griglia->viewport(), Qt::LeftButton, {}, cella);
        dialoghi = QStringList{NUMERO_PEZZI};
    } else {
        tipo->lineEdit()->clear();
        tipo->setFocus();
        immetti(tipo->lineEdit(), valore);
        QTest::keyClick(finestra.windowHandle(), Qt::Key_Return);
        QCOMPARE(tipo->currentText(), INVITO);
        QCOMPARE(tipo->count(), 1);
    }
    if (!messaggio.isEmpty())
        dialoghi << messaggio;

    QCOMPARE(risponditore_->testi(), dialoghi);
    QCOMPARE(risponditore_->rispostePendenti(), 0);
    if (!salvato.isValid()) {
        QVERIFY(byteDelFile(db_->percorso()) == prima);
        QCOMPARE(celle(griglia), elenco);
    } else if (campo == QLatin1String("prezzo")) {
        QCOMPARE(db_->valore(QStringLiteral("SELECT prezzo FROM rimanenze")), salvato);
        QCOMPARE(griglia->model()->index(0, 2).data().toString(),
                 QLocale(QLocale::Italian).toString(salvato.toLongLong()));
    } else {
        const QList<QVariantList> attese{{QStringLiteral("A-1"), salvato}};
        QCOMPARE(db_->righe(QStringLiteral("SELECT codice, pezzi FROM carrello")), attese);
    }
}

QTEST_MAIN(TestImmissioniMagazzino)
#include "tst_immissioni_magazzino.moc"
