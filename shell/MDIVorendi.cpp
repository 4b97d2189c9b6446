#include "shell/MDIVorendi.h"

#include "common/messaggi.h"
#include "common/versione.h"
#include "counter/VisCarrello_frm.h"
#include "counter/Ricevute_frm.h"
#include "data/configurazione.h"
#include "data/copie.h"
#include "data/server.h"
#include "reports/Operazioni_frm.h"
#include "reports/VisGrafico_frm.h"
#include "reports/statistiche.h"
#include "shell/Info_frm.h"
#include "shell/frmAbout.h"
#include "shell/icone.h"
#include "stock/AggCarrello_frm.h"
#include "stock/Prodotto_frm.h"
#include "stock/VisTipi_frm.h"

#include <QApplication>
#include <QThread>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

#include <utility>

namespace {

constexpr int TWIP_PER_PIXEL = 15;

QAction *voce(QMenu *menu, const QString &testo, const QString &nome, const QKeySequence &tasti = {})
{
    QAction *azione = menu->addAction(testo);
    azione->setObjectName(nome);
    azione->setShortcut(tasti);
    return azione;
}

QMenu *menuPrincipale(QMenuBar *barra, const QString &testo, const QString &nome)
{
    QMenu *menu = barra->addMenu(testo);
    menu->setObjectName(nome);
    menu->menuAction()->setObjectName(nome);
    return menu;
}

} // namespace

MDIVorendi::MDIVorendi(const Configurazione &configurazione, QWidget *genitore)
    : QMainWindow(genitore), percorso_(configurazione.percorso)
{
    setObjectName(QStringLiteral("MDIVorendi"));
    QString titolo = QStringLiteral("Vorendi v%1.%2").arg(VERSIONE_MAGGIORE).arg(VERSIONE_MINORE);
    // Two counters' windows side by side are told apart by their names.
    const QString &connessione = configurazione.server;
    if (!connessione.isEmpty())
        titolo += (connessioneValida(connessione)
                       ? QStringLiteral(" - database ") + descrizioneServer(connessione)
                       : QStringLiteral(" - server: stringa di collegamento non valida"))
            + QStringLiteral(" - cassa ") + configurazione.postazione;
    setWindowTitle(titolo);
    // Whether the link is encrypted is known once a routine has connected,
    // and again at each new connection: a plain one is told in the title.
    if (!connessione.isEmpty())
        avvisoPrecedente_ = installaAvvisoCifratura([this, titolo](bool cifrato) {
            QMetaObject::invokeMethod(this, [this, titolo, cifrato] {
                setWindowTitle(cifrato ? titolo : titolo + QStringLiteral(" - collegamento non cifrato"));
            });
        });
    setWindowIcon(iconaProgramma());

    area_ = new QMdiArea(this);
    area_->setObjectName(QStringLiteral("areaLavoro"));
    setCentralWidget(area_);
    createActions();
    // The cart brought forward shows the cart as it is now, lines added from
    // the stock window included. A box closing gives the focus back to the
    // same window, which is not brought forward.
    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *sotto) {
        if (!sotto || sotto == davanti_)
            return;
        davanti_ = sotto;
        if (auto *carrello = qobject_cast<VisCarrello_frm *>(sotto->widget()))
            carrello->aggiorna();
    });
    // Esc closes the working window in front, never the main one.
    // A box still open answers its own Esc: the window that asked stays.
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), area_, area_, [this] {
        if (!QApplication::activeModalWidget())
            area_->closeActiveSubWindow();
    });
    esc->setContext(Qt::WidgetWithChildrenShortcut);

    QStatusBar *barra = new QStatusBar(this);
    barra->setObjectName(QStringLiteral("Barra"));
    setStatusBar(barra);
    // The windows' notices, long enough to be read between two scans.
    installaBarra([barra = QPointer<QStatusBar>(barra)](const QString &testo) {
        if (barra)
            barra->showMessage(testo, 20000);
    });
    // Never larger than the screen's free area, frame included, whatever
    // the screen's size or scale.
    resize(QSize(1000, 720).boundedTo(screen()->availableGeometry().size() - QSize(16, 48)));
}

MDIVorendi::~MDIVorendi()
{
    installaBarra({});
    if (avvisoPrecedente_)
        installaAvvisoCifratura(std::move(*avvisoPrecedente_));
    if (copia_)
        copia_->wait();
}

// In a thread of its own; a failure is told once and the counter goes on.
void MDIVorendi::avviaCopiaDelGiorno()
{
    copiaDaFare_ = true;
    auto esito = std::make_shared<EsitoCopia>();
    copia_ = QThread::create([esito, percorso = percorso_] {
        *esito = copiaDelGiorno(percorso, QDate::currentDate());
    });
    connect(copia_, &QThread::finished, this, [this, esito] {
        if (esito->stato == EsitoCopia::Stato::Fallita)
            mostraMessaggio(this, QStringLiteral("La copia di sicurezza di oggi non è stata fatta: %1\n"
                                                 "Il programma continua a funzionare.").arg(esito->motivo));
    });
    copia_->setParent(this);
    copia_->start(QThread::LowPriority);
}

