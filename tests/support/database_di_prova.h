#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <initializer_list>

// A fresh database file in a temporary folder, which becomes the working
// directory and the routines' database path for the life of the fixture.
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
