#include "common/selettore_tipi.h"

#include "common/formati.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

namespace {

// Whenever the selector takes the focus showing the prompt, the prompt is
// selected, so that the first key typed replaces it.
class SelezionaInvito final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override
    {
        if (evento->type() == QEvent::FocusIn) {
            auto *selettore = static_cast<QComboBox *>(oggetto);
            // After the selector's own handling, which places the caret.
            QMetaObject::invokeMethod(
                selettore,
                [selettore] {
                    if (selettore->hasFocus() && selettore->lineEdit()
                        && selettore->currentText() == INVITO_TIPO)
                        selettore->lineEdit()->selectAll();
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

void riempiSelettoreTipi(QComboBox *selettore, const QStringList &codici)
{
    selettore->setEditable(true);
    selettore->setInsertPolicy(QComboBox::NoInsert);
    if (!selettore->property("selezionaInvito").toBool()) {
        selettore->installEventFilter(new SelezionaInvito(selettore));
        selettore->setProperty("selezionaInvito", true);
    }
    selettore->clear();
    selettore->addItems(codici);
    azzeraSelettoreTipi(selettore);
}

void azzeraSelettoreTipi(QComboBox *selettore)
{
    selettore->setCurrentIndex(-1);
    selettore->setEditText(INVITO_TIPO);
    if (selettore->hasFocus() && selettore->lineEdit())
        selettore->lineEdit()->selectAll();
}

QString tipoScelto(const QComboBox *selettore)
{
    const std::optional<QString> testo = codicePulito(selettore->currentText());
    const int indice = testo && !testo->isEmpty()
        ? selettore->findText(*testo, Qt::MatchFixedString)
        : -1;
    return indice < 0 ? QString() : selettore->itemText(indice);
}