void MDIVorendi::createActions()
{
    QMenuBar *barra = menuBar();

    QMenu *file = menuPrincipale(barra, QStringLiteral("&File"), QStringLiteral("file"));
    QAction *uscita = voce(file, QStringLiteral("&Uscita"), QStringLiteral("uscita"), QKeySequence::Quit);
    connect(uscita, &QAction::triggered, this, &QWidget::close);

    QMenu *magazz = menuPrincipale(barra, QStringLiteral("&Magazzino"), QStringLiteral("magazz"));
    QAction *addart = voce(magazz, QStringLiteral("Aggiunta &Articolo"), QStringLiteral("addart"), Qt::Key_F2);
    QAction *addtipo = voce(magazz, QStringLiteral("Aggiunta &Tipo"), QStringLiteral("addtipo"), Qt::Key_F7);

    QMenu *visualizz =
        menuPrincipale(barra, QStringLiteral("&Operazioni"), QStringLiteral("visualizz"));
    QAction *addcarr = voce(visualizz, QStringLiteral("Visualizza &Prodotti / Rimanenze"),
                            QStringLiteral("addcarr"), Qt::Key_F3);
    QAction *svuotcar = voce(visualizz, QStringLiteral("Visualizza &Carrello / Stampa Ricevuta"),
                             QStringLiteral("svuotcar"), Qt::Key_F4);
    QAction *ricvut = voce(visualizz, QStringLiteral("Visualizza &Ricevute"), QStringLiteral("ricvut"), Qt::Key_F5);
    QAction *delprod =
        voce(visualizz, QStringLiteral("Visualizza &Operazioni"), QStringLiteral("delprod"), Qt::Key_F6);

    QMenu *statis = menuPrincipale(barra, QStringLiteral("&Statistiche"), QStringLiteral("statis"));
    QAction *contab = voce(statis, QStringLiteral("&Andamento Annuale"), QStringLiteral("contab"));
    QAction *vendit = voce(statis, QStringLiteral("&Numero di Vendite"), QStringLiteral("vendit"));
    connect(contab, &QAction::triggered, this, [this] { apriStatistiche(1); });
    connect(vendit, &QAction::triggered, this, [this] { apriStatistiche(2); });

    QMenu *helps = menuPrincipale(barra, QStringLiteral("&?"), QStringLiteral("helps"));
    QAction *infoaz = voce(helps, QStringLiteral("&Informazioni Azienda"), QStringLiteral("infoaz"));
    QAction *info = voce(helps, QStringLiteral("I&nfo"), QStringLiteral("info"));
    connect(infoaz, &QAction::triggered, this, &MDIVorendi::apriInfoAzienda);
    connect(info, &QAction::triggered, this, &MDIVorendi::apriInformazioni);
    connect(addart, &QAction::triggered, this, [this] {
        mostraFinestra(QStringLiteral("Prodotto_frm"), [] { return new Prodotto_frm; });
    });
    connect(addtipo, &QAction::triggered, this, [this] {
        mostraFinestra(QStringLiteral("VisTipi_frm"), [] { return new VisTipi_frm; });
    });
    connect(addcarr, &QAction::triggered, this, [this] {
        mostraFinestra(QStringLiteral("AggCarrello_frm"), [] { return new AggCarrello_frm; });
    });
    connect(svuotcar, &QAction::triggered, this, [this] {
        const QString nome = QStringLiteral("VisCarrello_frm");
        const bool davanti = finestre_.value(nome) && area_->activeSubWindow() == finestre_.value(nome);
        auto *carrello = static_cast<VisCarrello_frm *>(
            mostraFinestra(nome, [] { return new VisCarrello_frm; }));
        // Already in front, it is read again all the same: another counter
        // may have changed it.
        if (davanti)
            carrello->aggiorna();
    });
    connect(ricvut, &QAction::triggered, this, [this] {
        mostraFinestra(QStringLiteral("Ricevute_frm"), [] { return new Ricevute_frm; });
    });
    connect(delprod, &QAction::triggered, this, [this] {
        mostraFinestra(QStringLiteral("Operazioni_frm"), [] { return new Operazioni_frm; });
    });

    QToolBar *strumenti = addToolBar(QStringLiteral("Strumenti"));
    strumenti->setObjectName(QStringLiteral("Toolbar1"));
    strumenti->setMovable(false);
    strumenti->setIconSize(QSize(16, 16));
    aggiungiPulsante(strumenti, addart, QStringLiteral("Command2"),
                     iconaStrumento(Pittogramma::Prodotto), QStringLiteral("Aggiungi Prodotto"), 495);
    aggiungiPulsante(strumenti, delprod, QStringLiteral("Command3"),
                     iconaStrumento(Pittogramma::Operazioni), QStringLiteral("Visualizza Operazioni"),
                     495);
    aggiungiPulsante(strumenti, ricvut, QStringLiteral("Command1"),
                     iconaStrumento(Pittogramma::Ricevute), QStringLiteral("Visualizza Ricevute"), 495);
    aggiungiPulsante(strumenti, addcarr, QStringLiteral("Command5"),
                     iconaStrumento(Pittogramma::AggiungiCarrello),
                     QStringLiteral("Aggiungi a Carrello"), 495);
    aggiungiPulsante(strumenti, svuotcar, QStringLiteral("Command4"),
                     iconaStrumento(Pittogramma::Carrello), QStringLiteral("Visualizza Carrello"), 495);
    aggiungiPulsante(strumenti, infoaz, QStringLiteral("Command6"),
                     iconaStrumento(Pittogramma::Azienda), QString(), 375);
}

