#include "support/banco.h"

#include "counter/stampante.h"
#include "data/configurazione.h"
#include "data/percorso.h"
#include "data/schema.h"
#include "data/server.h"
#include "support/server_prova.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>

namespace {

class StampanteRegistrata final : public Stampante
{
public:
    explicit StampanteRegistrata(std::shared_ptr<DocumentoStampato> d) : d_(std::move(d)) {}
    void impostaCarattere(const QString &nome) override { riga_.carattere = nome; }
    void impostaDimensione(int punti) override { riga_.punti = punti; }
    void impostaGrassetto(bool attivo) override { riga_.grassetto = attivo; }
    void stampaRiga(const QString &testo) override
    {
        riga_.testo = testo;
        d_->righe << riga_;
    }
    EsitoStampa fineDocumento() override
    {
        d_->concluso = true;
        return {};
    }

private:
    std::shared_ptr<DocumentoStampato> d_;
    RigaStampata riga_;
};

} // namespace

QStringList DocumentoStampato::testi() const
{
    QStringList t;
    for (const RigaStampata &r : righe)
        t << r.testo;
    return t;
}

Banco::Banco(int opzioni)
    : cartellaPrecedente_(QDir::currentPath())
{
    QDir::setCurrent(cartella_.path());
    // As the program's on a file, with a short wait so that tests wait little.
    Configurazione c{.percorso = percorsoPredefinito(), .attesaFileBloccato = std::chrono::milliseconds(400),
                     .copiaDelGiorno = true};
    if (ServerProva *s = serverDiProva(); s && !(opzioni & SenzaFile)) {
        database_ = s->nuovoDatabase();
        QString errore;
        if (database_.isEmpty() || !creaDatabaseServer(connessione(), &errore))
            qFatal("database di prova non creato: %s", qPrintable(errore));
        c.server = connessione();
        c.copiaDelGiorno = false;
    } else if (!(opzioni & SenzaFile) && !creaDatabase(percorso())) {
        qFatal("file di prova non creato");
    }
    impostaConfigurazione(c);
    segnalatorePrecedente_ = installaSegnalatore([this](const RapportoZona &r) { rapporti << r; });
    if (!(opzioni & StampeVere)) {
        installaFabbricaStampanti([this](const QString &nome) {
            documenti_ << std::make_shared<DocumentoStampato>(DocumentoStampato{nome});
            return std::make_unique<StampanteRegistrata>(documenti_.last());
        });
    }
    // The modal box on screen is answered once.
    connect(&timer_, &QTimer::timeout, this, [this] {
        QWidget *attivo = QApplication::activeModalWidget();
        if (!attivo || attivo == ultimo_ || !attivo->isVisible())
            return;
        // Keys go where the focus is: the box must be in front first.
        if (QApplication::activeWindow() != attivo) {
            attivo->activateWindow();
            return;
        }
        ultimo_ = attivo;
        const QString risposta = risposte_.value(0);
        if (tasti) {
            // Enter takes the default button or the text typed; Esc says No or cancels.
            if (!risposte_.isEmpty())
                risposte_.removeFirst();
            if (auto *scatola = qobject_cast<QMessageBox *>(attivo))
                visti << Dialogo{scatola->text(), scatola->standardButton(scatola->defaultButton())};
            else if (auto *dialogo = qobject_cast<QInputDialog *>(attivo))
                visti << Dialogo{dialogo->labelText()};
            QWidget *bersaglio = attivo->findChild<QLineEdit *>();
            bersaglio = bersaglio ? bersaglio : attivo;
            QTest::keyClicks(bersaglio, risposta.mid(1));
            // N answers No where Esc leaves the question instead.
            auto *scatola = qobject_cast<QMessageBox *>(attivo);
            const bool lascia = scatola && scatola->button(QMessageBox::Cancel)
                && scatola->button(QMessageBox::Cancel)->isHidden();
            QTest::keyClick(bersaglio, risposta == "annulla" || (risposta == "No" && !lascia)
                                ? Qt::Key_Escape
                                : risposta == "No" ? Qt::Key_N : Qt::Key_Return);
            return;
        }
        if (auto *scatola = qobject_cast<QMessageBox *>(attivo)) {
            visti << Dialogo{scatola->text(), scatola->standardButton(scatola->defaultButton()),
                             scatola->detailedText()};
            if (risposta == "annulla" || risposta == "chiudi") {
                // Esc, or the close button of the box's frame.
                risposte_.removeFirst();
                risposta == "chiudi" ? void(scatola->close()) : QTest::keyClick(scatola, Qt::Key_Escape);
                return;
            }
            auto scelta = scatola->standardButtons() & QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::No;
            if (risposta == "Si" || risposta == "No")
                scelta = risposte_.takeFirst() == "Si" ? QMessageBox::Yes : QMessageBox::No;
            scatola->button(scelta)->click();
        } else if (auto *dialogo = qobject_cast<QInputDialog *>(attivo)) {
            visti << Dialogo{dialogo->labelText()};
            if (risposta.startsWith(u'=') || risposta == "annulla")
                risposte_.removeFirst();
            dialogo->setTextValue(risposta.mid(1));
            risposta.startsWith(u'=') ? dialogo->accept() : dialogo->reject();
        }
    });
    timer_.start(5);
}

