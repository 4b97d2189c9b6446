#include "support/database_di_prova.h"

#include "data/percorso.h"
#include "data/routine.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

template <typename Lavoro>
void conConnessione(const QString &percorso, Lavoro lavoro)
{
    const QString nome = QStringLiteral("prova-diretta");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(percorso);
        if (!db.open())
            qFatal("apertura diretta fallita: %s", qPrintable(db.lastError().text()));
        lavoro(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(nome);
}

QSqlQuery eseguiDiretto(QSqlDatabase &db, const QString &sql, std::initializer_list<QVariant> valori)
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    int i = 0;
    for (const QVariant &v : valori)
        q.bindValue(i++, v);
    if (!q.exec())
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q;
}

} // namespace

DatabaseDiProva::DatabaseDiProva(Inizio inizio)
    : cartellaPrecedente_(QDir::currentPath())
{
    if (!cartella_.isValid())
        qFatal("cartella temporanea non creata");
    QDir::setCurrent(cartella_.path());
    impostaPercorsoDatabase(percorsoPredefinito());
    impostaAttesaFileBloccato(ATTESA_PROVA);
    if (inizio == Inizio::FileNuovo) {
        QString errore;
        if (!creaDatabase(percorso(), &errore))
            qFatal("%s", qPrintable(errore));
    }
}

DatabaseDiProva::~DatabaseDiProva()
{
    QDir::setCurrent(cartellaPrecedente_);
}

QString DatabaseDiProva::percorso() const
{
    return QDir(cartella_.path()).filePath(NOME_FILE_DATABASE);
}

void DatabaseDiProva::esegui(const QString &sql, std::initializer_list<QVariant> valori) const
{
    conConnessione(percorso(), [&](QSqlDatabase &db) { eseguiDiretto(db, sql, valori); });
}

QList<QVariantList> DatabaseDiProva::righe(const QString &sql,
                                           std::initializer_list<QVariant> valori) const
{
    QList<QVariantList> risultato;
    conConnessione(percorso(), [&](QSqlDatabase &db) {
        QSqlQuery q = eseguiDiretto(db, sql, valori);
        while (q.next()) {
            QVariantList riga;
            for (int i = 0; i < q.record().count(); ++i)
                riga.append(q.value(i));
            risultato.append(riga);
        }
    });
    return risultato;
}

QVariant DatabaseDiProva::valore(const QString &sql, std::initializer_list<QVariant> valori) const
{
    const QList<QVariantList> tutte = righe(sql, valori);
    return tutte.isEmpty() || tutte.first().isEmpty() ? QVariant() : tutte.first().first();
}

void DatabaseDiProva::sostituisciConTesto(const QByteArray &contenuto) const
{
    QFile file(percorso());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("file non scrivibile");
    file.write(contenuto);
}
