#include "stock/Prodotto_frm.h"

#include "common/elementi.h"
#include "common/formati.h"
#include "common/messaggi.h"
#include "common/selettore_tipi.h"
#include "data/database_routines.h"
#include "stock/valori_prodotto.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr int RIGHE_SUGGERIMENTI = 4;

bool invio(const QKeyEvent *tasto)
{
    return tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter;
}

// Price fields take digits and Backspace; other characters and Enter are
// dropped. Keys without a character (arrows, Delete, Tab) and shortcuts go
// through.
bool scartaInPrezzo(const QKeyEvent *tasto)
{
    if (invio(tasto))
        return true;
    if (tasto->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString testo = tasto->text();
    // A character beyond the BMP (an emoji) starts with a surrogate, which
    // is not printable by itself.
    if (testo.isEmpty() || !(testo.front().isPrint() || testo.front().isSurrogate()))
        return false;
    return !(testo.size() == 1 && testo.front() >= u'0' && testo.front() <= u'9');
}

QString messaggioPrezzo(const QString &quale)
{
    return QStringLiteral("Il prezzo di %1 deve essere un numero intero da 0 a %2.")
        .arg(quale, formatoNumero(std::numeric_limits<qint32>::max(), MODELLO_DENARO));
}

} // namespace

Prodotto_frm::Prodotto_frm(QWidget *genitore)
    : QWidget(genitore)
{
    setObjectName(QStringLiteral("Prodotto_frm"));
    setWindowTitle(QStringLiteral("Aggiunta Prodotto"));

    tipo_ = new QComboBox(this);
    tipo_->setObjectName(QStringLiteral("Combo1"));
    tipo_->setEditable(true);
    tipo_->setInsertPolicy(QComboBox::NoInsert);
    tipo_->setMinimumWidth(240);
    codice_ = new QLineEdit(this);
    codice_->setObjectName(QStringLiteral("Text1"));
    prezzoAcquisto_ = new QLineEdit(this);
    prezzoAcquisto_->setObjectName(QStringLiteral("Text2"));
    prezzoVendita_ = new QLineEdit(this);
    prezzoVendita_->setObjectName(QStringLiteral("Text4"));
    pezzi_ = new QLineEdit(this);
    pezzi_->setObjectName(QStringLiteral("Text3"));
    for (QLineEdit *prezzo : {prezzoAcquisto_, prezzoVendita_})
        prezzo->setAlignment(Qt::AlignRight);

    // Over the form rather than in its layout: shown, it covers part of the
    // price row, as a drop-down would.
    suggerimenti_ = new QListWidget(this);
    suggerimenti_->setObjectName(QStringLiteral("List1"));
    suggerimenti_->hide();

    auto *pulsanteResetta = nuovoPulsante(this, QStringLiteral("Resetta"), QStringLiteral("Command2"));
    auto *pulsanteSalva = nuovoPulsante(this, QStringLiteral("Salva"), QStringLiteral("Command1"));

    auto *griglia = new QGridLayout;
    griglia->addWidget(nuovaEtichetta(this, QStringLiteral("Tipo:"), QStringLiteral("Label1"), tipo_),
                       0, 0);
    griglia->addWidget(tipo_, 0, 1, 1, 3);
    griglia->addWidget(nuovaEtichetta(this, QStringLiteral("Codice articolo:"),
                                      QStringLiteral("Label2"), codice_),
                       1, 0);
    griglia->addWidget(codice_, 1, 1);
    griglia->addWidget(nuovaEtichetta(this, QStringLiteral("Prezzo di acquisto per unità:"),
                                      QStringLiteral("Label3"), prezzoAcquisto_),
                       2, 0);
    griglia->addWidget(prezzoAcquisto_, 2, 1);
    griglia->addWidget(nuovaEtichetta(this, QStringLiteral("Prezzo di vendita per unità:"),
                                      QStringLiteral("Label5"), prezzoVendita_),
                       2, 2);
    griglia->addWidget(prezzoVendita_, 2, 3);
    griglia->addWidget(nuovaEtichetta(this, QStringLiteral("n. Pezzi:"), QStringLiteral("Label4"),
                                      pezzi_),
                       3, 0);
    griglia->addWidget(pezzi_, 3, 1);
    griglia->setColumnStretch(1, 1);
    griglia->setColumnStretch(3, 1);

    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(pulsanteResetta);
    pulsanti->addWidget(pulsanteSalva);
    auto *colonna = new QVBoxLayout(this);
    colonna->addLayout(griglia);
    colonna->addSpacing(12);
    colonna->addStretch();
    colonna->addLayout(pulsanti);

    // Tab never enters the suggestions (Down does): from the code it goes
    // to the purchase price, and from the pieces to "Salva".
    suggerimenti_->setFocusPolicy(Qt::ClickFocus);
    setTabOrder(tipo_, codice_);
    setTabOrder(codice_, suggerimenti_);
    setTabOrder(suggerimenti_, prezzoAcquisto_);
    setTabOrder(prezzoAcquisto_, prezzoVendita_);
    setTabOrder(prezzoVendita_, pezzi_);
    setTabOrder(pezzi_, pulsanteSalva);
    setTabOrder(pulsanteSalva, pulsanteResetta);

    // Keys reach the selector itself, which hands them to its line edit.
    tipo_->installEventFilter(this);
    codice_->installEventFilter(this);
    suggerimenti_->installEventFilter(this);
    for (QLineEdit *prezzo : {prezzoAcquisto_, prezzoVendita_}) {
        prezzo->installEventFilter(this);
        connect(prezzo, &QLineEdit::textEdited, this, [this, prezzo] { riformatta(prezzo); });
    }
    connect(pezzi_, &QLineEdit::returnPressed, this, &Prodotto_frm::salva);
    connect(codice_, &QLineEdit::textEdited, this, &Prodotto_frm::suggerisci);
    connect(suggerimenti_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *voce) { prendiSuggerimento(voce->text()); });
    connect(pulsanteSalva, &QPushButton::clicked, this, &Prodotto_frm::salva);
    connect(pulsanteResetta, &QPushButton::clicked, this, &Prodotto_frm::resetta);

    caricaTipi();
}

