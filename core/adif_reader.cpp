#include "adif_reader.h"

#include "adif_fields.h"
#include "adif_limits.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace skybrant {

namespace {

using adif::kMaxTag;
using adif::kMaxValue;
// More than any real field; a bigger length is a damaged tag.
constexpr std::uint64_t kMaxLength = std::uint64_t{1} << 40;
constexpr std::string_view kEor = "<EOR>";

struct UsedField {
    std::string_view name;
    std::string AdifQso::*value;
};

constexpr std::array kUsedFields{
    UsedField{"CALL", &AdifQso::call},
    UsedField{"GRIDSQUARE", &AdifQso::gridsquare},
    UsedField{"LAT", &AdifQso::lat},
    UsedField{"LON", &AdifQso::lon},
    UsedField{"QSO_DATE", &AdifQso::qsoDate},
    UsedField{"TIME_ON", &AdifQso::timeOn},
    UsedField{"BAND", &AdifQso::band},
    UsedField{"MODE", &AdifQso::mode},
    UsedField{"MY_GRIDSQUARE", &AdifQso::myGridsquare},
    UsedField{"MY_LAT", &AdifQso::myLat},
    UsedField{"MY_LON", &AdifQso::myLon},
};

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    // Logs mostly write names as the format does: bytes alike need no folding.
    return a == b || (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return upper(x) == upper(y);
    }));
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void trim(std::string& text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    text.erase(text.begin(), first);
    while (!text.empty() && isBlank(text.back())) {
        text.pop_back();
    }
}

// The length of a tag's "NAME:LENGTH[:TYPE]", or why there is none.
bool tagLength(std::string_view rest, std::uint64_t& length)
{
    const auto end = static_cast<std::size_t>(std::find(rest.begin(), rest.end(), ':') - rest.begin());
    const std::string_view digits = rest.substr(0, end);
    if (!adifDigits(digits) || digits.size() > 13) {
        return false;
    }
    length = 0;
    for (const char c : digits) {
        length = length * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return length <= kMaxLength;
}

}  // namespace

AdifReader::AdifReader(AdifResume from) : offset_(from.offset), resume_(from)
{
    // Only the start of a file can begin with a header.
    if (from.offset != 0) {
        state_ = State::Between;
    }
}

void AdifReader::step(char c, AdifSink& sink)
{
    switch (state_) {
    case State::Start:
        // A file that does not begin with '<' begins with a header.
        header_ = c != '<';
        state_ = State::Between;
        between(c, sink);
        break;
    case State::Between:
        between(c, sink);
        break;
    case State::Tag:
        tagByte(c, sink);
        break;
    case State::Data:
        dataByte(c, sink);
        break;
    }
}

void AdifReader::between(char c, AdifSink& sink)
{
    if (skipping_) {
        // Lengths are not trusted after a fault: the record ends at the
        // first <EOR>, wherever it is.
        const bool next = upper(c) == kEor[eorMatched_];
        eorMatched_ = next ? eorMatched_ + 1 : (c == '<' ? 1 : 0);
        if (eorMatched_ == kEor.size()) {
            recordEnded(sink);
        }
        return;
    }
    if (c == '<') {
        tag_.clear();
        tagOffset_ = offset_;
        state_ = State::Tag;
    } else if (!isBlank(c) && inRecord_ && afterUsedData_) {
        fault("text after the data of " + std::string(fieldName_) + " at byte " + std::to_string(offset_) +
            ": its length is shorter than its data");
    }
}

void AdifReader::tagByte(char c, AdifSink& sink)
{
    if (c == '>') {
        state_ = State::Between;
        tagEnded(sink);
        return;
    }
    if (c == '<' || tag_.size() == kMaxTag) {
        const std::string where = " at byte " + std::to_string(tagOffset_);
        state_ = State::Between;
        if (header_) {
            // Header text may hold anything; its stray '<' is no tag.
            between(c, sink);
        } else if (c == '<') {
            startRecord();
            fault("'<'" + where + " opens no tag");
            eorMatched_ = 1;
        } else {
            startRecord();
            fault("the tag" + where + " is longer than " + std::to_string(kMaxTag) + " bytes");
        }
        return;
    }
    tag_ += c;
}

void AdifReader::tagEnded(AdifSink& sink)
{
    // Short texts: a plain search beats a call to memchr.
    const auto at = std::find(tag_.begin(), tag_.end(), ':');
    const std::size_t colon = at == tag_.end() ? std::string::npos : static_cast<std::size_t>(at - tag_.begin());
    const std::string_view name = std::string_view(tag_).substr(0, colon);
    // <EOH> and <EOR> have no length; a field's tag always has one.
    if (colon == std::string::npos && sameName(name, "EOH")) {
        if (header_) {
            header_ = false;
            resume_ = {offset_ + 1, resume_.records};
        }
        return;
    }
    if (colon == std::string::npos && sameName(name, "EOR")) {
        if (!header_) {
            recordEnded(sink);
        }
        return;
    }
    std::uint64_t length = 0;
    const bool hasLength = colon != std::string::npos && tagLength(std::string_view(tag_).substr(colon + 1), length);
    if (header_) {
        // The header's fields are passed over by their lengths; a tag
        // without one is text.
        if (hasLength) {
            value_ = nullptr;
            dataLeft_ = length;
            state_ = length > 0 ? State::Data : State::Between;
        }
        return;
    }
    startRecord();
    if (name.empty() || colon == std::string::npos) {
        fault("the tag " + tagText() + " has no length");
        return;
    }
    if (!hasLength) {
        fault("the tag " + tagText() + " has no length in bytes after its name");
        return;
    }
    fieldStarted(name, length);
}

