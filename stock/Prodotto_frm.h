#pragma once

#include <QWidget>

#include <optional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// Records a purchase: type, article code with suggestions from the stock,
// purchase and sale price, pieces.
class Prodotto_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit Prodotto_frm(QWidget *genitore = nullptr);

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;

private:
    // The constructor's parts: the fields; their layout with the commands;
    // the order of Tab, the keys and the commands' connections.
    void creaCampi();
    void disponi(QPushButton *pulsanteResetta, QPushButton *pulsanteSalva);
    void collegaComandi(QPushButton *pulsanteResetta, QPushButton *pulsanteSalva);
    void caricaTipi();
    bool tastoCodice(QKeyEvent *tasto);
    void suggerisci(const QString &testo);
    void prendiSuggerimento(const QString &codice);
    void nascondiSuggerimenti();
    void posizionaSuggerimenti();
    void salva();
    void resetta();
    void avvisa(QWidget *campo, const QString &testo);
    void riformatta(QLineEdit *prezzo);
    // Backspace or Delete next to a thousands point takes the digit beyond it.
    void saltaPunto(QLineEdit *prezzo, const QKeyEvent *tasto);
    // The pieces to record, asking before an empty, zero or negative number;
    // empty when the user must correct them.
    std::optional<qint16> pezzi();
    // Something typed or chosen that "Salva" has not recorded.
    bool inSospeso() const;
    // The price of a field, asking before an empty one is taken as 0;
    // empty when the user must correct it.
    std::optional<qint32> prezzo(QLineEdit *campo, const QString &quale);

    QComboBox *tipo_ = nullptr;
    QLineEdit *codice_ = nullptr;
    QListWidget *suggerimenti_ = nullptr;
    QLineEdit *prezzoAcquisto_ = nullptr;
    QLineEdit *prezzoVendita_ = nullptr;
    QLineEdit *pezzi_ = nullptr;
};