void Prodotto_frm::caricaTipi()
{
    riempiSelettoreTipi(tipo_, CaricaTipi().value_or(QStringList()));
}

bool Prodotto_frm::eventFilter(QObject *oggetto, QEvent *evento)
{
    const QEvent::Type tipo = evento->type();
    if (oggetto == tipo_ && tipo == QEvent::KeyPress
        && invio(static_cast<QKeyEvent *>(evento))) {
        // Types added meanwhile in another window show up.
        caricaTipi();
        return true;
    }
    if ((oggetto == codice_ || oggetto == suggerimenti_) && tipo == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(evento)->key() == Qt::Key_Escape && !suggerimenti_->isHidden()) {
        // Esc hides the open suggestions first; it closes the window only
        // when pressed again.
        evento->accept();
        return true;
    }
    if ((oggetto == codice_ || oggetto == suggerimenti_) && tipo == QEvent::KeyPress
        && static_cast<QKeyEvent *>(evento)->key() == Qt::Key_Escape && !suggerimenti_->isHidden()) {
        nascondiSuggerimenti();
        codice_->setFocus();
        return true;
    }
    if (oggetto == codice_ && tipo == QEvent::KeyPress)
        return tastoCodice(static_cast<QKeyEvent *>(evento));
    if (oggetto == suggerimenti_ && tipo == QEvent::KeyPress && invio(static_cast<QKeyEvent *>(evento))
        && suggerimenti_->currentItem()) {
        prendiSuggerimento(suggerimenti_->currentItem()->text());
        return true;
    }
    if (oggetto == prezzoAcquisto_ && tipo == QEvent::FocusIn)
        nascondiSuggerimenti();
    if ((oggetto == prezzoAcquisto_ || oggetto == prezzoVendita_) && tipo == QEvent::KeyPress) {
        auto *tasto = static_cast<QKeyEvent *>(evento);
        saltaPunto(static_cast<QLineEdit *>(oggetto), tasto);
        return scartaInPrezzo(tasto);
    }
    return QWidget::eventFilter(oggetto, evento);
}

