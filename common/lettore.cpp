#include "common/lettore.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <mutex>
#include <utility>

namespace {

std::mutex &guardiaSosta()
{
    static std::mutex m;
    return m;
}

std::function<void()> &sostaDiProva()
{
    static std::function<void()> sosta;
    return sosta;
}

} // namespace

bool Consegna::superata() const
{
    return lettore_.generazione_.load(std::memory_order_relaxed) != generazione_;
}

void Consegna::posta(std::function<void()> passo, std::function<void()> comunque, bool ultimo)
{
    Lettore *lettore = &lettore_;
    const quint64 mia = generazione_;
    // Queued on the window's thread in order; dropped there when overtaken
    // meanwhile, and with the Lettore when the window is gone.
    QMetaObject::invokeMethod(
        lettore,
        [lettore, mia, passo = std::move(passo), comunque = std::move(comunque), ultimo] {
            if (comunque)
                comunque();
            if (lettore->generazione_.load() == mia)
                lettore->esegui(passo, ultimo);
        },
        Qt::QueuedConnection);
}

void Consegna::consegna(std::function<void()> passo)
{
    {
        std::unique_lock<std::mutex> chiave(lettore_.guardia_);
        // A window's thread that takes long may be waiting for this very
        // read: a sale in another window waits for the file this read holds.
        // Past a short wait the read goes on without waiting, so it ends
        // and lets the file go.
        if (frenata_
            && !lettore_.passoFatto_.wait_for(chiave, std::chrono::milliseconds(50),
                                              [this] { return lettore_.inAttesa_ < 2 || superata(); }))
            frenata_ = false;
        if (superata())
            return;
        ++lettore_.inAttesa_;
    }
    Lettore *lettore = &lettore_;
    posta(std::move(passo), [lettore] {
        {
            const std::lock_guard<std::mutex> chiave(lettore->guardia_);
            --lettore->inAttesa_;
        }
        lettore->passoFatto_.notify_all();
    });
    std::function<void()> sosta;
    {
        const std::lock_guard<std::mutex> chiave(guardiaSosta());
        sosta = sostaDiProva();
    }
    if (sosta)
        sosta();
}

Lettore::Lettore(QObject *finestra)
    : QObject(finestra)
    , thread_(new QThread)
    , lavoratore_(new QObject)
{
    thread_->setObjectName(QStringLiteral("Lettore"));
    lavoratore_->moveToThread(thread_);
    thread_->start();
    primoSchermo_ = new QTimer(this);
    primoSchermo_->setSingleShot(true);
    connect(primoSchermo_, &QTimer::timeout, this, &Lettore::eseguiRimandati);
}

// A read's steps of its first frame's time are run together, when it ends
// or the time is up: a short list is painted once, not once per batch, and
// a long one shows its first screen all the same.
void Lettore::esegui(std::function<void()> passo, bool ultimo)
{
    constexpr qint64 PRIMO_SCHERMO_MS = 16;
    const qint64 trascorsi = avviata_.elapsed();
    if (!ultimo && trascorsi < PRIMO_SCHERMO_MS) {
        rimandati_.append(std::move(passo));
        if (!primoSchermo_->isActive())
            primoSchermo_->start(int(PRIMO_SCHERMO_MS - trascorsi));
        return;
    }
    eseguiRimandati();
    passo();
}

void Lettore::eseguiRimandati()
{
    primoSchermo_->stop();
    const QList<std::function<void()>> passi = std::exchange(rimandati_, {});
    for (const std::function<void()> &passo : passi)
        passo();
}

void Lettore::supera()
{
    rimandati_.clear();
    if (primoSchermo_)
        primoSchermo_->stop();
    {
        const std::lock_guard<std::mutex> chiave(guardia_);
        ++generazione_;
    }
    passoFatto_.notify_all();
}

Lettore::~Lettore()
{
    supera();
    thread_->quit();
    thread_->wait();
    delete lavoratore_;
    delete thread_;
}

void Lettore::avvia(std::function<void(Consegna &)> lettura)
{
    supera();
    const quint64 mia = generazione_.load();
    inCorso_ = true;
    avviata_.start();
    QMetaObject::invokeMethod(
        lavoratore_,
        [this, mia, lettura = std::move(lettura)] {
            Consegna consegna(*this, mia);
            if (consegna.superata())
                return;
            lettura(consegna);
            consegna.posta(
                [this] {
                    inCorso_ = false;
                    emit finita();
                },
                {}, true);
        },
        Qt::QueuedConnection);
}

void Lettore::attendi()
{
    if (!inCorso_)
        return;
    QEventLoop ciclo;
    connect(this, &Lettore::finita, &ciclo, &QEventLoop::quit);
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ciclo.exec(QEventLoop::ExcludeUserInputEvents);
    QGuiApplication::restoreOverrideCursor();
}

void Lettore::annulla()
{
    supera();
    if (std::exchange(inCorso_, false))
        emit finita();
}

void Lettore::ferma()
{
    annulla();
    // Runs once whatever was queued before it has.
    QMetaObject::invokeMethod(lavoratore_, [] {}, Qt::BlockingQueuedConnection);
}

void Lettore::impostaSostaDiProva(std::function<void()> sosta)
{
    const std::lock_guard<std::mutex> chiave(guardiaSosta());
    sostaDiProva() = std::move(sosta);
}