Banco::~Banco()
{
    impostaConfigurazione({});
    installaFabbricaStampanti({});
    installaSegnalatore(std::move(segnalatorePrecedente_));
    QDir::setCurrent(cartellaPrecedente_);
}

QString Banco::percorso() const
{
    return QDir(cartella_.path()).filePath(NOME_FILE_DATABASE);
}

ServerProva *serverDiProva()
{
    static std::unique_ptr<ServerProva> server;
    if (!server && qEnvironmentVariableIsSet("VORENDI_PROVA_SERVER")) {
        server = std::make_unique<ServerProva>();
        if (!server->isValid())
            qFatal("server di prova non avviato: %s", qPrintable(server->errore()));
        // Stopped and deleted before the program ends.
        qAddPostRoutine([] { server.reset(); });
    }
    return server.get();
}

QString Banco::connessione() const
{
    return server() ? serverDiProva()->connessione(database_) : QString();
}

QSqlDatabase Banco::altraConnessione(const QString &nome) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(server() ? "QPSQL" : "QSQLITE", nome);
    if (server())
        db.setConnectOptions(connessione());
    else
        db.setDatabaseName(percorso());
    if (!db.open())
        qFatal("%s", qPrintable(db.lastError().text()));
    // The routines' view of the cart is this counter's.
    if (server()) {
        QSqlQuery q(db);
        if (!q.prepare("SELECT set_config('vorendi.postazione', ?, false)"))
            qFatal("%s", qPrintable(q.lastError().text()));
        q.addBindValue(postazione());
        q.exec();
    }
    return db;
}

QList<QVariantList> Banco::righe(const QString &sql, const QVariantList &valori) const
{
    return righe(sql, valori, true);
}

QList<QVariantList> Banco::righe(const QString &sql, const QVariantList &valori, bool fatale) const
{
    QList<QVariantList> risultato;
    {
        QSqlDatabase db = altraConnessione("prova");
        QSqlQuery q(db);
        // The server prepares no DDL: statements without values run as they are.
        const bool diretta = server() && valori.isEmpty();
        const bool pronta = diretta || q.prepare(sql);
        for (int i = 0; i < valori.size(); ++i)
            q.bindValue(i, valori[i]);
        if ((!pronta || !(diretta ? q.exec(sql) : q.exec())) && fatale)
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        while (q.next()) {
            risultato << QVariantList();
            for (int i = 0; i < q.record().count(); ++i)
                risultato.last() << q.value(i);
        }
        // Rows written with their own numbers: the server's counters go on
        // after them, as the file's do.
        for (const char *contatore : {"tipo', 'id", "prodotto', 'id", "ricevuta', 'codice"}) {
            if (!server() || !sql.startsWith("INSERT"))
                break;
            const QStringList parti = QString::fromLatin1(contatore).split("', '");
            q.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), max(%2)) FROM %1"
                                  " HAVING max(%2) > (SELECT CASE WHEN is_called THEN last_value ELSE 0 END"
                                  " FROM %1_%2_seq)").arg(parti[0], parti[1]));
        }
    }
    QSqlDatabase::removeDatabase("prova");
    return risultato;
}

QByteArray Banco::byte() const
{
    if (!server())
        return byteDelFile(percorso());
    QByteArray tutto;
    for (const char *tabella : {"tipo", "rimanenze", "prodotto", "carrelli", "ricevuta", "\"generalità\""}) {
        for (const QVariantList &riga : righe(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(tabella), {}, false)) {
            for (const QVariant &v : riga)
                tutto += v.toString().toUtf8() + '|';
            tutto += '\n';
        }
    }
    return tutto;
}

