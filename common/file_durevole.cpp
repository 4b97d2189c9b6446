#include "common/file_durevole.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sincronizza(const QByteArray &percorso, int modo)
{
    const int fd = ::open(percorso.constData(), modo | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A file system that cannot sync a folder (EINVAL) has nothing more to give.
    const bool fatto = ::fsync(fd) == 0 || (errno == EINVAL && (modo & O_DIRECTORY));
    return ::close(fd) == 0 && fatto;
}

// The process's umask, read without changing it (threads may be creating files).
mode_t umaskAttuale()
{
    QFile stato(QStringLiteral("/proc/self/status"));
    if (stato.open(QIODevice::ReadOnly)) {
        for (const QByteArray &riga : stato.readAll().split('\n')) {
            if (riga.startsWith("Umask:"))
                return mode_t(riga.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 022;
}

} // namespace

bool scriviTutto(int fd, const QByteArray &dati)
{
    const char *p = dati.constData();
    qsizetype resto = dati.size();
    while (resto > 0) {
        const ssize_t scritti = ::write(fd, p, size_t(resto));
        if (scritti < 0 && errno == EINTR)
            continue;
        if (scritti <= 0)
            return false;
        p += scritti;
        resto -= scritti;
    }
    return ::fsync(fd) == 0;
}

bool sincronizzaCartellaDi(const QString &percorso)
{
    return sincronizza(QFile::encodeName(QFileInfo(percorso).absolutePath()), O_RDONLY | O_DIRECTORY);
}

bool mettiAlPosto(const QString &provvisorio, const QString &finale, bool sostituisci)
{
    const QByteArray da = QFile::encodeName(provvisorio);
    const QByteArray a = QFile::encodeName(finale);
    if (!sincronizza(da, O_RDONLY))
        return false;
    if (sostituisci) {
        if (::rename(da.constData(), a.constData()) != 0)
            return false;
    } else if (::renameat2(AT_FDCWD, da.constData(), AT_FDCWD, a.constData(), RENAME_NOREPLACE) != 0) {
        // Where renaming cannot refuse a taken name, a link can.
        if ((errno != EINVAL && errno != ENOSYS) || ::link(da.constData(), a.constData()) != 0)
            return false;
        ::unlink(da.constData());
    }
    return sincronizzaCartellaDi(finale);
}

bool scriviNuovoFile(const QString &percorso, const QByteArray &dati)
{
    const QFileInfo finale(percorso);
    QByteArray provvisorio =
        QFile::encodeName(finale.absoluteDir().filePath(u'.' + finale.fileName() + QStringLiteral(".XXXXXX")));
    const int fd = ::mkostemp(provvisorio.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // As any new file, not mkostemp's private 0600.
    const bool scritto = ::fchmod(fd, 0666 & ~umaskAttuale()) == 0 && scriviTutto(fd, dati);
    const bool fatto = ::close(fd) == 0 && scritto
        && mettiAlPosto(QFile::decodeName(provvisorio), finale.absoluteFilePath(), false);
    if (!fatto)
        ::unlink(provvisorio.constData());
    return fatto;
}
