// skybrant-cli --batch over a recorded corpus: every output line must be
// the recorded one, byte for byte, for every option set, but where a change
// is intended; each such change is one row of kIntendedChanges.
//
// The corpus (tests/data/batch_corpus) holds the input made by
// make_input.py, the option sets, and the output recorded for each.

#include <gtest/gtest.h>

#include <lzma.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = SKYBRANT_BATCH_CORPUS_DIR;
constexpr std::string_view kCountryFile = "/usr/share/hamradio-files/cty.dat";

struct OptionSet {
    std::string name;
    std::vector<std::string> options;

    bool has(std::string_view option) const
    {
        for (const std::string& o : options) {
            if (o == option) {
                return true;
            }
        }
        return false;
    }
    bool json() const { return has("--json"); }
    std::string text() const
    {
        std::string t = "--batch";
        for (const std::string& o : options) {
            t += ' ' + o;
        }
        return t;
    }
};

// One input line and what became of it: the recorded output and today's,
// each empty where there is none (a blank or comment line under --json).
struct Line {
    const OptionSet& set;
    std::uint64_t number;
    std::string_view input;  // without its line end
    std::string_view recorded;  // without the '\n'
    std::string_view actual;
};

// A change of output made on purpose: what it is, which lines it touches,
// and whether a line's actual output is the intended one.
struct IntendedChange {
    std::string_view what;
    bool (*applies)(const Line& line);
    bool (*holds)(const Line& line);
};

bool isJsonPair(std::string_view out)
{
    return out.starts_with("{\"line\":") && out.find(",\"error\":") == std::string_view::npos;
}

// One row for each output that is meant to differ from the recording.
constexpr std::string_view kOldForms =
    "each a locator such as JO01, LAT LON in decimal degrees, or LAD LAM LAS N|S LOD LOM LOS E|W";
constexpr std::string_view kNewForms =
    "each a locator such as JO01, LAT LON in decimal degrees, a position such as 51 30 N 0 7 W, LAD LAM LAS N|S "
    "LOD LOM LOS E|W, or a callsign or prefix such as VK2ABC or @DL";

bool isFailure(std::string_view out)
{
    return out.starts_with("ERROR: ") || (out.starts_with("{\"line\":") && !isJsonPair(out));
}

// The recorded line with one text put in place of another, once.
std::string replaced(std::string_view text, std::string_view old, std::string_view now)
{
    std::string out(text);
    if (const auto at = out.find(old); at != std::string::npos) {
        out.replace(at, old.size(), now);
    }
    return out;
}

// The fields of a CSV line without its last count fields.
std::string_view withoutLastFields(std::string_view line, int count)
{
    for (int i = 0; i < count; ++i) {
        const auto comma = line.rfind(',');
        if (comma == std::string_view::npos) {
            return {};
        }
        line = line.substr(0, comma);
    }
    return line;
}

