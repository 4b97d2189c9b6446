#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// Window elements carry the names the behaviour gives them, so tests and
// readers find them by name.
QPushButton *nuovoPulsante(QWidget *genitore, const QString &testo, const QString &nome);

// A label, named when it is one the behaviour names, and the caption of a
// field when campo is given (its access key moves to the field).
QLabel *nuovaEtichetta(QWidget *genitore, const QString &testo, const QString &nome = QString(),
                       QWidget *campo = nullptr);
