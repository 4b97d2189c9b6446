#pragma once

#include <QWidget>

#include <optional>

class QComboBox;
class QLineEdit;
class QListWidget;

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

private:
    void caricaTipi();
    bool tastoCodice(QKeyEvent *tasto);
    void suggerisci(const QString &testo);
    void prendiSuggerimento(const QString &codice);
    void nascondiSuggerimenti();
    void posizionaSuggerimenti();
    void salva();
    void resetta();
    void avvisa(QWidget *campo, const QString &testo);
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
