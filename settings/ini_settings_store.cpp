#include "ini_document.h"
#include "settings_file.h"
#include "settings_store.h"

#include <QDir>
#include <QStandardPaths>

#include <map>
#include <vector>

namespace skybrant::settings {

namespace {

QString settingsPath(const QString& application)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + application + u'/' +
        application + QLatin1String(".ini");
}

// What the window is told when the file could not all be read: the file,
// what is wrong, and what happens next.
std::optional<QString> describeProblem(const QString& path, const FileContents& found, const IniDocument& doc)
{
    const QString file = QDir::toNativeSeparators(path);
    const QString unread = QStringLiteral("The saved station in %1 could not be read: %2.").arg(file);
    const QString replaced =
        QStringLiteral(" Skybrant starts with empty boxes and saves your station there again when you close it.");
    switch (found.state) {
    case FileContents::State::Absent:
        return std::nullopt;
    case FileContents::State::Read:
        break;
    case FileContents::State::NotRegular:
        if (found.replaceable) {
            return unread.arg(QStringLiteral("it is %1, not a regular file").arg(found.kind)) + replaced;
        }
        return unread.arg(QStringLiteral("it is %1, not a regular file").arg(found.kind)) +
            QStringLiteral(" Skybrant starts with empty boxes and leaves it as it is, so your station is not "
                           "saved until a regular file takes its place.");
    case FileContents::State::TooLarge:
        return unread.arg(QStringLiteral("it is larger than 1 MiB, which no saved station is")) + replaced;
    case FileContents::State::CannotOpen:
        return unread.arg(QStringLiteral("the file cannot be opened")) + replaced;
    }
    const QStringList& problems = doc.problems();
    if (problems.isEmpty()) {
        return std::nullopt;
    }
    QString what = problems.front();
    if (problems.size() == 2) {
        what += QStringLiteral(", and 1 more line could not be read");
    } else if (problems.size() > 2) {
        what += QStringLiteral(", and %1 more lines could not be read").arg(problems.size() - 1);
    }
    return QStringLiteral("The saved station in %1 could not be read in full: %2. Skybrant starts with the values "
                          "it could read and, when you close it, saves your station there again without the lines "
                          "it could not read.")
        .arg(file, what);
}

class IniSettingsStore final : public SettingsStore {
public:
    QString get(
        const QString& application, const QString& section, const QString& key, const QString& defaultValue) override
    {
        return loaded(application).doc.value(section, key).value_or(defaultValue);
    }

    void save(const QString& application, const QString& section, const QString& key, const QString& value) override
    {
        pending_[application].push_back({section, key, value});
    }

    bool commit(QString& error) override
    {
        bool ok = true;
        for (const auto& entry : pending_) {
            const std::vector<Value>& values = entry.second;
            const QString path = settingsPath(entry.first);
            // The file as it is now, not as it was at the load: another
            // feature or program may have saved its own keys since.
            const auto failure = replaceSettingsFile(path, [&values](const FileContents& now) {
                IniDocument doc =
                    now.state == FileContents::State::Read ? IniDocument::parse(now.bytes) : IniDocument();
                for (const Value& v : values) {
                    doc.setValue(v.section, v.key, v.text);
                }
                return doc.toBytes();
            });
            if (failure) {
                error = QStringLiteral("Your station could not be saved to %1: %2.")
                            .arg(QDir::toNativeSeparators(path), *failure);
                ok = false;
            }
        }
        pending_.clear();
        return ok;
    }

    std::optional<QString> readProblem(const QString& application) override { return loaded(application).problem; }

private:
    struct Value {
        QString section;
        QString key;
        QString text;
    };
    struct Loaded {
        IniDocument doc;
        std::optional<QString> problem;
    };

    // Each application's file is read once, at its first use.
    Loaded& loaded(const QString& application)
    {
        auto it = loaded_.find(application);
        if (it == loaded_.end()) {
            const QString path = settingsPath(application);
            const FileContents found = readSettingsFile(path);
            Loaded l;
            if (found.state == FileContents::State::Read) {
                l.doc = IniDocument::parse(found.bytes);
            }
            l.problem = describeProblem(path, found, l.doc);
            it = loaded_.emplace(application, std::move(l)).first;
        }
        return it->second;
    }

    std::map<QString, Loaded> loaded_;
    std::map<QString, std::vector<Value>> pending_;
};

}  // namespace

std::unique_ptr<SettingsStore> makeIniSettingsStore()
{
    return std::make_unique<IniSettingsStore>();
}

}  // namespace skybrant::settings