void Banco::guasta(bool mancante) const
{
    if (server()) {
        Configurazione c = configurazione();
        c.server = mancante ? serverDiProva()->connessione("non_esiste") : QStringLiteral("host=127.0.0.1 port=1");
        return impostaConfigurazione(c);
    }
    QFile file(percorso());
    if (mancante ? !file.remove() : !file.open(QIODevice::WriteOnly) || file.write(QByteArray(2000, 'x')) < 0)
        qFatal("file non guastato");
}

QList<int> Banco::zone() const
{
    QList<int> z;
    for (const RapportoZona &r : rapporti)
        z << r.zona;
    return z;
}

QStringList Banco::testi() const
{
    QStringList t;
    for (const Dialogo &d : visti)
        t << d.testo;
    return t;
}

QList<DocumentoStampato> Banco::stampe() const
{
    QList<DocumentoStampato> copia;
    for (const auto &d : documenti_)
        copia << *d;
    return copia;
}

bool mostra(QWidget &finestra)
{
    finestra.show();
    return QTest::qWaitForWindowExposed(&finestra);
}

QString etichetta(const QWidget &finestra, const char *nome)
{
    return elemento<QLabel>(finestra, nome)->text();
}

QStringList griglia(const QWidget &finestra)
{
    const QAbstractItemModel *m = elemento<QTableView>(finestra, "MSFlexGrid1")->model();
    QStringList righe;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList celle;
        for (int c = 0; c < m->columnCount(); ++c)
            celle << m->index(r, c).data().toString();
        righe << celle.join(u'|');
    }
    return righe;
}

void vaiARiga(const QWidget &finestra, int riga)
{
    auto *v = elemento<QTableView>(finestra, "MSFlexGrid1");
    v->setCurrentIndex(v->model()->index(riga, 0));
}

void premi(const QWidget &finestra, const char *pulsante)
{
    QTest::mouseClick(elemento<QPushButton>(finestra, pulsante), Qt::LeftButton);
}

void premi(const QWidget &finestra, Banco &b, const char *pulsante, int riga, const QStringList &risposte)
{
    if (riga >= 0)
        vaiARiga(finestra, riga);
    b.visti.clear();
    b.rispondi(risposte);
    premi(finestra, pulsante);
}

void doppioClic(const QWidget &finestra, int riga)
{
    auto *v = elemento<QTableView>(finestra, "MSFlexGrid1");
    const QPoint cella = v->visualRect(v->model()->index(riga, 0)).center();
    // The first click of a double-click comes as a click of its own.
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cella);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cella);
}

void scegli(const QWidget &finestra, const QString &voce)
{
    auto *tipo = elemento<QComboBox>(finestra, "Combo1");
    tipo->setCurrentIndex(tipo->findText(voce));
}

void scegliDalMenu(const QWidget &finestra, const QString &voce)
{
    auto *tipo = elemento<QComboBox>(finestra, "Combo1");
    QAbstractItemView *elenco = tipo->view();
    tipo->showPopup();
    QTRY_VERIFY(elenco->isVisible());
    // A long entry is wider than the list: its centre may lie outside.
    const QRect area = elenco->visualRect(tipo->model()->index(tipo->findText(voce), 0));
    QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {}, {area.left() + 5, area.center().y()});
    QTRY_VERIFY(!elenco->isVisible());
}

QByteArray byteDelFile(const QString &percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ProcessoProva::ProcessoProva(const QStringList &argomenti)
{
    processo_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    processo_.start(VORENDI_PROCESSO_PROVA, argomenti);
    processo_.waitForStarted(10000);
}

bool ProcessoProva::attendi(const QString &riga, int volte)
{
    for (const QDeadlineTimer limite(20000); righe().count(riga) < volte;) {
        if (limite.hasExpired() || processo_.state() != QProcess::Running)
            return false;
        processo_.waitForReadyRead(int(qMax<qint64>(1, limite.remainingTime())));
    }
    return true;
}

bool ProcessoProva::finisci()
{
    return processo_.waitForFinished(60000) && processo_.exitStatus() == QProcess::NormalExit
        && processo_.exitCode() == 0;
}

bool ProcessoProva::uccidi()
{
    if (processo_.state() == QProcess::NotRunning)
        return false;
    processo_.kill();
    return processo_.waitForFinished(10000);
}

QStringList ProcessoProva::righe()
{
    uscita_ += processo_.readAllStandardOutput();
    return QString::fromUtf8(uscita_).split(u'\n', Qt::SkipEmptyParts);
}
