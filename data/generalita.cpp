#include "data/database_routines.h"
#include "data/routine.h"

QString AziendaNome;
QString AziendaInfo1;
QString AziendaInfo2;
QString AziendaInfo3;
QString AziendaInfo4;

std::optional<DatiAzienda> LeggiGeneralita()
{
    if (!eseguiRoutine(Zona::LeggiGeneralita, [](Sessione &s) {
        Righe q = s.esegui(QStringLiteral(
            "SELECT nome, info1, info2, info3, info4 FROM \"generalità\" LIMIT 1"));
        if (!Sessione::prossima(q))
            return;
        // Field by field: a null column stops the reading there, keeping the
        // fields already read.
        QString *campi[] = {&AziendaNome, &AziendaInfo1, &AziendaInfo2, &AziendaInfo3,
                            &AziendaInfo4};
        for (int i = 0; i < 5; ++i)
            *campi[i] = colonnaTesto(q, i);
    }))
        return std::nullopt;
    return DatiAzienda{AziendaNome, AziendaInfo1, AziendaInfo2, AziendaInfo3, AziendaInfo4};
}

DatiAzienda generalitaDaStampare()
{
    LeggiGeneralita();
    return {AziendaNome, AziendaInfo1, AziendaInfo2, AziendaInfo3, AziendaInfo4};
}

bool SalvaGeneralita(const QString &nome, const QString &info1, const QString &info2,
                     const QString &info3, const QString &info4)
{
    return eseguiRoutine(Zona::SalvaGeneralita, [&](Sessione &s) {
        Transazione t(s);
        Righe q = s.esegui(QStringLiteral("UPDATE \"generalità\" SET nome=?, info1=?,"
                                              " info2=?, info3=?, info4=?"),
                               {nome, info1, info2, info3, info4});
        if (q.cambiate() == 0) {
            s.esegui(QStringLiteral("INSERT INTO \"generalità\" (nome, info1, info2, info3, info4)"
                                    " VALUES (?, ?, ?, ?, ?)"),
                     {nome, info1, info2, info3, info4});
        }
        t.conferma();
    });
}
