#include "support/immissioni.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

QList<ValoreOstile> testiOstili()
{
    // Every character that means something to SQL, LIKE or a glob, over and over.
    QString lungo;
    while (lungo.size() < 1000)
        lungo += QStringLiteral("Aé'\"%_*\\ ;-- ");
    lungo.truncate(1000);
    return {
        {QStringLiteral("apice"), QStringLiteral("'")},
        {QStringLiteral("virgolette"), QStringLiteral("\"")},
        {QStringLiteral("percento"), QStringLiteral("%")},
        {QStringLiteral("trattino basso"), QStringLiteral("_")},
        {QStringLiteral("asterisco"), QStringLiteral("*")},
        {QStringLiteral("barra rovescia"), QStringLiteral("\\")},
        {QStringLiteral("mille caratteri"), lungo, true},
        {QStringLiteral("accenti ed emoji"), QStringLiteral("Perché più città 🛒")},
        {QStringLiteral("solo spazi"), QStringLiteral("   ")},
        {QStringLiteral("vuoto"), QString()},
    };
}

QList<ValoreOstile> numeriOstili()
{
    return testiOstili() + QList<ValoreOstile>{
        {QStringLiteral("negativo"), QStringLiteral("-5")},
        {QStringLiteral("oltre 32 bit"), QStringLiteral("2147483648")},
        {QStringLiteral("oltre 16 bit"), QStringLiteral("32768")},
        {QStringLiteral("lettere incollate"), QStringLiteral("abc"), true},
        {QStringLiteral("mille cifre"), QString(1000, u'9'), true},
    };
}

void immetti(QLineEdit *campo, const ValoreOstile &valore)
{
    campo->clear();
    campo->setFocus();
    if (valore.incollato) {
        QGuiApplication::clipboard()->setText(valore.testo);
        QTest::keyClick(campo, Qt::Key_V, Qt::ControlModifier);
        return;
    }
    const QString &testo = valore.testo;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const char16_t c = testo.at(i).unicode();
        if (c >= 0x20 && c < 0x7f) {
            QTest::keyClick(campo, char(c));
            continue;
        }
        // A character outside the BMP is one key: both halves of its pair.
        const qsizetype n = QChar::isHighSurrogate(c) && i + 1 < testo.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, testo.mid(i, n), Qt::NoModifier);
        i += n - 1;
    }
}

bool mostra(QWidget &finestra)
{
    finestra.show();
    return QTest::qWaitForWindowExposed(&finestra);
}

QLineEdit *campo(const QWidget &finestra, const char *nome)
{
    return finestra.findChild<QLineEdit *>(QLatin1String(nome));
}

QComboBox *selettore(const QWidget &finestra, const char *nome)
{
    return finestra.findChild<QComboBox *>(QLatin1String(nome));
}

void premi(const QWidget &finestra, const char *pulsante)
{
    QTest::mouseClick(finestra.findChild<QPushButton *>(QLatin1String(pulsante)), Qt::LeftButton);
}

void scegli(const QWidget &finestra, const QString &voce, const char *nome)
{
    QComboBox *tipo = selettore(finestra, nome);
    tipo->setCurrentIndex(tipo->findText(voce));
}

void scegliDalMenu(const QWidget &finestra, const QString &voce)
{
    QComboBox *tipo = selettore(finestra);
    QAbstractItemView *elenco = tipo->view();
    tipo->showPopup();
    QTRY_VERIFY(elenco->isVisible());
    // A long entry is wider than the list: its centre may lie outside.
    const QRect area = elenco->visualRect(tipo->model()->index(tipo->findText(voce), 0));
    QTest::mouseClick(elenco->viewport(), Qt::LeftButton, {},
                      QPoint(area.left() + 5, area.center().y()));
    QTRY_VERIFY(!elenco->isVisible());
}

namespace {

QTableView *vista(const QWidget &finestra)
{
    return finestra.findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
}

} // namespace

QStringList griglia(const QWidget &finestra, int colonna)
{
    const QAbstractItemModel *m = vista(finestra)->model();
    QStringList righe;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList celle;
        for (int c = 0; c < m->columnCount(); ++c) {
            if (colonna < 0 || c == colonna)
                celle << m->index(r, c).data().toString();
        }
        righe << celle.join(u'|');
    }
    return righe;
}

void vaiARiga(const QWidget &finestra, int riga)
{
    vista(finestra)->setCurrentIndex(vista(finestra)->model()->index(riga, 0));
}

void doppioClic(const QWidget &finestra, int riga)
{
    QTableView *v = vista(finestra);
    const QPoint cella = v->visualRect(v->model()->index(riga, 0)).center();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cella);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cella);
}
