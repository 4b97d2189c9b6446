#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <chrono>
#include <initializer_list>

// The wait for a locked file in tests and their helper process: long enough
// for the engine's busy handler, short enough that the suite stays quick.
inline constexpr std::chrono::milliseconds ATTESA_PROVA{400};

// A fresh database file in a temporary folder, which becomes the working
// directory and the routines' database path for the life of the fixture;
// a locked file is waited for ATTESA_PROVA.
class DatabaseDiProva final
{
public:
    enum class Inizio { FileNuovo, SenzaFile };

    explicit DatabaseDiProva(Inizio inizio = Inizio::FileNuovo);
    ~DatabaseDiProva();
    DatabaseDiProva(const DatabaseDiProva &) = delete;
    DatabaseDiProva &operator=(const DatabaseDiProva &) = delete;

    QString cartella() const { return cartella_.path(); }
    QString percorso() const;

    // Direct access that bypasses the routines, for preparing and checking.
    void esegui(const QString &sql, std::initializer_list<QVariant> valori = {}) const;
    QList<QVariantList> righe(const QString &sql, std::initializer_list<QVariant> valori = {}) const;
    QVariant valore(const QString &sql, std::initializer_list<QVariant> valori = {}) const;

    // Replaces the file with bytes that are not a database.
    void sostituisciConTesto(const QByteArray &contenuto) const;

private:
    QTemporaryDir cartella_;
    QString cartellaPrecedente_;
};
