#include "data/database_routines.h"
#include "stock/VisTipi_frm.h"
#include "support/database_di_prova.h"
#include "support/registro_rapporti.h"
#include "support/risponditore_dialoghi.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

class TestVisTipi : public QObject
{
    Q_OBJECT

    DatabaseDiProva *db_ = nullptr;
    RegistroRapporti *registro_ = nullptr;
    VisTipi_frm *finestra_ = nullptr;

    QTableView *griglia() const { return finestra_->findChild<QTableView *>("MSFlexGrid1"); }
    void premi(const char *pulsante) { finestra_->findChild<QPushButton *>(pulsante)->click(); }

    // "id|codice" per row.
    QStringList celle() const
    {
        QStringList righe;
        const QAbstractItemModel *m = griglia()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            righe << m->index(r, 0).data().toString() + u'|' + m->index(r, 1).data().toString();
        return righe;
    }

private slots:
    void init()
    {
        db_ = new DatabaseDiProva;
        registro_ = new RegistroRapporti;
        QVERIFY(AggiungiTipo(QStringLiteral("Viti")));
        QVERIFY(AggiungiTipo(QStringLiteral("Bulloni")));
        finestra_ = new VisTipi_frm;
        finestra_->show();
    }

    void cleanup()
    {
        delete finestra_;
        delete registro_;
        delete db_;
    }

    void aggiornaETabellaVuota()
    {
        QVERIFY(AggiungiTipo(QStringLiteral("attrezzi")));
        QCOMPARE(celle(), QStringList({" 2|Bulloni", " 1|Viti", "|"}));
        premi("Command1");
        QCOMPARE(celle(), QStringList({" 3|attrezzi", " 2|Bulloni", " 1|Viti", "|"}));
        db_->esegui("DELETE FROM tipo");
        premi("Command1");
        QCOMPARE(celle(), QStringList{"|"});
    }

    void comandi_data()
    {
        QTest::addColumn<QString>("comando");
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<int>("riga"); // Bulloni, Viti, then the empty row
        QTest::addColumn<int>("risposta");
        QTest::addColumn<QString>("blocco"); // a write to the type table made to fail, or "uso"
        QTest::addColumn<QStringList>("dialoghi");
        QTest::addColumn<QStringList>("righe"); // as shown, and as read again from the file
        QTest::addColumn<QString>("restaNelCampo");

        const QStringList tipi{" 2|Bulloni", " 1|Viti", "|"};
        const QStringList domanda{"Si sta tentando di cancellare il tipo:\nViti\nContinuare?"};
        const int si = QMessageBox::Yes;
        // Taken as typed, trailing blank and quote included.
        QTest::newRow("aggiunto") << "Command3" << "L'uno " << 0 << si << "" << QStringList{}
                                  << QStringList{" 2|Bulloni", " 3|L'uno ", " 1|Viti", "|"} << "";
        QTest::newRow("codice uguale") << "Command3" << "bulloni" << 0 << si << "" << QStringList{}
                                       << QStringList{" 2|Bulloni", " 3|bulloni", " 1|Viti", "|"}
                                       << "";
        QTest::newRow("aggiunta fallita") << "Command3" << "Dadi" << 0 << si << "INSERT"
                                          << QStringList{} << tipi << "Dadi";
        QTest::newRow("descrizione vuota") << "Command3" << "   " << 0 << si << ""
                                           << QStringList{"Scrivere la descrizione del tipo."}
                                           << tipi << "   ";
        QTest::newRow("Cancella, Si") << "Command2" << "" << 1 << si << "" << domanda
                                      << QStringList{" 2|Bulloni", "|"} << "";
        QTest::newRow("Cancella, No") << "Command2" << "" << 1 << int(QMessageBox::No) << ""
                                      << domanda << tipi << "";
        QTest::newRow("Cancella, riga vuota") << "Command2" << "" << 2 << si << "" << QStringList{}
                                              << tipi << "";
        // An article in stock holds its type back.
        QTest::newRow("Cancella, tipo in uso")
            << "Command2" << "" << 1 << si << "uso"
            << (domanda + QStringList{"Il tipo Viti non può essere cancellato: è usato da un"
                                      " articolo in magazzino o nel carrello."})
            << tipi << "";
        QTest::newRow("Cancella fallita") << "Command2" << "" << 1 << si << "DELETE" << domanda
                                          << tipi << "";
    }

    void comandi()
    {
        QFETCH(QString, comando);
        QFETCH(QString, digitato);
        QFETCH(int, riga);
        QFETCH(int, risposta);
        QFETCH(QString, blocco);
        QFETCH(QStringList, dialoghi);
        QFETCH(QStringList, righe);
        QFETCH(QString, restaNelCampo);
        const bool uso = blocco == QLatin1String("uso");
        if (uso)
            db_->esegui("INSERT INTO rimanenze (codice, tipo, pezzi, prezzo) VALUES ('V1', 1, 0, 0)");
        else if (!blocco.isEmpty())
            db_->esegui(QStringLiteral("CREATE TRIGGER blocca BEFORE %1 ON tipo"
                                       " BEGIN SELECT RAISE(ABORT, 'bloccati'); END").arg(blocco));
        RisponditoreDialoghi risponditore;
        risponditore.premi(QMessageBox::StandardButton(risposta));
        auto *campo = finestra_->findChild<QLineEdit *>("Text1");
        QTest::keyClicks(campo, digitato);
        griglia()->setCurrentIndex(griglia()->model()->index(riga, 0));
        premi(qPrintable(comando));

        QCOMPARE(risponditore.testi(), dialoghi);
        QCOMPARE(campo->text(), restaNelCampo);
        QCOMPARE(celle(), righe);
        premi("Command1");
        QCOMPARE(celle(), righe);
        const QList<int> zona{blocco == QLatin1String("INSERT") ? 2 : 6};
        QCOMPARE(registro_->zone(), blocco.isEmpty() || uso ? QList<int>{} : zona);
    }
};

QTEST_MAIN(TestVisTipi)
#include "tst_VisTipi_frm.moc"
