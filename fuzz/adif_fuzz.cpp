// ADIF logs: any bytes read whole, in two pieces or a byte at a time give
// the same QSOs and the same faults, in record order, each within the file;
// a reading that resumes where the first ended adds nothing to a file that
// did not grow.

#include "core/adif_reader.h"
#include "fuzz_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

struct Collect : skybrant::AdifSink {
    void qso(const skybrant::AdifQso& qso) override
    {
        std::string line = "Q" + std::to_string(qso.record) + ":" + std::to_string(qso.offset);
        for (const std::string* field : {&qso.call, &qso.gridsquare, &qso.lat, &qso.lon, &qso.qsoDate, &qso.timeOn,
                 &qso.band, &qso.mode, &qso.myGridsquare, &qso.myLat, &qso.myLon}) {
            line += ":" + *field;
        }
        seen.push_back(line);
    }
    void problem(const skybrant::AdifProblem& problem) override
    {
        seen.push_back(
            "P" + std::to_string(problem.record) + ":" + std::to_string(problem.offset) + ":" + problem.what);
    }
    std::vector<std::string> seen;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view log(reinterpret_cast<const char*>(data), size);
    Collect whole;
    skybrant::AdifReader one;
    one.feed(log, whole);
    const skybrant::AdifResume resume = one.resume();
    one.finish(whole);
    FUZZ_CHECK(resume.offset <= size);

    Collect pieces;
    skybrant::AdifReader two;
    const std::size_t split = size == 0 ? 0 : data[0] % size;
    two.feed(log.substr(0, split), pieces);
    two.feed(log.substr(split), pieces);
    two.finish(pieces);
    FUZZ_CHECK(whole.seen == pieces.seen);

    // A byte at a time, no tag is ever whole in what is given: the same.
    Collect bytes;
    skybrant::AdifReader three;
    for (std::size_t at = 0; at < size; ++at) {
        three.feed(log.substr(at, 1), bytes);
    }
    three.finish(bytes);
    FUZZ_CHECK(whole.seen == bytes.seen);

    // From where the first reading ended, the rest holds no whole record.
    Collect rest;
    skybrant::AdifReader again(resume);
    again.feed(log.substr(resume.offset), rest);
    FUZZ_CHECK(again.resume().records == resume.records);
    return 0;
}
