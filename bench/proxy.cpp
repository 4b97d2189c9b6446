#include "bench/proxy.h"

#include <QByteArray>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Orologio = std::chrono::steady_clock;
using Istante = Orologio::time_point;

// Bytes queued one way past which the sending side is no longer read, so a
// fast sender waits as on a real link instead of filling memory.
constexpr qsizetype FINESTRA = 4 << 20;
constexpr size_t PEZZO = 64 << 10;

struct Pezzo
{
    QByteArray dati;
    qsizetype inviati = 0;
    Istante quando;
};

// One way of a connection: what was read from one side, each chunk due at
// its time, and the close that follows the last one.
struct Verso
{
    std::deque<Pezzo> coda;
    qsizetype inCoda = 0;
    Istante ultimo; // the last due time: a shorter delay set later never overtakes
    bool finito = false; // the sending side closed
    Istante quandoFinito;
    bool chiuso = false; // that close passed on: the receiving side shut for writing
    bool bloccato = false; // the receiving side takes no more for now
};

struct Collegamento
{
    Collegamento() = default;
    Collegamento(const Collegamento &) = delete;
    Collegamento &operator=(const Collegamento &) = delete;
    ~Collegamento()
    {
        for (const int s : {cliente, server}) {
            if (s >= 0)
                ::close(s);
        }
    }
    bool finito() const { return rotto || (alServer.chiuso && alCliente.chiuso); }

    int cliente = -1;
    int server = -1;
    bool connesso = false; // to the server
    // When a handshake over a link this slow would have let the client send.
    Istante pronto;
    Verso alServer;
    Verso alCliente;
    bool rispostaVista = true; // so that the first client bytes count as a round trip
    bool perdiRisposta = false;
    bool perdiRichiesta = false;
    bool rotto = false; // both sides to be closed at once
};

void senzaNagle(int s)
{
    const int si = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &si, sizeof si);
}

} // namespace

struct Proxy::Stato
{
    ~Stato()
    {
        for (const int s : {ascolto, sveglia[0], sveglia[1]}) {
            if (s >= 0)
                ::close(s);
        }
    }
    bool apri(const QString &host, quint16 portaServer);
    void comanda(const std::function<void()> &modifica);
    void sveglia_() const
    {
        const char uno = 1;
        [[maybe_unused]] const ssize_t n = ::write(sveglia[1], &uno, 1);
    }
    void gira();
    void accetta();
    void leggi(Collegamento &c, bool dalCliente, Istante adesso);
    void scrivi(Collegamento &c, bool alServer, Istante adesso);

    sockaddr_storage server{};
    socklen_t lunghezzaServer = 0;
    int ascolto = -1;
    int sveglia[2] = {-1, -1};
    quint16 porta = 0;
    QString errore;
    std::thread filo;

    std::atomic<qint64> ritardo{0}; // microseconds
    std::atomic<quint64> giri{0};
    std::atomic<quint64> connessioni{0};

    // What the setters hand over to the thread, and its receipt.
    std::mutex mutex;
    std::condition_variable preso;
    bool fermo = false;
    bool zitto = false;
    bool perdiRisposta = false;
    bool perdiRichiesta = false;
    quint64 chiesti = 0;
    quint64 presi = 0;

    // The thread's own.
    std::list<Collegamento> collegamenti;
    std::vector<char> letti = std::vector<char>(PEZZO);
};

