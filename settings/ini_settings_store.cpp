#include "ini_format.h"
#include "settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <map>

namespace skybrant::settings {

namespace {

// Why a file could not be written there, as far as can be told afterwards.
QString whyNotWritten(const QString& path, qint64 size)
{
    // Walk up to the first part of the path that exists.
    QFileInfo probe(QFileInfo(path).absolutePath());
    while (!probe.exists() && probe.absoluteFilePath() != QDir::rootPath()) {
        probe.setFile(probe.absolutePath());
    }
    if (!probe.isDir()) {
        return QStringLiteral("%1 is a file, not a folder").arg(probe.absoluteFilePath());
    }
    if (QFileInfo(path).isDir()) {
        return QStringLiteral("a folder of that name is in the way");
    }
    if (probe.absoluteFilePath() != QFileInfo(path).absolutePath()) {
        return QStringLiteral("the folder %1 could not be made").arg(QFileInfo(path).absolutePath());
    }
    // Try the same write again, without replacing the file, for the
    // system's own words (permission denied, no space left, ...).
    QSaveFile trial(path);
    if (!trial.open(QIODevice::WriteOnly)) {
        return trial.errorString();
    }
    const QByteArray filler(static_cast<qsizetype>(std::max<qint64>(size, 1)), ' ');
    if (trial.write(filler) != filler.size() || !trial.flush()) {
        QString reason = trial.errorString();
        trial.cancelWriting();
        return reason;
    }
    trial.cancelWriting();
    return QStringLiteral("the file could not be written");
}

// QSettings guards each write with "<file>.lock". A program killed while
// taking that lock leaves it empty, and QSettings would then wait half a
// minute before it counts as stale. A live holder writes its details into
// the lock at once, so a lock still empty a moment later is a dead one.
void clearDeadLock(const QString& path)
{
    const QString lockPath = path + QLatin1String(".lock");
    for (int look = 0; look < 2; ++look) {
        const QFileInfo lock(lockPath);
        if (!lock.exists() || lock.size() != 0) {
            return;
        }
        if (look == 0) {
            QThread::msleep(100);
        }
    }
    QFile::remove(lockPath);
}

class IniSettingsStore final : public SettingsStore {
public:
    QString get(
        const QString& application, const QString& section, const QString& key, const QString& defaultValue) override
    {
        return settingsFor(application).value(section + u'/' + key, defaultValue).toString();
    }

    void save(const QString& application, const QString& section, const QString& key, const QString& value) override
    {
        settingsFor(application).setValue(section + u'/' + key, value);
        pending_[application][section + u'/' + key] = value;
    }

    bool commit(QString& error) override
    {
        bool ok = true;
        for (const auto& [application, values] : pending_) {
            QSettings& s = settingsFor(application);
            clearDeadLock(s.fileName());
            s.sync();
            // The status also reports a damaged file read before the write,
            // so the file itself is read back to see what reached the disk.
            const QString path = s.fileName();
            if (!holds(path, values)) {
                error = QStringLiteral("Your station could not be saved to %1: %2.")
                            .arg(QDir::toNativeSeparators(path), whyNotWritten(path, writeIni(values).size()));
                ok = false;
            }
        }
        pending_.clear();
        return ok;
    }

    std::optional<QString> readProblem(const QString& application) override
    {
        QSettings& s = settingsFor(application);
        const QString path = QDir::toNativeSeparators(s.fileName());
        switch (s.status()) {
        case QSettings::NoError:
            return std::nullopt;
        case QSettings::FormatError:
            return QStringLiteral("The saved station in %1 could not be read: %2.").arg(path, problems_[application]);
        case QSettings::AccessError:
            break;
        }
        return QStringLiteral("The saved station in %1 could not be read: the file cannot be opened.").arg(path);
    }

private:
    QSettings& settingsFor(const QString& application)
    {
        auto it = open_.find(application);
        if (it == open_.end()) {
            auto s = std::make_unique<QSettings>(iniSettingsPath(application), iniFormat());
            // QSettings reads the file when it is made.
            problems_[application] = lastIniReadError();
            it = open_.emplace(application, std::move(s)).first;
        }
        return *it->second;
    }

    static bool holds(const QString& path, const QSettings::SettingsMap& values)
    {
        QFile file(path);
        QSettings::SettingsMap onDisk;
        QString ignored;
        if (!file.open(QIODevice::ReadOnly) || !readIni(file.readAll(), onDisk, ignored)) {
            return false;
        }
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (onDisk.value(it.key()) != it.value()) {
                return false;
            }
        }
        return true;
    }

    std::map<QString, std::unique_ptr<QSettings>> open_;
    std::map<QString, QString> problems_;
    std::map<QString, QSettings::SettingsMap> pending_;
};

}  // namespace

QString iniSettingsPath(const QString& application)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + application + u'/' +
        application + QLatin1String(".ini");
}

std::unique_ptr<SettingsStore> makeIniSettingsStore()
{
    return std::make_unique<IniSettingsStore>();
}

}  // namespace skybrant::settings