void Prodotto_frm::riformatta(QLineEdit *prezzo)
{
    const QString riformattato = riformattaPrezzo(prezzo->text());
    if (riformattato == prezzo->text())
        return;
    const int cifre = cifrePrima(prezzo->text(), prezzo->cursorPosition());
    prezzo->setText(riformattato);
    prezzo->setCursorPosition(posizioneTraCifre(riformattato, cifre));
}

void Prodotto_frm::saltaPunto(QLineEdit *prezzo, const QKeyEvent *tasto)
{
    if (prezzo->hasSelectedText() || tasto->modifiers() != Qt::NoModifier)
        return;
    const QString testo = prezzo->text();
    const int posizione = prezzo->cursorPosition();
    if (tasto->key() == Qt::Key_Backspace && posizione > 1 && testo[posizione - 1] == u'.')
        prezzo->setCursorPosition(posizione - 1);
    else if (tasto->key() == Qt::Key_Delete && posizione + 1 < testo.size() && testo[posizione] == u'.')
        prezzo->setCursorPosition(posizione + 1);
}

bool Prodotto_frm::tastoCodice(QKeyEvent *tasto)
{
    const QString testo = tasto->text();
    if (testo == QStringLiteral("'") || testo == QStringLiteral("\"")) {
        // Quotes become "-", in the field and in the search that follows.
        QKeyEvent meno(QEvent::KeyPress, Qt::Key_Minus, Qt::NoModifier, QStringLiteral("-"),
                       tasto->isAutoRepeat());
        QApplication::sendEvent(codice_, &meno);
        return true;
    }
    if (tasto->key() == Qt::Key_Down && !suggerimenti_->isHidden() && suggerimenti_->count() > 0) {
        // Into the suggestions, on the first; Enter there takes one.
        suggerimenti_->setFocus();
        suggerimenti_->setCurrentRow(0);
        return true;
    }
    if (!invio(tasto))
        return false;
    // Enter takes the highlighted suggestion, else the first; with no
    // suggestion shown it does nothing.
    if (!suggerimenti_->isHidden() && suggerimenti_->count() > 0) {
        QListWidgetItem *evidenziato = suggerimenti_->currentItem();
        if (!evidenziato || !evidenziato->isSelected())
            evidenziato = suggerimenti_->item(0);
        prendiSuggerimento(evidenziato->text());
    }
    return true;
}

void Prodotto_frm::suggerisci(const QString &testo)
{
    suggerimenti_->clear();
    const QString tipo = tipoScelto(tipo_);
    const std::optional<QString> inizio = codicePulito(testo);
    const Ricerca<qint32> idTipo = tipo.isEmpty() || !inizio ? Ricerca<qint32>() : IdTipo(tipo);
    const QStringList codici = idTipo && *idTipo ? SuggerimentiCodice(**idTipo, *inizio).value_or(QStringList())
                                                 : QStringList();
    if (codici.isEmpty()) {
        suggerimenti_->hide();
        return;
    }
    suggerimenti_->addItems(codici);
    suggerimenti_->setCurrentRow(-1);
    posizionaSuggerimenti();
    suggerimenti_->raise();
    suggerimenti_->show();
}

void Prodotto_frm::prendiSuggerimento(const QString &codice)
{
    codice_->setText(codice);
    nascondiSuggerimenti();
    codice_->setFocus();
}

void Prodotto_frm::nascondiSuggerimenti()
{
    suggerimenti_->hide();
}

void Prodotto_frm::posizionaSuggerimenti()
{
    const QRect campo(codice_->mapTo(this, QPoint(0, 0)), codice_->size());
    const int riga = qMax(suggerimenti_->sizeHintForRow(0), fontMetrics().height());
    const int righe = qBound(1, suggerimenti_->count(), RIGHE_SUGGERIMENTI);
    suggerimenti_->setGeometry(campo.left(), campo.bottom() + 1, campo.width(),
                               riga * righe + 2 * suggerimenti_->frameWidth());
}

void Prodotto_frm::resizeEvent(QResizeEvent *evento)
{
    QWidget::resizeEvent(evento);
    if (!suggerimenti_->isHidden())
        posizionaSuggerimenti();
}

void Prodotto_frm::avvisa(QWidget *campo, const QString &testo)
{
    mostraMessaggio(this, testo);
    campo->setFocus();
}