std::string AdifReader::tagText() const
{
    return adifShown("<" + tag_ + ">") + " at byte " + std::to_string(tagOffset_);
}

void AdifReader::fieldStarted(std::string_view name, std::uint64_t length)
{
    value_ = nullptr;
    fieldName_ = {};
    for (std::size_t i = 0; i < kUsedFields.size(); ++i) {
        const std::string_view used = kUsedFields.at(i).name;
        // Most names differ in length or first letter: no case folding then.
        if (name.size() != used.size() || upper(name.front()) != used.front() || !sameName(name, used)) {
            continue;
        }
        const auto bit = std::uint32_t{1} << i;
        if ((seen_ & bit) != 0) {
            fault(std::string(kUsedFields.at(i).name) + " comes twice (" + tagText() +
                "): a length before it is wrong or an <EOR> is missing");
            return;
        }
        seen_ |= bit;
        value_ = &(qso_.*kUsedFields.at(i).value);
        fieldName_ = kUsedFields.at(i).name;
        break;
    }
    dataLeft_ = length;
    eorMatched_ = 0;
    if (length == 0) {
        dataEnded();
    } else {
        state_ = State::Data;
    }
}

void AdifReader::dataByte(char c, AdifSink& sink)
{
    if (!header_) {
        const bool next = upper(c) == kEor[eorMatched_];
        eorMatched_ = next ? eorMatched_ + 1 : (c == '<' ? 1 : 0);
        if (eorMatched_ == kEor.size()) {
            // A length that runs past the end of the record: the record
            // ends where its <EOR> is, not where the length says.
            fault("the length of the field before byte " + std::to_string(offset_ + 1 - kEor.size()) +
                " runs into <EOR>");
            recordEnded(sink);
            return;
        }
    }
    if (value_ != nullptr && value_->size() <= kMaxValue) {
        *value_ += c;
    }
    if (--dataLeft_ == 0) {
        dataEnded();
    }
}

void AdifReader::dataEnded()
{
    state_ = State::Between;
    afterUsedData_ = value_ != nullptr;
    if (value_ == nullptr) {
        return;
    }
    std::string* value = std::exchange(value_, nullptr);
    if (value->size() > kMaxValue) {
        fault(std::string(fieldName_) + " is longer than " + std::to_string(kMaxValue) + " bytes");
        return;
    }
    if (std::find(value->begin(), value->end(), '<') != value->end()) {
        fault(std::string(fieldName_) + " " + adifShown(*value) + " holds '<': its length is longer than its data");
        return;
    }
    trim(*value);
    // An <EOR> partly read in the data is whole only if the next bytes are
    // its rest; they are read as any.
    eorMatched_ = 0;
}

void AdifReader::startRecord()
{
    if (inRecord_) {
        return;
    }
    inRecord_ = true;
    for (const UsedField& field : kUsedFields) {
        (qso_.*field.value).clear();
    }
    seen_ = 0;
    qso_.offset = tagOffset_;
}

void AdifReader::fault(std::string what)
{
    // The first fault of a record is the one named; the rest follow from it.
    if (!skipping_) {
        fault_ = std::move(what);
        skipping_ = true;
    }
    state_ = State::Between;
    value_ = nullptr;
}

void AdifReader::recordEnded(AdifSink& sink)
{
    startRecord();
    qso_.record = ++resume_.records;
    if (fault_.empty() && qso_.call.empty()) {
        fault_ = "it has no CALL";
    }
    if (fault_.empty()) {
        fault_ = adifDateTimeFault(qso_);
    }
    if (fault_.empty()) {
        sink.qso(qso_);
    } else {
        sink.problem({qso_.record, qso_.offset, std::exchange(fault_, {})});
    }
    inRecord_ = false;
    skipping_ = false;
    afterUsedData_ = false;
    eorMatched_ = 0;
    value_ = nullptr;
    state_ = State::Between;
    resume_.offset = offset_ + 1;
}

void AdifReader::finish(AdifSink& sink)
{
    if (header_) {
        sink.problem({0, offset_, "the file ends in its header: no <EOH> after it"});
    } else if (inRecord_ || state_ == State::Tag || state_ == State::Data) {
        const std::uint64_t start = inRecord_ ? qso_.offset : tagOffset_;
        sink.problem({resume_.records + 1, start, "the file ends inside the record: no <EOR> after it"});
    }
}

}  // namespace skybrant