void MDIVorendi::aggiungiPulsante(QToolBar *barra, QAction *comando, const QString &nome,
                                  const QIcon &icona, const QString &suggerimento,
                                  int larghezzaTwip)
{
    comando->setIcon(icona);
    // The menus show no icons.
    comando->setIconVisibleInMenu(false);
    if (!suggerimento.isEmpty())
        comando->setToolTip(suggerimento);
    barra->addAction(comando);
    QWidget *pulsante = barra->widgetForAction(comando);
    pulsante->setObjectName(nome);
    // Without a tip of its own, the button has none rather than the menu's text.
    if (suggerimento.isEmpty())
        pulsante->setToolTip(QString());
    pulsante->setFixedSize(larghezzaTwip / TWIP_PER_PIXEL, 375 / TWIP_PER_PIXEL);
    // Tab goes through the tool buttons too.
    pulsante->setFocusPolicy(Qt::TabFocus);
}

QWidget *MDIVorendi::mostraFinestra(const QString &nome, const std::function<QWidget *()> &crea)
{
    QPointer<QMdiSubWindow> &sotto = finestre_[nome];
    if (!sotto) {
        QWidget *finestra = crea();
        sotto = area_->addSubWindow(finestra);
        // A new window has just read what it shows.
        davanti_ = sotto;
        sotto->setAttribute(Qt::WA_DeleteOnClose);
        sotto->setWindowIcon(finestra->windowIcon().isNull() ? windowIcon()
                                                             : finestra->windowIcon());
    }
    sotto->show();
    sotto->widget()->show();
    area_->setActiveSubWindow(sotto);
    return sotto->widget();
}

void MDIVorendi::apriInfoAzienda()
{
    mostraFinestra(QStringLiteral("Info_frm"), [] { return new Info_frm; });
}

void MDIVorendi::apriStatistiche(int modo)
{
    auto *statistiche = static_cast<VisGrafico_frm *>(
        mostraFinestra(QStringLiteral("VisGrafico_frm"), [] { return new VisGrafico_frm; }));
    statistiche->calcolaStatistiche(modo);
    // Remembered last, for "Aggiorna".
    ModoStatistiche = modo;
}

void MDIVorendi::apriInformazioni()
{
    if (!about_) {
        auto *about = new frmAbout(this);
        about->setAttribute(Qt::WA_DeleteOnClose);
        about_ = about;
        about->open();
    }
    about_->raise();
    about_->activateWindow();
}

void MDIVorendi::closeEvent(QCloseEvent *evento)
{
    // Closing the frame ends the program like "Uscita", asking only where a
    // window holds input not yet saved; No keeps the program open.
    // The window in front first: a No there leaves the others as they are.
    QList<QMdiSubWindow *> finestre = area_->subWindowList(QMdiArea::ActivationHistoryOrder);
    while (!finestre.isEmpty()) {
        if (!finestre.takeLast()->close()) {
            evento->ignore();
            return;
        }
    }
    // The day's copy is taken again, whole, so that it holds the day's work
    // and not only the morning; a failure is told and never keeps the
    // program open.
    if (copia_)
        copia_->wait();
    if (std::exchange(copiaDaFare_, false)) {
        const EsitoCopia esito = copiaDelGiorno(percorso_, QDate::currentDate(), true,
                                                std::chrono::milliseconds(0));
        if (esito.stato == EsitoCopia::Stato::Fallita)
            mostraMessaggio(this, QStringLiteral("La copia di sicurezza alla chiusura non è stata fatta: %1")
                                      .arg(esito.motivo));
    }
    evento->accept();
    QApplication::quit();
}
