#pragma once

#include <QWidget>

class QLineEdit;

// The company name and four lines that head every printout.
class Info_frm final : public QWidget
{
    Q_OBJECT

public:
    explicit Info_frm(QWidget *genitore = nullptr);

private:
    void salva();
    void resetta();

    QLineEdit *campi_[5] = {};
};
