// The batch over input large enough to be shared out among threads: the
// same bytes as one thread writes, line numbers right across chunks.

#include "batch_run.h"
#include "cli/batch.h"
#include "cli/batch_threads.h"
#include "country_file_on_disk.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace skybrant::cli {
namespace {

constexpr std::string_view kCountryFile = R"(England:  14: 27: EU: 52.77:   1.47:   0.0: G:
    G,M,=G4XYZ<51.50/0.13>;
Australia: 30: 59: OC: -23.70: -132.33: -10.0: VK:
    VK;
VER:      05: 08: NA: 37.60:  91.87:   5.0: K:
    =VER20240101;
)";

// Longer than a pair line may be.
constexpr std::size_t kLongLine = std::size_t{70} * 1024;

struct MixedInput {
    std::string text;
    // The lines that give a JSON object: pairs and failed lines.
    std::vector<std::uint64_t> jsonLines;
};

// Every kind of line, over and over: pairs in each form, callsigns,
// comments, blank lines, CR LF ends, bad lines, and now and then a line
// longer than the limit; the last without a line end.
MixedInput mixedInput(std::size_t bytes)
{
    MixedInput in;
    std::uint64_t line = 0;
    while (in.text.size() < bytes) {
        ++line;
        const std::uint64_t i = line;
        bool json = true;
        if (i % 20011 == 0) {
            in.text += "#" + std::string(kLongLine, 'c');
            json = false;
        } else if (i % 20021 == 0) {
            in.text += "JO01" + std::string(kLongLine, ' ') + "FN20";
        } else {
            switch (i % 11) {
            case 0:
                in.text += "# pair " + std::to_string(i);
                json = false;
                break;
            case 1:
                in.text += (i % 2 == 0) ? "" : "  \t";
                json = false;
                break;
            case 2:
                in.text += "bad " + std::to_string(i);
                break;
            case 3:
                in.text += "G4XYZ VK" + std::to_string(i % 10) + "ABC\r";
                break;
            case 4:
                in.text += std::to_string(i % 90) + " 30 0 N " + std::to_string(i % 180) + " 0 0 W JO01";
                break;
            default:
                in.text += std::to_string(static_cast<double>(i % 1800) / 20.0 - 45.0) + " " +
                    std::to_string(static_cast<double>(i % 3600) / 10.0 - 180.0) + " FN20xr";
                break;
            }
        }
        if (json) {
            in.jsonLines.push_back(line);
        }
        in.text += '\n';
    }
    in.text.pop_back();
    return in;
}

// The chunks' line numbers rest on this count: whole steps of sixteen
// bytes, the bytes after them, lanes counting past 255, and bytes that
// differ from '\n' only in their high bit or one low bit.
TEST(BatchLineEnds, CountedAsEveryByteIsLookedAt)
{
    auto pattern = [](std::size_t size, auto byteAt) {
        std::string text(size, 'x');
        for (std::size_t i = 0; i < size; ++i) {
            text[i] = byteAt(i);
        }
        return text;
    };
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"one line end", "\n"},
        {"no line end, one step and a bit", std::string(17, 'a')},
        {"line ends only, past a lane's 255", std::string(255 * 16 * 3 + 7, '\n')},
        {"near misses",
            pattern(4099,
                [](std::size_t i) {
                    const char near[] = {'\x8a', '\x0b', '\x08', '\x1a', '\n', '\x0e', '\xff', '\0'};
                    return near[i % sizeof near];
                })},
        {"a line end every 37 bytes", pattern(100003, [](std::size_t i) { return i % 37 == 5 ? '\n' : 'J'; })},
        {"every byte value", pattern(256 * 20 + 15, [](std::size_t i) { return static_cast<char>(i * 7); })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // From every offset within a step, so each part lands at every
        // place against the steps of sixteen.
        for (std::size_t from = 0; from < std::min<std::size_t>(17, c.text.size() + 1); ++from) {
            for (const std::size_t less : {0, 1, 15, 16}) {
                if (from + less > c.text.size()) {
                    continue;
                }
                const char* first = c.text.data() + from;
                const std::size_t size = c.text.size() - from - less;
                EXPECT_EQ(countLineEnds(first, size), static_cast<std::size_t>(std::count(first, first + size, '\n')))
                    << "from " << from << ", " << size << " bytes";
            }
        }
    }
}