std::optional<qint32> Prodotto_frm::prezzo(QLineEdit *campo, const QString &quale)
{
    // Typing 0 empties the field, so an empty field may well mean 0: asked,
    // with No as the default, since a forgotten price is the likelier case.
    if (campo->text().trimmed().isEmpty()) {
        if (chiediConferma(this, QStringLiteral("Il prezzo di %1 è vuoto: registrare il prezzo 0?")
                                     .arg(quale),
                           QMessageBox::No))
            return 0;
        campo->setFocus();
        return std::nullopt;
    }
    const std::optional<qint32> valore = leggiPrezzo(campo->text());
    if (!valore)
        avvisa(campo, messaggioPrezzo(quale));
    return valore;
}

std::optional<qint16> Prodotto_frm::pezzi()
{
    const QString testo = pezzi_->text();
    if (!pezziInCifre(testo)) {
        avvisa(pezzi_, QStringLiteral("Il numero di pezzi va scritto in cifre, senza lettere."));
        return std::nullopt;
    }
    const std::optional<qint16> pezzi = leggiPezzi(testo);
    if (!pezzi) {
        avvisa(pezzi_, QStringLiteral("Il numero di pezzi deve essere compreso tra -32.768 e 32.767."));
        return std::nullopt;
    }
    // A forgotten number, or a minus typed by mistake, would change the stock
    // without a word: asked, No by default.
    QString domanda;
    if (*pezzi == 0)
        domanda = QStringLiteral("Il numero di pezzi è vuoto: registrare solo i prezzi?");
    else if (*pezzi < 0)
        domanda = QStringLiteral("Il numero di pezzi è negativo (%1): il magazzino cala. Registrare?")
                      .arg(*pezzi);
    if (!domanda.isEmpty() && !chiediConferma(this, domanda, QMessageBox::No)) {
        pezzi_->setFocus();
        return std::nullopt;
    }
    return pezzi;
}

void Prodotto_frm::salva()
{
    const QString tipo = tipoScelto(tipo_);
    if (tipo.isEmpty())
        return avvisa(tipo_, QStringLiteral("Scegliere il tipo dell'articolo."));
    const std::optional<QString> codice = codicePulito(codice_->text());
    if (!codice)
        return avvisa(codice_, QStringLiteral("Il codice dell'articolo non può contenere a capo,"
                                              " tabulazioni o altri caratteri di controllo."));
    if (codice->isEmpty())
        return avvisa(codice_, QStringLiteral("Scrivere il codice dell'articolo."));
    const std::optional<qint32> acquisto = prezzo(prezzoAcquisto_, QStringLiteral("acquisto"));
    if (!acquisto)
        return;
    const std::optional<qint32> vendita = prezzo(prezzoVendita_, QStringLiteral("vendita"));
    if (!vendita)
        return;
    const std::optional<qint16> quanti = pezzi();
    if (!quanti)
        return;
    // On failure every field stays as typed, for the user to correct.
    if (!RegistraProdotto(tipo, *codice, *acquisto, *vendita, *quanti, OPERAZIONE_ACQUISTO, oggi()))
        return;
    resetta();
    avvisaInBarra(QStringLiteral("Registrato: %1, %2")
                      .arg(*codice, *quanti == 1 ? QStringLiteral("1 pezzo")
                                                 : QStringLiteral("%1 pezzi").arg(*quanti)));
    // The next article starts from its type.
    tipo_->setFocus();
}

void Prodotto_frm::resetta()
{
    azzeraSelettoreTipi(tipo_);
    codice_->clear();
    prezzoAcquisto_->clear();
    pezzi_->clear();
    prezzoVendita_->clear();
    nascondiSuggerimenti();
}

bool Prodotto_frm::inSospeso() const
{
    if (!tipoScelto(tipo_).isEmpty())
        return true;
    for (const QLineEdit *campo : {codice_, prezzoAcquisto_, prezzoVendita_, pezzi_}) {
        if (!campo->text().trimmed().isEmpty())
            return true;
    }
    return false;
}

void Prodotto_frm::closeEvent(QCloseEvent *evento)
{
    if (inSospeso() && !chiediConferma(this, QStringLiteral("Chiudere senza salvare?"), QMessageBox::No)) {
        evento->ignore();
        return;
    }
    QWidget::closeEvent(evento);
}
