#include "data/collegamento.h"

#include "data/routine.h"

#include <QDate>
#include <QElapsedTimer>

#include <libpq-fe.h>
#include <poll.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace {

std::atomic<int> limiteMs{9000};

// The user's options kept, the session's added: a value's blanks and
// backslashes escaped as the server splits them.
QByteArray opzioni(const QString &connessione, const QStringList &impostazioni)
{
    QByteArray tutte;
    if (PQconninfoOption *lette = PQconninfoParse(connessione.toUtf8().constData(), nullptr)) {
        for (PQconninfoOption *o = lette; o->keyword; ++o) {
            if (qstrcmp(o->keyword, "options") == 0 && o->val)
                tutte = o->val;
        }
        PQconninfoFree(lette);
    }
    for (const QString &impostazione : impostazioni) {
        QByteArray protetta;
        for (char c : impostazione.toUtf8()) {
            if (c == ' ' || c == '\\')
                protetta += '\\';
            protetta += c;
        }
        tutte += " -c " + protetta;
    }
    return tutte.trimmed();
}

struct LiberaRisultato
{
    void operator()(PGresult *r) const { PQclear(r); }
};

std::shared_ptr<pg_result> tieni(PGresult *r)
{
    return std::shared_ptr<pg_result>(r, LiberaRisultato());
}

// A statement's values in libpq's text format, alive as long as this is.
class Parametri
{
public:
    explicit Parametri(const QVariantList &valori)
    {
        for (const QVariant &valore : valori) {
            bool nullo = false;
            testi_.append(testoPg(valore, &nullo));
            puntatori_.push_back(nullo ? nullptr : testi_.last().constData());
        }
    }
    int quanti() const { return int(puntatori_.size()); }
    const char *const *dati() const { return puntatori_.data(); }

private:
    QList<QByteArray> testi_;
    std::vector<const char *> puntatori_;
};

bool fallito(const PGresult *r)
{
    const ExecStatusType stato = PQresultStatus(r);
    return stato != PGRES_COMMAND_OK && stato != PGRES_TUPLES_OK && stato != PGRES_SINGLE_TUPLE;
}

} // namespace

std::chrono::milliseconds Collegamento::limite()
{
    return std::chrono::milliseconds(limiteMs.load());
}

void Collegamento::impostaLimite(std::chrono::milliseconds limite)
{
    limiteMs = int(limite.count());
}

