#include "ini_document.h"
#include "settings_file.h"
#include "settings_store.h"

#include "core/utf8.h"

#include <QDir>
#include <QFile>

#include <map>
#include <utility>
#include <vector>

namespace skybrant::settings {

namespace {

// Enough of a hand-edited value to recognise it, never a screenful.
constexpr std::size_t kShownBytes = 60;

QString settingsPath(const QString& application)
{
    return QFile::decodeName(QByteArray::fromStdString(settingsFilePath(QFile::encodeName(application).toStdString())));
}

// Whether a save leaves the file as it found it, because it could not be
// read and a new one would hold less.
bool leftAlone(const FileContents& found)
{
    using State = FileContents::State;
    return found.state == State::TooLarge || found.state == State::CannotOpen ||
        (found.state == State::NotRegular && !found.replaceable);
}

// What the user is told when the file could not all be read: the file,
// what is wrong, and what happens next.
std::optional<QString> describeProblem(const QString& path, const FileContents& found, const IniDocument& doc)
{
    const QString unread =
        QStringLiteral("The settings in %1 could not be read: %2.").arg(QDir::toNativeSeparators(path));
    const QString kept = QStringLiteral(" Skybrant starts without them and leaves the file as it is: nothing is saved "
                                        "into it until it can be read.");
    switch (found.state) {
    case FileContents::State::Absent:
        return std::nullopt;
    case FileContents::State::Read:
        break;
    case FileContents::State::NotRegular:
        if (found.replaceable) {
            return unread.arg(QStringLiteral("it is %1, not a regular file").arg(found.kind)) +
                QStringLiteral(" Skybrant starts without them and saves a regular file in its place.");
        }
        return unread.arg(QStringLiteral("it is %1, not a regular file").arg(found.kind)) + kept;
    case FileContents::State::TooLarge:
        return unread.arg(QStringLiteral("it is larger than 1 MiB, which no settings file of Skybrant is")) + kept;
    case FileContents::State::CannotOpen:
        return unread.arg(QStringLiteral("the file cannot be opened (%1)").arg(found.why)) + kept;
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
    return QStringLiteral("The settings in %1 could not be read in full: %2. Skybrant starts with the values it "
                          "could read and keeps the lines it could not read as they are.")
        .arg(QDir::toNativeSeparators(path), what);
}

class IniSettingsStore final : public SettingsStore {
public:
    QString get(
        const QString& application, const QString& section, const QString& key, const QString& defaultValue) override
    {
        const IniDocument& doc = loaded(application).doc;
        if (doc.unreadable(section, key)) {
            keepUntilChanged(application, section, key, defaultValue);
        }
        return doc.value(section, key).value_or(defaultValue);
    }

    void save(const QString& application, const QString& section, const QString& key, const QString& value) override
    {
        pending_[application].push_back({section, key, value});
    }

    bool commit(QString& error) override
    {
        bool ok = true;
        auto pending = std::exchange(pending_, {});
        for (auto& entry : pending) {
            Loaded& l = loaded(entry.first);
            std::vector<Value>& values = entry.second;
            // A value read in place of a line that is kept leaves it as it is.
            std::erase_if(values, [&l](const Value& v) {
                const auto kept = l.kept.find({v.section, v.key});
                return kept != l.kept.end() && kept->second == v.text;
            });
            if (values.empty()) {
                continue;
            }
            const QString path = settingsPath(entry.first);
            if (l.told && leftAlone(readSettingsFile(path))) {
                ok = false;  // as the user was told at the start
                continue;
            }
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
                error = QStringLiteral("The settings could not be saved to %1: %2. The file is left as it was.")
                            .arg(QDir::toNativeSeparators(path), *failure);
                ok = false;
                continue;
            }
            for (const Value& v : values) {
                l.kept.erase({v.section, v.key});
            }
        }
        return ok;
    }

    std::optional<QString> readProblem(const QString& application) override
    {
        Loaded& l = loaded(application);
        l.told = l.told || l.leftAlone;
        return l.problem;
    }

    void keepUntilChanged(
        const QString& application, const QString& section, const QString& key, const QString& substitute) override
    {
        loaded(application).kept.insert_or_assign({section, key}, substitute);
    }

private:
    struct Value {
        QString section;
        QString key;
        QString text;
    };
    struct Loaded {
        IniDocument doc;
        std::optional<QString> problem;
        bool leftAlone = false;  // the file could not be read, so no save replaces it
        bool told = false;  // and the user has been told so
        std::map<std::pair<QString, QString>, QString> kept;  // section and key: the value read in its place
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
            l.leftAlone = leftAlone(found);
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

QString notUnderstood(const QString& section, const QString& key, const QString& value, const QString& setting)
{
    const std::string line = quote((key + u'=' + value).toStdString(), kShownBytes);
    return QStringLiteral("The saved line %1 under [%2] is not understood; it stays as it is until you change the %3.")
        .arg(QString::fromStdString(line), section, setting);
}

}  // namespace skybrant::settings
