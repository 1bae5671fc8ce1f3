#include "settings_file.h"

#include "core/file_kind.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skybrant::settings {

namespace {

// Holds the settings folder's lock (flock, which the system drops with the
// process, so a program that died never leaves it taken). Waits a moment
// for another program's save; past that the save goes ahead unlocked, as a
// close must not wait on anyone.
class FolderLock {
public:
    explicit FolderLock(const QString& folder)
        : fd_(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        const QDeadlineTimer patience(250);
        while (fd_ >= 0 && !held_) {
            held_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
            if (held_ || errno != EWOULDBLOCK || patience.hasExpired()) {
                break;
            }
            QThread::msleep(5);
        }
    }
    ~FolderLock()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    FolderLock(FolderLock&&) = delete;
    FolderLock& operator=(FolderLock&&) = delete;

    bool held() const { return held_; }

private:
    int fd_;
    bool held_ = false;
};

// A save killed between naming its new file and putting it in place leaves
// "Skybrant.ini.XXXXXX", six random letters of either case. Names a person
// would give a copy ("Skybrant.ini.backup", "...Broken") are all one case or
// a capitalised word, and stay. Only run while holding the folder's lock, so
// no other save is writing its own such file.
void removeLeftovers(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    const QStringList found =
        dir.entryList({name + QLatin1String(".??????")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& entry : found) {
        const QStringView tail = QStringView(entry).right(6);
        const bool letters = std::all_of(
            tail.begin(), tail.end(), [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); });
        const auto upper = std::count_if(tail.begin(), tail.end(), [](QChar c) { return c.isUpper(); });
        const bool capitalised = upper == 1 && tail.front().isUpper();
        if (letters && upper > 0 && upper < tail.size() && !capitalised) {
            QFile::remove(dir.filePath(entry));
        }
    }
}

// Why the folder for path could not be made.
QString whyNoFolder(const QString& path)
{
    // Walk up to the first part of the path that exists.
    QFileInfo probe(QFileInfo(path).absolutePath());
    while (!probe.exists() && probe.absoluteFilePath() != QDir::rootPath()) {
        probe.setFile(probe.absolutePath());
    }
    if (!probe.isDir()) {
        return QStringLiteral("%1 is a file, not a folder").arg(QDir::toNativeSeparators(probe.absoluteFilePath()));
    }
    return QStringLiteral("the folder %1 could not be made")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}

}  // namespace

FileContents readSettingsFile(const QString& path)
{
    SettingsBytes read = readSettingsBytes(QFile::encodeName(path).toStdString());
    FileContents found;
    found.state = read.state;
    found.bytes = QByteArray(read.bytes.data(), static_cast<qsizetype>(read.bytes.size()));
    found.why = QString::fromLocal8Bit(read.why.data(), static_cast<qsizetype>(read.why.size()));
    found.kind = QString::fromLatin1(read.kind);
    found.replaceable = read.replaceable;
    return found;
}

std::optional<QString> replaceSettingsFile(
    const QString& path, const std::function<QByteArray(const FileContents& now)>& contents)
{
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath())) {
        return whyNoFolder(path);
    }
    const FolderLock lock(target.absolutePath());
    struct stat info { };
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &info) == 0 && !S_ISREG(info.st_mode) &&
        !replaceableByFile(native.toStdString(), info.st_mode)) {
        if (S_ISDIR(info.st_mode)) {
            return QStringLiteral("a folder of that name is in the way");
        }
        return QStringLiteral("it is %1, not a regular file").arg(QLatin1String(fileKind(info.st_mode)));
    }
    const FileContents now = readSettingsFile(path);
    // What could not be read is never replaced with less.
    if (now.state == FileContents::State::TooLarge) {
        return QStringLiteral("it is larger than 1 MiB, so it could not be read and is left as it is");
    }
    if (now.state == FileContents::State::CannotOpen) {
        return QStringLiteral("it could not be read (%1), so it is left as it is").arg(now.why);
    }
    const QByteArray bytes = contents(now);
    if (lock.held()) {
        removeLeftovers(target.absolutePath(), target.fileName());
    }
    // Unbuffered, so that a short write (a full disk) is seen here; the
    // new file then goes, and the old one stays as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    // A short write is tried again for the rest, so that the system says
    // why it stopped (a full disk) rather than nothing.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return why;
        }
        done += n;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

}  // namespace skybrant::settings