Collegamento::Collegamento(const QString &connessione, const QStringList &impostazioni)
{
    // A dead peer is noticed by the kernel too: keepalives on an idle link,
    // and a limit on data left unacknowledged.
    const QByteArray secondi = QByteArray::number(qMax<qint64>(2, limite().count() / 1000));
    const QByteArray utente = connessione.toUtf8();
    const QByteArray tutteLeOpzioni = opzioni(connessione, impostazioni);
    const QByteArray utenteTcp = QByteArray::number(limite().count());
    const char *chiavi[] = {"dbname", "application_name", "client_encoding", "connect_timeout", "keepalives",
                            "keepalives_idle", "keepalives_interval", "keepalives_count", "tcp_user_timeout",
                            "options", nullptr};
    const char *valori[] = {utente.constData(), "Vorendi", "UTF8", secondi.constData(), "1", "3", "1", "3",
                            utenteTcp.constData(), tutteLeOpzioni.constData(), nullptr};
    pg_ = PQconnectStartParams(chiavi, valori, 1);
    if (!pg_)
        fallisciSulServer(QStringLiteral("08001"), QStringLiteral("out of memory"));
    QElapsedTimer tempo;
    tempo.start();
    PostgresPollingStatusType stato = PQstatus(pg_) == CONNECTION_BAD ? PGRES_POLLING_FAILED : PGRES_POLLING_WRITING;
    while (stato == PGRES_POLLING_READING || stato == PGRES_POLLING_WRITING) {
        pollfd attesa{PQsocket(pg_), short(stato == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const qint64 resta = limite().count() - tempo.elapsed();
        if (resta <= 0 || poll(&attesa, 1, int(resta)) == 0) {
            PQfinish(pg_);
            pg_ = nullptr;
            // Nothing answered: a server that is off or out of reach.
            fallisciSulServer(QStringLiteral("08001"),
                              QStringLiteral("timeout expired after %1 s").arg(limite().count() / 1000.0));
        }
        stato = PQconnectPoll(pg_);
    }
    if (stato != PGRES_POLLING_OK) {
        const QString testo = QString::fromUtf8(PQerrorMessage(pg_)).trimmed();
        PQfinish(pg_);
        pg_ = nullptr;
        // Stated by the caller, which knows whether the server answered.
        throw ErroreRoutine{0, testo, Zona::Nessuna, QStringLiteral("08000")};
    }
    PQsetnonblocking(pg_, 1);
    // The server's notices are for its log, not the counter's terminal.
    PQsetNoticeProcessor(pg_, [](void *, const char *) {}, nullptr);
    // Every statement goes in a batch that ends with a sync: the batch is
    // one round trip, and its statements one implicit transaction.
    if (!PQenterPipelineMode(pg_))
        interrotto({});
}

Collegamento::~Collegamento()
{
    PQfinish(pg_);
}

bool Collegamento::utilizzabile()
{
    if (!pg_ || PQstatus(pg_) != CONNECTION_OK || PQtransactionStatus(pg_) != PQTRANS_IDLE
        || PQisBusy(pg_))
        return false;
    // An idle session hears nothing from the server but its goodbye (a
    // termination, then the end): anything waiting means it is gone.
    pollfd attesa{PQsocket(pg_), POLLIN, 0};
    return poll(&attesa, 1, 0) == 0;
}

bool Collegamento::cifrato() const
{
    return pg_ && PQsslInUse(pg_);
}

void Collegamento::interrotto(const QString &perche)
{
    const QString testo = perche.isEmpty() ? QString::fromUtf8(PQerrorMessage(pg_)).trimmed() : perche;
    PQfinish(pg_);
    pg_ = nullptr;
    preparate_.clear();
    fallisciSulServer(QStringLiteral("08006"), testo);
}

void Collegamento::aspetta(bool scrivere)
{
    if (!pg_)
        fallisciSulServer(QStringLiteral("08006"), QStringLiteral("no connection to the server"));
    pollfd attesa{PQsocket(pg_), short(POLLIN | (scrivere ? POLLOUT : 0)), 0};
    const int pronti = poll(&attesa, 1, int(limite().count()));
    if (pronti == 0)
        interrotto(QStringLiteral("no reply from the server within %1 s").arg(limite().count() / 1000.0));
    if (pronti < 0 && errno != EINTR)
        interrotto(QString::fromLocal8Bit(strerror(errno)));
    if ((attesa.revents & (POLLIN | POLLHUP | POLLERR)) && !PQconsumeInput(pg_))
        interrotto({});
}

void Collegamento::invia()
{
    int esito = 0;
    while ((esito = PQflush(pg_)) == 1)
        aspetta(true);
    if (esito < 0)
        interrotto({});
}

pg_result *Collegamento::prossimoRisultato()
{
    while (pg_ && PQisBusy(pg_))
        aspetta(false);
    if (!pg_)
        fallisciSulServer(QStringLiteral("08006"), QStringLiteral("no connection to the server"));
    return PQgetResult(pg_);
}

std::shared_ptr<pg_result> Collegamento::esegui(const QByteArray &sql, const QVariantList &valori)
{
    if (!pg_)
        fallisciSulServer(QStringLiteral("08006"), QStringLiteral("no connection to the server"));
    const Parametri valoriPg(valori);
    // Sent as one batch, read back in the same order.
    int quanti = 0;
    const bool conInizio = !inAttesa_.isEmpty();
    if (conInizio) {
        if (!PQsendQueryParams(pg_, inAttesa_.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0))
            interrotto({});
        inAttesa_.clear();
        ++quanti;
    }
    QByteArray nome = preparate_.value(sql);
    const bool nuova = nome.isEmpty();
    if (nuova) {
        static std::atomic<quint64> numero{0};
        nome = "vorendi_" + QByteArray::number(++numero);
        if (!PQsendPrepare(pg_, nome.constData(), numerata(sql).constData(), 0, nullptr))
            interrotto({});
        ++quanti;
    }
    if (!PQsendQueryPrepared(pg_, nome.constData(), valoriPg.quanti(), valoriPg.dati(), nullptr, nullptr, 0)
        || !PQpipelineSync(pg_))
        interrotto({});
    ++quanti;
    invia();

    std::shared_ptr<pg_result> errore;
    std::shared_ptr<pg_result> risultato;
    bool preparata = !nuova;
    // A connection that ends after the server said why (a termination)
    // fails with the server's words.
    const auto prossimo = [&]() -> PGresult * {
        try {
            return prossimoRisultato();
        } catch (const ErroreRoutine &) {
            if (errore)
                fallisciDalRisultato(pg_, errore.get());
            throw;
        }
    };
    for (int i = 0; i < quanti; ++i) {
        while (PGresult *r = prossimo()) {
            auto tenuto = tieni(r);
            if (PQresultStatus(r) == PGRES_PIPELINE_ABORTED)
                continue;
            if (fallito(r)) {
                if (!errore)
                    errore = tenuto;
                continue;
            }
            if (nuova && i == quanti - 2)
                preparata = true;
            if (i == quanti - 1)
                risultato = tenuto;
        }
    }
    try {
        fineBatch();
    } catch (const ErroreRoutine &) {
        if (errore)
            fallisciDalRisultato(pg_, errore.get());
        throw;
    }
    if (preparata)
        preparate_.insert(sql, nome);
    if (errore)
        fallisciDalRisultato(pg_, errore.get());
    return risultato;
}

void Collegamento::inviaLetture(const QList<QByteArray> &istruzioni, const QVariantList &valori)
{
    if (!pg_)
        fallisciSulServer(QStringLiteral("08006"), QStringLiteral("no connection to the server"));
    const Parametri valoriPg(valori);
    const bool conInizio = !inAttesa_.isEmpty();
    if (conInizio && !PQsendQueryParams(pg_, std::exchange(inAttesa_, {}).constData(), 0, nullptr, nullptr,
                                        nullptr, nullptr, 0))
        interrotto({});
    for (qsizetype i = 0; i < istruzioni.size(); ++i) {
        const bool ultima = i == istruzioni.size() - 1;
        if (!PQsendQueryParams(pg_, numerata(istruzioni.at(i)).constData(), ultima ? valoriPg.quanti() : 0,
                               nullptr, ultima ? valoriPg.dati() : nullptr, nullptr, nullptr, 0))
            interrotto({});
    }
    if (!PQpipelineSync(pg_))
        interrotto({});
    invia();
    if (conInizio) {
        while (PGresult *r = prossimoRisultato()) {
            auto tenuto = tieni(r);
            if (fallito(r))
                fallisciDalRisultato(pg_, r);
        }
    }
    rigaPerRiga();
}

void Collegamento::rigaPerRiga()
{
    // Rows come one at a time, as from the file: a year's register is never
    // held whole in memory.
    if (!PQsetSingleRowMode(pg_))
        interrotto(QStringLiteral("single-row mode refused"));
}

void Collegamento::fineBatch()
{
    PGresult *sincronia = prossimoRisultato();
    const bool allineato = sincronia && PQresultStatus(sincronia) == PGRES_PIPELINE_SYNC;
    PQclear(sincronia);
    if (!allineato)
        interrotto(QStringLiteral("the server's replies are out of step"));
}

void Collegamento::chiudi()
{
    PQfinish(pg_);
    pg_ = nullptr;
    preparate_.clear();
}

QByteArray numerata(const QByteArray &sql)
{
    QByteArray uscita;
    uscita.reserve(sql.size() + 8);
    int numero = 0;
    bool citato = false;
    for (char c : sql) {
        if (c == '\'')
            citato = !citato;
        if (c == '?' && !citato)
            uscita += '$' + QByteArray::number(++numero);
        else
            uscita += c;
    }
    return uscita;
}

QByteArray testoPg(const QVariant &valore, bool *nullo)
{
    *nullo = false;
    switch (valore.typeId()) {
    case QMetaType::QString:
        // A null QString is the program's empty text, never SQL NULL.
        return valore.toString().toUtf8();
    case QMetaType::QByteArray:
        return valore.toByteArray();
    case QMetaType::Bool:
        return valore.toBool() ? "1" : "0";
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QByteArray::number(valore.toLongLong());
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QByteArray::number(valore.toULongLong());
    case QMetaType::Double:
        return QByteArray::number(valore.toDouble(), 'g', 17);
    case QMetaType::QDate:
        return valore.toDate().toString(Qt::ISODate).toUtf8();
    default:
        if (!valore.isValid() || valore.isNull()) {
            *nullo = true;
            return {};
        }
        return valore.toString().toUtf8();
    }
}

void fallisciDalRisultato(pg_conn *pg, const pg_result *risultato)
{
    const char *stato = risultato ? PQresultErrorField(risultato, PG_DIAG_SQLSTATE) : nullptr;
    // The server's own sentence, without the hint that carries the zone.
    const char *primo = risultato ? PQresultErrorField(risultato, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString testo =
        QString::fromUtf8(primo ? primo : risultato ? PQresultErrorMessage(risultato) : PQerrorMessage(pg)).trimmed();
    ErroreRoutine errore{0, testo, Zona::Nessuna,
                         stato ? QString::fromLatin1(stato)
                         : PQstatus(pg) != CONNECTION_OK ? QStringLiteral("08006")
                                                         : QStringLiteral("XX000")};
    // A step of the server's own functions names the zone it belongs to.
    const QByteArray suggerimento = risultato ? QByteArray(PQresultErrorField(risultato, PG_DIAG_MESSAGE_HINT))
                                              : QByteArray();
    if (suggerimento.startsWith("vorendi-zona "))
        errore.zona = Zona(suggerimento.mid(13).toInt());
    throw errore;
}
