#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class QThread;
class QTimer;
class Lettore;

// What a read running on the reader's thread may do: ask whether a newer
// read has overtaken it, and hand steps to the window's thread.
class Consegna final
{
public:
    // True once a newer read was asked for or the window is closing: the
    // read stops where it is.
    bool superata() const;
    // Runs passo on the window's thread, after the steps handed before it,
    // unless the read has been overtaken by then. Waits, briefly, while the
    // window has a few steps still to run: a reader faster than the window
    // would otherwise pile the whole list up in them.
    void consegna(std::function<void()> passo);

private:
    friend class Lettore;
    // comunque runs on the window's thread even when passo is dropped;
    // ultimo marks the read's end.
    void posta(std::function<void()> passo, std::function<void()> comunque = {}, bool ultimo = false);
    Consegna(Lettore &lettore, quint64 generazione) : lettore_(lettore), generazione_(generazione) {}
    Lettore &lettore_;
    quint64 generazione_;
    bool frenata_ = true;
};

// A window's long reads, one at a time on a thread of the window's own, so
// that its first rows are shown while the rest is still being read. The
// thread keeps its own connection to the shop from one read to the next.
class Lettore final : public QObject
{
    Q_OBJECT

public:
    explicit Lettore(QObject *finestra);
    // Stops the read in course and waits for the thread.
    ~Lettore() override;

    // Runs lettura on the reader's thread; a read still in course is
    // overtaken, and nothing more of it reaches the window.
    void avvia(std::function<void(Consegna &)> lettura);
    // True from avvia until the last step the read handed over has run.
    bool inCorso() const { return inCorso_; }
    // Waits for the read in course to end, running the steps it hands over
    // and repainting, but taking no user input meanwhile: a command that
    // needs the whole list (a deletion, a printout) runs after it.
    void attendi();
    // Overtakes the read in course: nothing more of it reaches the window.
    void annulla();
    // The same, and waits until the thread is idle.
    void ferma();

    // For tests: called on the reader's thread after each step handed over,
    // while the read that handed it is still open.
    static void impostaSostaDiProva(std::function<void()> sosta);

signals:
    // The read in course has ended, complete or not.
    void finita();

private:
    friend class Consegna;
    void supera();
    void esegui(std::function<void()> passo, bool ultimo);
    void eseguiRimandati();

    QThread *thread_ = nullptr;
    QObject *lavoratore_ = nullptr; // lives on thread_
    std::atomic<quint64> generazione_{0};
    bool inCorso_ = false;
    // The steps of a read's first moments, run together (see esegui).
    QElapsedTimer avviata_;
    QList<std::function<void()>> rimandati_;
    QTimer *primoSchermo_ = nullptr;
    // Steps handed over and not yet run on the window's thread.
    std::mutex guardia_;
    std::condition_variable passoFatto_;
    int inAttesa_ = 0;
};
