#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

// The main window. Constructing it is the program's start-up: database path,
// company fields, title.
class QThread;

class MDIVorendi final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MDIVorendi(QWidget *genitore = nullptr);

    QMdiArea *areaLavoro() const { return area_; }

    // Shows the one instance of a working window, creating it on first use or
    // after it was closed. Returns the window's own widget.
    QWidget *mostraFinestra(const QString &nome, const std::function<QWidget *()> &crea);

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
    void avviaCopiaDelGiorno();

    QMdiArea *area_ = nullptr;
    QHash<QString, QPointer<QMdiSubWindow>> finestre_;
    QPointer<QMdiSubWindow> davanti_; // the working window last brought forward
    QPointer<QWidget> about_;
    QThread *copia_ = nullptr; // today's backup, made beside the counter's work
    bool copiaDaFare_ = false;  // again at closing: the file opened at start-up
};
