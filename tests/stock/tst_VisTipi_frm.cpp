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
    void tabellaVuota();
    void elencoAllApertura();
    void aggiungi();
    void aggiuntaFallitaTieneIlTesto();
    void descrizioneVuota();
    void cancella_data();
    void cancella();
    void cancellaRigaVuotaNonChiede();
    void cancellazioneFallitaTieneLaRiga();
    void aggiorna();

private:
    QStringList cella(int colonna) const;
    void scegliRiga(int riga);
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

QStringList TestVisTipi::cella(int colonna) const
{
    QStringList celle;
    const QAbstractItemModel *m = griglia_->model();
    for (int r = 0; r < m->rowCount(); ++r)
        celle.append(m->index(r, colonna).data().toString());
    return celle;
}

void TestVisTipi::scegliRiga(int riga)
{
    griglia_->setCurrentIndex(griglia_->model()->index(riga, 0));
}

void TestVisTipi::premi(const char *pulsante)
{
    QTest::mouseClick(finestra_->findChild<QPushButton *>(QLatin1String(pulsante)),
                      Qt::LeftButton);
}

namespace {

VisTipi_frm *apri(QTableView **griglia)
{
    auto *finestra = new VisTipi_frm;
    finestra->show();
    *griglia = finestra->findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
    return finestra;
}

} // namespace

void TestVisTipi::tabellaVuota()
{
    finestra_ = apri(&griglia_);
    QCOMPARE(finestra_->windowTitle(), QStringLiteral("Visualizzazione Tipi"));
    const QAbstractItemModel *m = griglia_->model();
    QCOMPARE(m->columnCount(), 2);
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Descrizione"));
    QCOMPARE(cella(0), QStringList{""});
    QCOMPARE(cella(1), QStringList{""});
}

void TestVisTipi::elencoAllApertura()
{
    for (const char *codice : {"Viti", "Attrezzi", "bulloni"})
        QVERIFY(AggiungiTipo(QLatin1String(codice)));
    finestra_ = apri(&griglia_);
    QCOMPARE(cella(0), (QStringList{" 2", " 3", " 1", ""}));
    QCOMPARE(cella(1), (QStringList{"Attrezzi", "bulloni", "Viti", ""}));
}

void TestVisTipi::aggiungi()
{
    finestra_ = apri(&griglia_);
    auto *testo = finestra_->findChild<QLineEdit *>(QStringLiteral("Text1"));
    QTest::keyClicks(testo, QStringLiteral("Viti "));
    premi("Command3");
    QCOMPARE(testo->text(), QString());
    // Taken as typed, trailing blank included.
    QCOMPARE(cella(1), (QStringList{"Viti ", ""}));
    QCOMPARE(db_->valore(QStringLiteral("SELECT codice FROM tipo WHERE id=1")).toString(),
             QStringLiteral("Viti "));
    testo->setText(QStringLiteral("Viti "));
    premi("Command3");
    QCOMPARE(cella(0), (QStringList{" 1", " 2", ""}));
}

void TestVisTipi::aggiuntaFallitaTieneIlTesto()
{
    finestra_ = apri(&griglia_);
    db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE INSERT ON tipo"
                               " BEGIN SELECT RAISE(ABORT, 'tipi bloccati'); END"));
    auto *testo = finestra_->findChild<QLineEdit *>(QStringLiteral("Text1"));
    testo->setText(QStringLiteral("Viti"));
    premi("Command3");
    QCOMPARE(registro_->zone(), QList<int>{2});
    QCOMPARE(testo->text(), QStringLiteral("Viti"));
    QCOMPARE(cella(1), QStringList{""});
}

void TestVisTipi::descrizioneVuota()
{
    finestra_ = apri(&griglia_);
    RisponditoreDialoghi risponditore;
    auto *testo = finestra_->findChild<QLineEdit *>(QStringLiteral("Text1"));
    testo->setText(QStringLiteral("   "));
    premi("Command3");
    QCOMPARE(risponditore.testi(), QStringList{"Scrivere la descrizione del tipo."});
    QCOMPARE(db_->valore(QStringLiteral("SELECT count(*) FROM tipo")).toInt(), 0);
    QCOMPARE(testo->text(), QStringLiteral("   "));
}

void TestVisTipi::cancella_data()
{
    QTest::addColumn<bool>("conferma");
    QTest::newRow("Si") << true;
    QTest::newRow("No") << false;
}

void TestVisTipi::cancella()
{
    QFETCH(bool, conferma);
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
    finestra_ = apri(&griglia_);
    RisponditoreDialoghi risponditore;
    risponditore.premi(conferma ? QMessageBox::Yes : QMessageBox::No);
    scegliRiga(1);
    premi("Command2");

    QCOMPARE(risponditore.visti().size(), 1);
    const RisponditoreDialoghi::Dialogo &domanda = risponditore.visti().first();
    QCOMPARE(domanda.testo, QStringLiteral("Si sta tentando di cancellare il tipo:\nViti\nContinuare?"));
    QCOMPARE(domanda.titolo, QStringLiteral("Vorendi"));
    QCOMPARE(domanda.pulsanti, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(domanda.icona, QMessageBox::NoIcon);
    if (conferma) {
        QCOMPARE(cella(1), (QStringList{"Bulloni", ""}));
        QCOMPARE(CaricaTipi(), QStringList{"Bulloni"});
    } else {
        QCOMPARE(cella(1), (QStringList{"Bulloni", "Viti", ""}));
        QCOMPARE(CaricaTipi(), (QStringList{"Bulloni", "Viti"}));
    }
    QVERIFY(registro_->rapporti().isEmpty());
}

void TestVisTipi::cancellaRigaVuotaNonChiede()
{
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    finestra_ = apri(&griglia_);
    RisponditoreDialoghi risponditore;
    scegliRiga(1);
    premi("Command2");
    QVERIFY(risponditore.visti().isEmpty());
    QCOMPARE(cella(1), (QStringList{"Viti", ""}));
}

void TestVisTipi::cancellazioneFallitaTieneLaRiga()
{
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    finestra_ = apri(&griglia_);
    db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE DELETE ON tipo"
                               " BEGIN SELECT RAISE(ABORT, 'tipi bloccati'); END"));
    RisponditoreDialoghi risponditore;
    risponditore.premi(QMessageBox::Yes);
    scegliRiga(0);
    premi("Command2");
    QCOMPARE(registro_->zone(), QList<int>{6});
    QCOMPARE(cella(1), (QStringList{"Viti", ""}));
}

void TestVisTipi::aggiorna()
{
    finestra_ = apri(&griglia_);
    QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
    QCOMPARE(cella(1), QStringList{""});
    premi("Command1");
    QCOMPARE(cella(0), (QStringList{" 1", ""}));
    QCOMPARE(cella(1), (QStringList{"Viti", ""}));
}

QTEST_MAIN(TestVisTipi)
#include "tst_VisTipi_frm.moc"