const std::array kIntendedChanges{
    IntendedChange{"a wrong number of fields names every form a station may take, callsigns among them",
        [](const Line& l) {
            return isFailure(l.recorded) && isFailure(l.actual) && l.recorded.find(kOldForms) != std::string_view::npos;
        },
        [](const Line& l) { return l.actual == replaced(l.recorded, kOldForms, kNewForms); }},
    IntendedChange{"'@' before a word makes it a callsign, and a line refused with one names what is wrong as such",
        [](const Line& l) {
            return isFailure(l.recorded) && isFailure(l.actual) && l.recorded != l.actual &&
                (l.input.starts_with('@') || l.input.find(" @") != std::string_view::npos ||
                    l.input.find("\t@") != std::string_view::npos);
        },
        [](const Line& l) { return l.actual.find(" locator \"@") == std::string_view::npos; }},
    IntendedChange{"a line refused before reads now: a position written with hemisphere letters, or a prefix or call "
                   "the country file lists (VK, TX9)",
        [](const Line& l) { return isFailure(l.recorded) && !isFailure(l.actual); },
        [](const Line& l) { return !l.actual.empty(); }},
    IntendedChange{"sunrise and sunset are searched through the whole UTC date, so short days and nights near the "
                   "polar circles are found",
        [](const Line& l) {
            if (!l.set.has("--sun") || l.recorded == l.actual || isFailure(l.recorded)) {
                return false;
            }
            if (l.set.json()) {
                const auto sun = l.recorded.find(",\"sun_date\":");
                return sun != std::string_view::npos && l.actual.substr(0, sun) == l.recorded.substr(0, sun);
            }
            // The callsign columns follow the sun's: 16 recorded, 20 now.
            const bool entity = l.set.has("--entity");
            return withoutLastFields(l.recorded, (entity ? 16 : 0) + 4) ==
                withoutLastFields(l.actual, (entity ? 20 : 0) + 4);
        },
        [](const Line& l) { return !l.actual.empty(); }},
    IntendedChange{"--entity columns gain whether each entity is one of the WAE list and its DXCC country, after the "
                   "columns of before",
        [](const Line& l) {
            return !l.set.json() && l.set.has("--entity") && !isFailure(l.recorded) && !l.recorded.empty() &&
                l.recorded.front() != '#' && l.actual.starts_with(l.recorded) &&
                l.actual.size() == l.recorded.size() + 4;
        },
        [](const Line& l) { return l.actual.substr(l.recorded.size()) == ",,,,"; }},
    IntendedChange{"each callsign object in JSON says whether its entity is one of the WAE list, and its DXCC country",
        [](const Line& l) {
            return l.set.json() && l.recorded.find("\"about\":") != std::string_view::npos &&
                l.actual.find(",\"wae\":false,\"dxcc_entity\":null}") != std::string_view::npos;
        },
        [](const Line& l) {
            std::string was(l.actual);
            for (auto at = was.find(",\"wae\":false,\"dxcc_entity\":null"); at != std::string::npos;
                 at = was.find(",\"wae\":false,\"dxcc_entity\":null")) {
                was.erase(at, std::string_view(",\"wae\":false,\"dxcc_entity\":null").size());
            }
            return was == l.recorded ||
                (l.set.has("--entity") && was.starts_with(l.recorded.substr(0, l.recorded.size() - 1)));
        }},
    IntendedChange{"the run says once that a locator is also a call of the country file",
        [](const Line& l) {
            return l.set.json() && l.actual.find(",\"note\":\"") != std::string_view::npos &&
                l.actual.find("read as a locator; write @") != std::string_view::npos;
        },
        [](const Line& l) {
            return l.actual.starts_with(l.recorded.substr(0, l.recorded.size() - 1)) ||
                l.actual.find(",\"country_file\":") != std::string_view::npos;
        }},
    IntendedChange{"--batch --json --entity gives each pair the country file it read, as a single pair does",
        [](const Line& l) { return l.set.json() && l.set.has("--entity") && isJsonPair(l.recorded); },
        [](const Line& l) {
            const std::string_view head = l.recorded.substr(0, l.recorded.size() - 1);
            const std::string member = ",\"country_file\":{\"path\":\"" + std::string(kCountryFile) + "\",\"version\":";
            return l.actual.starts_with(head) && l.actual.substr(head.size()).starts_with(member) &&
                l.actual.ends_with("}}");
        }},
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string readXz(const fs::path& path)
{
    const std::string packed = readFile(path);
    lzma_stream stream = LZMA_STREAM_INIT;
    EXPECT_EQ(lzma_stream_decoder(&stream, UINT64_MAX, 0), LZMA_OK);
    std::string text;
    std::array<std::uint8_t, 1 << 16> buffer{};
    stream.next_in = reinterpret_cast<const std::uint8_t*>(packed.data());
    stream.avail_in = packed.size();
    lzma_ret ret = LZMA_OK;
    while (ret == LZMA_OK) {
        stream.next_out = buffer.data();
        stream.avail_out = buffer.size();
        ret = lzma_code(&stream, LZMA_FINISH);
        text.append(reinterpret_cast<const char*>(buffer.data()), buffer.size() - stream.avail_out);
    }
    lzma_end(&stream);
    EXPECT_EQ(ret, LZMA_STREAM_END) << path;
    return text;
}

std::vector<OptionSet> optionSets()
{
    std::vector<OptionSet> sets;
    std::istringstream lines(readFile(kCorpus / "option_sets.txt"));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::istringstream words(line);
        OptionSet set;
        words >> set.name;
        set.options = {"--cty", std::string(kCountryFile)};
        for (std::string word; words >> word;) {
            set.options.push_back(word);
        }
        sets.push_back(std::move(set));
    }
    return sets;
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        lines.push_back(text.substr(0, nl));
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    }
    return lines;
}

// The output lines by input line number (from 1): in order for CSV, by
// their "line" member for JSON.
std::vector<std::string_view> byInputLine(std::string_view output, bool json, std::size_t inputLines)
{
    std::vector<std::string_view> lines = splitLines(output);
    if (!json) {
        lines.insert(lines.begin(), std::string_view());
        return lines;
    }
    std::vector<std::string_view> numbered(inputLines + 1);
    for (const std::string_view line : lines) {
        constexpr std::string_view kHead = "{\"line\":";
        const std::uint64_t n = line.starts_with(kHead) ? std::strtoull(line.data() + kHead.size(), nullptr, 10) : 0;
        if (n == 0 || n > inputLines) {
            numbered.emplace_back(line);  // numbered wrongly: kept beyond the input's lines
        } else {
            numbered[n] = line;
        }
    }
    return numbered;
}

