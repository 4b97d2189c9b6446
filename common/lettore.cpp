#include "common/lettore.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>

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

void Consegna::posta(std::function<void()> passo)
{
    Lettore *lettore = &lettore_;
    const quint64 mia = generazione_;
    // Queued on the window's thread in order; dropped there when overtaken
    // meanwhile, and with the Lettore when the window is gone.
    QMetaObject::invokeMethod(
        lettore,
        [lettore, mia, passo = std::move(passo)] {
            if (lettore->generazione_.load() == mia)
                passo();
        },
        Qt::QueuedConnection);
}

void Consegna::consegna(std::function<void()> passo)
{
    if (superata())
        return;
    posta(std::move(passo));
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
}

Lettore::~Lettore()
{
    ++generazione_;
    thread_->quit();
    thread_->wait();
    delete lavoratore_;
    delete thread_;
}

void Lettore::avvia(std::function<void(Consegna &)> lettura)
{
    const quint64 mia = ++generazione_;
    inCorso_ = true;
    QMetaObject::invokeMethod(
        lavoratore_,
        [this, mia, lettura = std::move(lettura)] {
            Consegna consegna(*this, mia);
            if (consegna.superata())
                return;
            lettura(consegna);
            consegna.posta([this] {
                inCorso_ = false;
                emit finita();
            });
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
    ++generazione_;
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
