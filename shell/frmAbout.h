#pragma once

#include <QDialog>

// Title, version, credits and the way to the system-information tool.
class frmAbout final : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *genitore = nullptr);
};