bool Proxy::Stato::apri(const QString &host, quint16 portaServer)
{
    addrinfo richiesta{};
    richiesta.ai_family = AF_UNSPEC;
    richiesta.ai_socktype = SOCK_STREAM;
    addrinfo *trovati = nullptr;
    const QByteArray nome = host.toUtf8();
    const QByteArray servizio = QByteArray::number(portaServer);
    const int esito = ::getaddrinfo(nome.constData(), servizio.constData(), &richiesta, &trovati);
    if (esito != 0 || !trovati) {
        errore = QStringLiteral("Indirizzo %1 non trovato: %2")
                     .arg(host, QString::fromLocal8Bit(gai_strerror(esito)));
        return false;
    }
    std::memcpy(&server, trovati->ai_addr, trovati->ai_addrlen);
    lunghezzaServer = trovati->ai_addrlen;
    ::freeaddrinfo(trovati);

    sockaddr_in qui{};
    qui.sin_family = AF_INET;
    qui.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t lunghezza = sizeof qui;
    ascolto = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (ascolto < 0 || ::bind(ascolto, reinterpret_cast<sockaddr *>(&qui), lunghezza) != 0
        || ::listen(ascolto, SOMAXCONN) != 0
        || ::getsockname(ascolto, reinterpret_cast<sockaddr *>(&qui), &lunghezza) != 0
        || ::pipe2(sveglia, O_NONBLOCK | O_CLOEXEC) != 0) {
        errore = QStringLiteral("Ascolto su 127.0.0.1 non riuscito: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    porta = ntohs(qui.sin_port);
    return true;
}

void Proxy::Stato::comanda(const std::function<void()> &modifica)
{
    std::unique_lock blocco(mutex);
    modifica();
    if (!filo.joinable())
        return;
    const quint64 mio = ++chiesti;
    sveglia_();
    preso.wait(blocco, [&] { return presi >= mio; });
}

void Proxy::Stato::accetta()
{
    for (;;) {
        const int cliente = ::accept4(ascolto, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (cliente < 0 && errno == EINTR)
            continue;
        if (cliente < 0)
            return;
        ++connessioni;
        Collegamento &c = collegamenti.emplace_back();
        c.cliente = cliente;
        c.alServer.ultimo = c.alCliente.ultimo = Orologio::now();
        c.pronto = c.alServer.ultimo + 2 * std::chrono::microseconds(ritardo.load());
        senzaNagle(cliente);
        c.server = ::socket(server.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (c.server < 0) {
            c.rotto = true;
            continue;
        }
        senzaNagle(c.server);
        if (::connect(c.server, reinterpret_cast<const sockaddr *>(&server), lunghezzaServer) == 0)
            c.connesso = true;
        else if (errno != EINPROGRESS)
            c.rotto = true;
    }
}

void Proxy::Stato::leggi(Collegamento &c, bool dalCliente, Istante adesso)
{
    Verso &v = dalCliente ? c.alServer : c.alCliente;
    const ssize_t n = ::recv(dalCliente ? c.cliente : c.server, letti.data(), letti.size(), 0);
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            c.rotto = true;
        return;
    }
    const std::chrono::microseconds ritardoOra(ritardo.load());
    Istante quando = std::max(adesso + ritardoOra, v.ultimo);
    if (n == 0) {
        v.finito = true;
        v.quandoFinito = quando;
        return;
    }
    if (dalCliente ? c.perdiRichiesta : c.perdiRisposta) {
        c.rotto = true;
        return;
    }
    if (dalCliente) {
        if (c.rispostaVista)
            ++giri;
        c.rispostaVista = false;
        quando = std::max(quando, c.pronto + ritardoOra);
    } else {
        c.rispostaVista = true;
    }
    v.ultimo = quando;
    v.coda.push_back({QByteArray(letti.data(), qsizetype(n)), 0, quando});
    v.inCoda += n;
}

void Proxy::Stato::scrivi(Collegamento &c, bool alServer, Istante adesso)
{
    Verso &v = alServer ? c.alServer : c.alCliente;
    const int a = alServer ? c.server : c.cliente;
    if (c.rotto || (alServer && !c.connesso))
        return;
    v.bloccato = false;
    while (!v.coda.empty() && v.coda.front().quando <= adesso) {
        Pezzo &p = v.coda.front();
        const ssize_t n = ::send(a, p.dati.constData() + p.inviati,
                                 size_t(p.dati.size() - p.inviati), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                v.bloccato = true;
            else
                c.rotto = true;
            return;
        }
        p.inviati += n;
        v.inCoda -= n;
        if (p.inviati == p.dati.size())
            v.coda.pop_front();
    }
    if (v.finito && !v.chiuso && v.coda.empty() && v.quandoFinito <= adesso) {
        ::shutdown(a, SHUT_WR);
        v.chiuso = true;
    }
}

void Proxy::Stato::gira()
{
    std::vector<pollfd> attese;
    std::vector<Collegamento *> di; // the connection of each pair of entries past the first two
    for (;;) {
        bool silenzioso = false;
        {
            std::lock_guard blocco(mutex);
            if (fermo)
                break;
            silenzioso = zitto;
            if (perdiRisposta || perdiRichiesta) {
                // A connection the client already holds is one open now, accepted or not.
                accetta();
                for (Collegamento &c : collegamenti) {
                    c.perdiRisposta = c.perdiRisposta || perdiRisposta;
                    c.perdiRichiesta = c.perdiRichiesta || perdiRichiesta;
                }
                perdiRisposta = perdiRichiesta = false;
            }
            presi = chiesti;
        }
        preso.notify_all();

        const Istante adesso = Orologio::now();
        std::optional<Istante> prossimo;
        const auto aspetta = [&](Istante quando) {
            prossimo = std::min(prossimo.value_or(quando), quando);
        };
        attese.assign({{sveglia[0], POLLIN, 0}, {ascolto, POLLIN, 0}});
        di.clear();
        for (auto i = collegamenti.begin(); i != collegamenti.end();) {
            Collegamento &c = *i;
            if (!silenzioso) {
                scrivi(c, true, adesso);
                scrivi(c, false, adesso);
                if (c.finito()) {
                    i = collegamenti.erase(i);
                    continue;
                }
            }
            ++i;
            if (silenzioso)
                continue;
            short cliente = 0;
            short server = c.connesso ? 0 : POLLOUT;
            if (!c.alServer.finito && c.alServer.inCoda < FINESTRA)
                cliente |= POLLIN;
            if (c.connesso && !c.alCliente.finito && c.alCliente.inCoda < FINESTRA)
                server |= POLLIN;
            if (c.alServer.bloccato)
                server |= POLLOUT;
            if (c.alCliente.bloccato)
                cliente |= POLLOUT;
            // A socket nobody waits on stays out: its hang-up would wake the loop for nothing.
            attese.push_back({cliente ? c.cliente : -1, cliente, 0});
            attese.push_back({server ? c.server : -1, server, 0});
            di.push_back(&c);
            for (const Verso *v : {&c.alServer, &c.alCliente}) {
                if (v->bloccato || (v == &c.alServer && !c.connesso))
                    continue;
                if (!v->coda.empty())
                    aspetta(v->coda.front().quando);
                else if (v->finito && !v->chiuso)
                    aspetta(v->quandoFinito);
            }
        }

        timespec resto{};
        if (prossimo) {
            using std::chrono::nanoseconds;
            const qint64 n = std::max<qint64>(
                std::chrono::duration_cast<nanoseconds>(*prossimo - Orologio::now()).count(), 0);
            resto = {time_t(n / 1000000000), long(n % 1000000000)};
        }
        if (::ppoll(attese.data(), attese.size(), prossimo ? &resto : nullptr, nullptr) < 0)
            continue;
        if (attese[0].revents) {
            char b[64];
            while (::read(sveglia[0], b, sizeof b) > 0) {
            }
        }
        if (attese[1].revents)
            accetta();
        const Istante letto = Orologio::now();
        for (size_t k = 0; k < di.size(); ++k) {
            Collegamento &c = *di[k];
            const pollfd &cliente = attese[2 + 2 * k];
            const pollfd &server = attese[3 + 2 * k];
            if (!c.connesso && server.revents) {
                int errore = 0;
                socklen_t lunghezza = sizeof errore;
                const int esito = ::getsockopt(c.server, SOL_SOCKET, SO_ERROR, &errore, &lunghezza);
                const bool fallita = esito != 0 || errore != 0;
                c.rotto = fallita;
                c.connesso = !fallita;
            } else if ((server.events & POLLIN) && server.revents) {
                leggi(c, false, letto);
            }
            if (!c.rotto && (cliente.events & POLLIN) && cliente.revents)
                leggi(c, true, letto);
        }
    }
    collegamenti.clear();
}

Proxy::Proxy(const QString &host, quint16 porta) : stato_(std::make_unique<Stato>())
{
    if (stato_->apri(host, porta))
        stato_->filo = std::thread([s = stato_.get()] { s->gira(); });
}

Proxy::~Proxy()
{
    if (stato_->filo.joinable()) {
        {
            std::lock_guard blocco(stato_->mutex);
            stato_->fermo = true;
        }
        stato_->sveglia_();
        stato_->filo.join();
    }
}

bool Proxy::valido() const
{
    return stato_->filo.joinable();
}

QString Proxy::errore() const
{
    return stato_->errore;
}

quint16 Proxy::porta() const
{
    return stato_->porta;
}

void Proxy::impostaRitardo(std::chrono::microseconds ognuno)
{
    stato_->ritardo = std::max<qint64>(ognuno.count(), 0);
}

void Proxy::silenzio(bool acceso)
{
    stato_->comanda([&] { stato_->zitto = acceso; });
}

void Proxy::taglia(Taglio taglio)
{
    stato_->comanda([&] {
        if (taglio == Taglio::RispostaPersa)
            stato_->perdiRisposta = true;
        else
            stato_->perdiRichiesta = true;
    });
}

quint64 Proxy::giri() const
{
    return stato_->giri;
}

quint64 Proxy::connessioni() const
{
    return stato_->connessioni;
}

void Proxy::azzera()
{
    stato_->giri = 0;
    stato_->connessioni = 0;
}