class BatchThreads : public ::testing::Test {
protected:
    const skybrant::testing::CountryFileOnDisk cty_{"skybrant_batch_threads", kCountryFile};
};

TEST_F(BatchThreads, SameBytesAsOneThread)
{
    const MixedInput csvInput = mixedInput(std::size_t{3} << 20);
    // JSON is some 30 times the input: less input gives as many chunks.
    const MixedInput jsonInput = mixedInput(std::size_t{1} << 20);
    struct Case {
        const char* name;
        bool json;
        bool extras;
    };
    const Case cases[] = {
        {"CSV", false, false},
        {"CSV with every column", false, true},
        {"JSON with everything", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MixedInput& in = c.json ? jsonInput : csvInput;
        std::string outs[2];
        BatchOutcome outcomes[2];
        for (const unsigned threads : {1U, 2U}) {
            Callsigns callsigns(cty_.path());
            BatchOptions options;
            options.json = c.json;
            options.callsigns = &callsigns;
            options.entity = c.extras;
            options.threads = threads;
            if (c.extras) {
                options.report = {.longPath = true, .ellipsoid = solveWgs84, .locators = true};
            }
            outs[threads - 1] = runBatchOver(in.text, &outcomes[threads - 1], options);
        }
        EXPECT_EQ(outcomes[0].threadsUsed, 1U);
        EXPECT_EQ(outcomes[1].threadsUsed, 2U);
        ASSERT_EQ(outs[0].size(), outs[1].size());
        const auto differ = std::mismatch(outs[0].begin(), outs[0].end(), outs[1].begin());
        EXPECT_TRUE(differ.first == outs[0].end())
            << "first difference at byte " << (differ.first - outs[0].begin()) << ": "
            << std::string(differ.first, differ.first + std::min<std::ptrdiff_t>(80, outs[0].end() - differ.first));
        EXPECT_EQ(outcomes[0].lines, outcomes[1].lines);
        EXPECT_EQ(outcomes[0].failedLines, outcomes[1].failedLines);
        EXPECT_GT(outcomes[1].failedLines, 0U);
        EXPECT_EQ(outcomes[1].lines, static_cast<std::uint64_t>(std::count(in.text.begin(), in.text.end(), '\n')) + 1);
        if (c.json) {
            // Each object's line number, read back in order.
            std::vector<std::uint64_t> numbers;
            for (std::size_t at = 0; (at = outs[1].find("{\"line\":", at)) != std::string::npos; ++at) {
                numbers.push_back(std::stoull(outs[1].substr(at + 8, 20)));
            }
            EXPECT_TRUE(numbers == in.jsonLines) << numbers.size() << " objects for " << in.jsonLines.size();
        }
    }
}

TEST_F(BatchThreads, AWriteFailureStopsEveryThread)
{
    char folder[] = "/tmp/skybrant_batch_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string node = std::string(folder) + "/full";
    // A private "full" device node (char 1:7), never the machine's /dev.
    ASSERT_EQ(mknod(node.c_str(), S_IFCHR | 0600, makedev(1, 7)), 0) << std::strerror(errno);
    std::FILE* in = std::tmpfile();
    const std::string text = mixedInput(std::size_t{3} << 20).text;
    std::fwrite(text.data(), 1, text.size(), in);
    std::rewind(in);
    std::FILE* full = std::fopen(node.c_str(), "w");
    ASSERT_NE(full, nullptr);
    BatchOptions options;
    options.threads = 2;
    const BatchOutcome outcome = runBatch(in, full, options);
    EXPECT_TRUE(outcome.ioFailed);
    EXPECT_EQ(outcome.ioError, "cannot write the output: No space left on device");
    std::fclose(full);
    std::fclose(in);
    std::remove(node.c_str());
    std::remove(folder);
}

}  // namespace
}  // namespace skybrant::cli
