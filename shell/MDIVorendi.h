#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <optional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QThread;
class QToolBar;
struct Configurazione;

// The main window: the menus, the tool bar and the working windows, titled
// after the configuration the program started with (shell/avvio.h).
class MDIVorendi final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MDIVorendi(const Configurazione &configurazione, QWidget *genitore = nullptr);

    QMdiArea *areaLavoro() const { return area_; }

    // Shows the one instance of a working window, creating it on first use or
    // after it was closed. Returns the window's own widget.
    QWidget *mostraFinestra(const QString &nome, const std::function<QWidget *()> &crea);

    // The day's copy of the file, now beside the counter's work and again,
    // whole, at closing.
    void avviaCopiaDelGiorno();

    ~MDIVorendi() override;

protected:
    void closeEvent(QCloseEvent *evento) override;

private:
    void createActions();
    // The menu's command on the tool bar, its button named nome.
    void aggiungiPulsante(QToolBar *barra, QAction *comando, const QString &nome,
                          const QIcon &icona, const QString &suggerimento, int larghezzaTwip);
    void apriInfoAzienda();
    void apriInformazioni();
    void apriStatistiche(int modo);

    QMdiArea *area_ = nullptr;
    QHash<QString, QPointer<QMdiSubWindow>> finestre_;
    QPointer<QMdiSubWindow> davanti_; // the working window last brought forward
    QPointer<QWidget> about_;
    QString percorso_; // the shop file
    QThread *copia_ = nullptr; // today's backup, made beside the counter's work
    bool copiaDaFare_ = false;  // again at closing
    std::optional<std::function<void(bool)>> avvisoPrecedente_; // on the server
};
