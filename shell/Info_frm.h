#pragma once

#include <QWidget>

class QLineEdit;

// The company name and four lines that head every printout.
class Info_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit Info_frm(QWidget *genitore = nullptr);

protected:
    void closeEvent(QCloseEvent *evento) override;

private:
    void salva();
    void resetta();

    QLineEdit *campi_[5] = {};
    QString salvati_[5]; // as read or last saved: closing asks when a field differs
};
