// The rotator's side of the conversation: any bytes a daemon sends, split
// anywhere, give lines within the caps of a reply, limits and positions
// within the protocol's -360..720, and sentences a terminal can show that
// quote only a little of what came; any address is read or refused the
// same way, and one that is read is a host a resolver takes.

#include "fuzz_text.h"
#include "rotator/rotator_address.h"
#include "rotator/rotator_limits.h"
#include "rotator/rotator_protocol.h"
#include "rotator/rotator_range.h"

#include <string>
#include <string_view>

namespace {

using namespace skybrant::rotctl;
using skybrant::fuzz::terminalSafe;

// A sentence quoting hostile text: the fixed words and at most two quoted
// kShownBytes (an address and its port), each byte shown as up to four.
constexpr std::size_t kLongestSentence = 200 + 2 * (4 * kShownBytes + 8);

void checkSentence(const std::string& text)
{
    FUZZ_CHECK(!text.empty());
    FUZZ_CHECK(terminalSafe(text));
    FUZZ_CHECK(text.size() <= kLongestSentence);
}

void checkAddress(std::string_view text)
{
    RotatorAddress address;
    std::string error;
    if (!parseRotatorAddress(text, address, error)) {
        checkSentence(error);
        return;
    }
    FUZZ_CHECK(!address.host.empty() && address.host.size() <= 253);
    FUZZ_CHECK(address.port >= 1);
    checkSentence(shownAddress(address));
    RotatorAddress again;
    FUZZ_CHECK(parseRotatorAddress(rotatorAddressText(address), again, error));
    FUZZ_CHECK(again.host == address.host && again.port == address.port);
}

// The line is what came up to its "\n", less a "\r" before it.
void checkTaken(std::string_view whole, const std::string& line)
{
    FUZZ_CHECK(whole.ends_with('\n'));
    whole.remove_suffix(1);
    if (whole.ends_with('\r')) {
        whole.remove_suffix(1);
    }
    FUZZ_CHECK(whole == line);
    FUZZ_CHECK(line.size() <= kMaxReplyLine);
}

// The line as part of the reply to "+\\dump_state", until that reply ends.
void checkState(const std::string& line, DumpStateReader& reader, DumpStateReader::Status& status)
{
    if (status != DumpStateReader::Status::More) {
        return;
    }
    status = reader.take(line);
    if (status == DumpStateReader::Status::More) {
        return;
    }
    if (status != DumpStateReader::Status::Done) {
        // Limits beyond the protocol are never handed out.
        FUZZ_CHECK(status != DumpStateReader::Status::Beyond || !reader.range());
        checkSentence(reader.problem());
        return;
    }
    const auto range = reader.range();
    FUZZ_CHECK(range && range->min <= range->max);
    FUZZ_CHECK(withinProtocol(range->min) && withinProtocol(range->max));
    if (const auto azimuth = leastTurnAzimuth(288, *range, range->min)) {
        FUZZ_CHECK(*azimuth >= range->min && *azimuth <= range->max);
    }
}

// The line as a reply to "p" and to a turn.
void checkReplies(const std::string& line)
{
    for (const PositionPart part : {PositionPart::Azimuth, PositionPart::Elevation}) {
        const Reading reading = positionReading(line, part, "h:1");
        if (reading.degrees) {
            FUZZ_CHECK(withinProtocol(*reading.degrees) && reading.problem.empty());
        } else {
            checkSentence(reading.problem);
        }
    }
    if (const auto refusal = turnRefusal(line, "h:1", 288)) {
        checkSentence(*refusal);
    } else {
        FUZZ_CHECK(rprtCode(line) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkAddress(bytes);
    // The first byte picks how the rest arrives: in pieces of 1 to 16 bytes.
    if (bytes.empty()) {
        return 0;
    }
    const std::size_t piece = (static_cast<unsigned char>(bytes.front()) % 16) + 1;
    const std::string_view stream = bytes.substr(1);
    ReplyLines replies;
    DumpStateReader reader;
    auto status = DumpStateReader::Status::More;
    std::size_t consumed = 0;  // bytes of stream taken as lines
    std::size_t lines = 0;
    std::string line;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        const std::string_view arrived = stream.substr(0, std::min(stream.size(), at + piece));
        replies.append(stream.substr(at, piece));
        LineStatus got = LineStatus::Complete;
        while ((got = replies.take(line)) == LineStatus::Complete) {
            ++lines;
            const std::size_t next = arrived.size() - replies.rest().size();
            checkTaken(arrived.substr(consumed, next - consumed), line);
            consumed = next;
            checkState(line, reader, status);
            checkReplies(line);
        }
        FUZZ_CHECK(lines <= kMaxReplyLines);
        // Nothing is lost or made up: what is left is the rest of what came.
        FUZZ_CHECK(replies.rest() == arrived.substr(consumed));
        if (got != LineStatus::Incomplete) {
            checkSentence("the rotator at h:1 " + overflowText(got) + ", which is not its protocol");
            FUZZ_CHECK(got != LineStatus::TooManyLines || lines == kMaxReplyLines);
            break;
        }
    }
    return 0;
}