// Runs skybrant-cli with input from a file; its output, or a failure.
std::string runCli(const OptionSet& set, const fs::path& input, const fs::path& dir)
{
    const fs::path outPath = dir / (set.name + ".out");
    std::vector<std::string> args{SKYBRANT_CLI_PATH, "--batch"};
    args.insert(args.end(), set.options.begin(), set.options.end());
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    EXPECT_EQ(spawned, 0) << argv[0];
    if (spawned != 0) {
        return {};
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    // Every set of the corpus meets lines that cannot be used.
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << set.text() << ": status " << status;
    return readFile(outPath);
}

// A line as it can be shown: bytes outside printable ASCII as \xHH, and a
// long line cut short.
std::string shown(std::string_view text)
{
    constexpr std::size_t kMost = 300;
    std::string s;
    for (const char c : text.substr(0, kMost)) {
        if (c >= 0x20 && c < 0x7F) {
            s += c;
        } else {
            std::array<char, 5> hex{};
            std::snprintf(hex.data(), hex.size(), "\\x%02X", static_cast<unsigned char>(c));
            s += hex.data();
        }
    }
    if (text.size() > kMost) {
        s += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return s;
}

// Compares one option set's output with the recording; the differences not
// intended, the first few described in report.
std::size_t differences(const Line& base, const std::vector<std::string_view>& input,
    const std::vector<std::string_view>& recorded, const std::vector<std::string_view>& actual, std::string& report)
{
    constexpr std::size_t kShown = 3;
    std::size_t count = 0;
    const std::size_t lines = std::max(recorded.size(), actual.size());
    for (std::size_t n = 1; n < lines; ++n) {
        const Line line{base.set, n, n <= input.size() ? input[n - 1] : std::string_view(),
            n < recorded.size() ? recorded[n] : std::string_view(), n < actual.size() ? actual[n] : std::string_view()};
        std::string_view broken;
        bool same = line.recorded == line.actual;
        for (const IntendedChange& change : kIntendedChanges) {
            if (change.applies(line)) {
                same = change.holds(line);
                broken = same ? std::string_view() : change.what;
                break;
            }
        }
        if (same || ++count > kShown) {
            continue;
        }
        report += "\n  line " + std::to_string(n) + " of the input: " + shown(line.input) +
            "\n    expected: " + shown(line.recorded) + "\n    actual:   " + shown(line.actual);
        if (!broken.empty()) {
            report += "\n    (the intended change \"" + std::string(broken) + "\" does not hold)";
        }
    }
    return count;
}

std::vector<std::string_view> inputLines(std::string_view input)
{
    std::vector<std::string_view> lines = splitLines(input);
    for (std::string_view& line : lines) {
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
    }
    return lines;
}

TEST(BatchCorpus, OutputIsTheRecordedOneButForTheIntendedChanges)
{
    if (!fs::exists(kCountryFile)) {
        GTEST_SKIP() << "the corpus was recorded with " << kCountryFile << " (Debian package hamradio-files)";
    }
    std::string dirTemplate = (fs::temp_directory_path() / "skybrant-corpus-XXXXXX").string();
    ASSERT_NE(::mkdtemp(dirTemplate.data()), nullptr);
    const fs::path dir = dirTemplate;
    // The program reads no settings of the user's.
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);

    const std::string input = readXz(kCorpus / "input.txt.xz");
    const fs::path inputPath = dir / "input.txt";
    std::ofstream(inputPath, std::ios::binary) << input;
    const std::vector<std::string_view> inputs = inputLines(input);
    ASSERT_GE(inputs.size(), 20000U);

    const std::vector<OptionSet> sets = optionSets();
    ASSERT_GE(sets.size(), 12U);
    for (const OptionSet& set : sets) {
        const std::string recordedText = readXz(kCorpus / (set.name + ".out.xz"));
        const std::string actualText = runCli(set, inputPath, dir);
        const auto recorded = byInputLine(recordedText, set.json(), inputs.size());
        const auto actual = byInputLine(actualText, set.json(), inputs.size());
        std::string report;
        const std::size_t count = differences(Line{set, 0, {}, {}, {}}, inputs, recorded, actual, report);
        EXPECT_EQ(count, 0U) << set.text() << ": " << count << " of " << inputs.size()
                             << " lines differ from the recording, the first:" << report;
    }
    fs::remove_all(dir);
}

}  // namespace
