#include "data/database_routines.h"
#include "stock/VisTipi_frm.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

class TestVisTipi : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void elencoEAggiorna();
    void aggiungi_data();
    void aggiungi();
    void cancella_data();
    void cancella();

private:
    QStringList colonna(int indice) const;
    void premi(const char *pulsante);

    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
    VisTipi_frm *finestra_ = nullptr;
    QTableView *griglia_ = nullptr;
};

void TestVisTipi::init()
{
    db_ = new DatabaseDiProva;
    registro_ = new RegistroRapporti;
}

void TestVisTipi::cleanup()
{
    delete finestra_;
    finestra_ = nullptr;
    delete registro_;
    delete db_;
}

QStringList TestVisTipi::colonna(int indice) const
{
    QStringList celle;
    const QAbstractItemModel *m = griglia_->model();
    for (int r = 0; r < m->rowCount(); ++r)
        celle.append(m->index(r, indice).data().toString());
    return celle;
}

void TestVisTipi::premi(const char *pulsante)
{
    QTest::mouseClick(finestra_->findChild<QPushButton *>(QLatin1String(pulsante)),
                      Qt::LeftButton);
}

void TestVisTipi::elencoEAggiorna()
{
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    finestra_ = new VisTipi_frm;
    finestra_->show();
    griglia_ = finestra_->findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
    QCOMPARE(finestra_->windowTitle(), QStringLiteral("Visualizzazione Tipi"));
    const QAbstractItemModel *m = griglia_->model();
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Descrizione"));
    QCOMPARE(colonna(1), (QStringList{"Viti", ""}));

    for (const char *codice : {"Attrezzi", "bulloni"})
        QVERIFY(AggiungiTipo(QLatin1String(codice)));
    QCOMPARE(m->rowCount(), 2);
    premi("Command1");
    QCOMPARE(colonna(0), (QStringList{" 2", " 3", " 1", ""}));
    QCOMPARE(colonna(1), (QStringList{"Attrezzi", "bulloni", "Viti", ""}));

    db_->esegui(QStringLiteral("DELETE FROM tipo"));
    premi("Command1");
    QCOMPARE(colonna(0), QStringList{""});
    QCOMPARE(colonna(1), QStringList{""});
}

void TestVisTipi::aggiungi_data()
{
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<bool>("bloccato");
    QTest::addColumn<QString>("restaNelCampo");
    QTest::addColumn<QStringList>("celle");
    QTest::addColumn<QStringList>("messaggi");
    QTest::addColumn<QList<int>>("zone");
    // Taken as typed, trailing blank and quote included.
    QTest::newRow("aggiunto") << "L'uno " << false << "" << QStringList{"Bulloni", "L'uno ", ""}
                              << QStringList{} << QList<int>{};
    QTest::newRow("uguale a uno esistente")
        << "bulloni" << false << "" << QStringList{"Bulloni", "bulloni", ""} << QStringList{}
        << QList<int>{};
    QTest::newRow("inserimento fallito") << "Viti" << true << "Viti"
                                         << QStringList{"Bulloni", ""} << QStringList{}
                                         << QList<int>{2};
    QTest::newRow("descrizione vuota") << "   " << false << "   " << QStringList{"Bulloni", ""}
                                       << QStringList{"Scrivere la descrizione del tipo."}
                                       << QList<int>{};
}

void TestVisTipi::aggiungi()
{
    QFETCH(QString, digitato);
    QFETCH(bool, bloccato);
    QFETCH(QString, restaNelCampo);
    QFETCH(QStringList, celle);
    QFETCH(QStringList, messaggi);
    QFETCH(QList<int>, zone);
    QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
    if (bloccato) {
        db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE INSERT ON tipo"
                                   " BEGIN SELECT RAISE(ABORT, 'tipi bloccati'); END"));
    }
    finestra_ = new VisTipi_frm;
    finestra_->show();
    griglia_ = finestra_->findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
    RisponditoreDialoghi risponditore;
    auto *testo = finestra_->findChild<QLineEdit *>(QStringLiteral("Text1"));
    QTest::keyClicks(testo, digitato);
    premi("Command3");

    QCOMPARE(testo->text(), restaNelCampo);
    QCOMPARE(colonna(1), celle);
    QCOMPARE(risponditore.testi(), messaggi);
    QCOMPARE(registro_->zone(), zone);
    QCOMPARE(db_->valore(QStringLiteral("SELECT count(*) FROM tipo")).toInt(), celle.size() - 1);
}

void TestVisTipi::cancella_data()
{
    QTest::addColumn<int>("riga");
    QTest::addColumn<int>("risposta");
    QTest::addColumn<bool>("bloccato");
    QTest::addColumn<QStringList>("domande");
    QTest::addColumn<QStringList>("celle");
    QTest::addColumn<QStringList>("rimasti");
    const QString domanda = QStringLiteral("Si sta tentando di cancellare il tipo:\nViti\nContinuare?");
    QTest::newRow("Si") << 1 << int(QMessageBox::Yes) << false << QStringList{domanda}
                        << QStringList{"Bulloni", ""} << QStringList{"Bulloni"};
    QTest::newRow("No") << 1 << int(QMessageBox::No) << false << QStringList{domanda}
                        << QStringList{"Bulloni", "Viti", ""} << QStringList{"Bulloni", "Viti"};
    QTest::newRow("riga vuota") << 2 << int(QMessageBox::Yes) << false << QStringList{}
                                << QStringList{"Bulloni", "Viti", ""}
                                << QStringList{"Bulloni", "Viti"};
    QTest::newRow("cancellazione fallita")
        << 1 << int(QMessageBox::Yes) << true << QStringList{domanda}
        << QStringList{"Bulloni", "Viti", ""} << QStringList{"Bulloni", "Viti"};
}

void TestVisTipi::cancella()
{
    QFETCH(int, riga);
    QFETCH(int, risposta);
    QFETCH(bool, bloccato);
    QFETCH(QStringList, domande);
    QFETCH(QStringList, celle);
    QFETCH(QStringList, rimasti);
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
    if (bloccato) {
        db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE DELETE ON tipo"
                                   " BEGIN SELECT RAISE(ABORT, 'tipi bloccati'); END"));
    }
    finestra_ = new VisTipi_frm;
    finestra_->show();
    griglia_ = finestra_->findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
    RisponditoreDialoghi risponditore;
    risponditore.premi(QMessageBox::StandardButton(risposta));
    griglia_->setCurrentIndex(griglia_->model()->index(riga, 0));
    premi("Command2");

    QCOMPARE(risponditore.testi(), domande);
    for (const RisponditoreDialoghi::Dialogo &d : risponditore.visti()) {
        QCOMPARE(d.titolo, QStringLiteral("Vorendi"));
        QCOMPARE(d.pulsanti, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(d.icona, QMessageBox::NoIcon);
    }
    QCOMPARE(colonna(1), celle);
    QCOMPARE(CaricaTipi(), rimasti);
    QCOMPARE(registro_->zone(), bloccato ? QList<int>{6} : QList<int>{});
}

QTEST_MAIN(TestVisTipi)
#include "tst_VisTipi_frm.moc"
