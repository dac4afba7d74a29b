#pragma once

// Hooks on the file calls that replace and remove files. Defined once in a test executable,
// these take the place of the C library's for every library of the process (Qt's file engine,
// libstdc++'s filesystem), so a test can watch a replacement happen or make it fail as another
// program would. Include it in one source file of the executable only.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/syscall.h>
#include <unistd.h>

namespace filehook {
// Each returns 0 to let the call happen, or the errno it fails with.
inline std::function<int(const char *from, const char *to)> onRename;
inline std::function<int(const char *path)> onUnlink;
// A file given a name by a hard link (how an unnamed temporary file is made visible): flags as
// linkat takes them.
inline std::function<int(int fromDir, const char *from, const char *to, int flags)> onLink;
} // namespace filehook

extern "C" int linkat(int fromDir, const char *from, int toDir, const char *to, int flags)
{
    if (filehook::onLink) {
        if (const int e = filehook::onLink(fromDir, from, to, flags)) {
            errno = e;
            return -1;
        }
    }
    return int(syscall(SYS_linkat, fromDir, from, toDir, to, flags));
}

extern "C" int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags)
{
    if (filehook::onRename) {
        if (const int e = filehook::onRename(from, to)) {
            errno = e;
            return -1;
        }
    }
    return int(syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}

extern "C" int rename(const char *from, const char *to)
{
    return renameat2(AT_FDCWD, from, AT_FDCWD, to, 0);
}

extern "C" int unlink(const char *path)
{
    if (filehook::onUnlink) {
        if (const int e = filehook::onUnlink(path)) {
            errno = e;
            return -1;
        }
    }
    return int(syscall(SYS_unlinkat, AT_FDCWD, path, 0));
}

// Plays another program that holds the files beside a report open while the report is put in
// place, as a virus scanner or a closing Excel does on Windows: nothing can be renamed onto the
// report's path and no other file of its folder can be removed; the report itself can be.
class HeldReport
{
public:
    explicit HeldReport(const QString &path)
    {
        const QByteArray report = QFile::encodeName(path);
        const QByteArray folder = report.left(report.lastIndexOf('/') + 1);
        filehook::onRename = [report](const char *, const char *to) { return report == to ? EBUSY : 0; };
        filehook::onUnlink = [report, folder](const char *p) {
            const QByteArray path(p);
            const bool beside = path.startsWith(folder) && !path.mid(folder.size()).contains('/');
            return beside && path != report ? EBUSY : 0;
        };
    }
    ~HeldReport()
    {
        filehook::onRename = nullptr;
        filehook::onUnlink = nullptr;
    }
};
