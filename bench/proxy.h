#pragma once

#include <QString>

#include <chrono>
#include <memory>

// A TCP proxy on 127.0.0.1 in front of a server, in a thread of its own: it
// delays each way, can go silent, and can lose one reply or one request.
// The setters return once the proxy's thread has taken them up: bytes sent
// after the call meet the new setting.
class Proxy final
{
public:
    enum class Taglio { RispostaPersa, RichiestaPersa };

    // Listens on 127.0.0.1 on a free port.
    Proxy(const QString &host, quint16 porta);
    // Stops, closes everything.
    ~Proxy();
    Proxy(const Proxy &) = delete;
    Proxy &operator=(const Proxy &) = delete;

    bool valido() const;
    QString errore() const;
    quint16 porta() const;

    // Added to every chunk in each direction (so the round trip grows by
    // twice this); order kept. A new connection's first bytes reach the
    // server one round trip later still: the handshake a link that slow
    // would have cost before the client could send them.
    void impostaRitardo(std::chrono::microseconds ognuno);
    // While on: nothing is forwarded either way and no socket is closed (not
    // even when one side closes), for the connections open now and the new
    // ones (accepted, never forwarded). Off: forwarding resumes.
    void silenzio(bool acceso);
    // One shot, on every connection open now: RispostaPersa = the next bytes
    // the server sends are dropped and both sides of that connection are
    // closed; RichiestaPersa = the next bytes the client sends are dropped
    // (never reach the server) and both sides closed.
    void taglia(Taglio taglio);
    // Round trips since the start or the last azzera(): on each connection,
    // every time bytes go client->server after bytes went server->client
    // (the first client bytes of a connection count as one).
    quint64 giri() const;
    // Accepted since the start or azzera().
    quint64 connessioni() const;
    void azzera();

private:
    struct Stato;
    std::unique_ptr<Stato> stato_;
};
