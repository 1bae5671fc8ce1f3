#include "adif_reader.h"

#include "adif_fields.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace skybrant {

namespace {

// The longest tag and the longest value of a field the program uses (the
// longest of those, a callsign with prefix and suffix, is about 20).
constexpr std::size_t kMaxTag = 64;
constexpr std::size_t kMaxValue = 64;
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
    return a.size() == b.size() &&
        std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
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

void AdifReader::feed(std::string_view bytes, AdifSink& sink)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p != end) {
        // A whole tag, with the data of a field the program uses, taken at
        // once where both lie within these bytes.
        if (const std::size_t field = wholeField(p, static_cast<std::size_t>(end - p), sink); field != 0) {
            p += field;
            offset_ += field;
            continue;
        }
        // Runs of bytes that only a '<' can end are passed over at once.
        const std::size_t run = plainRun(p, static_cast<std::size_t>(end - p));
        p += run;
        offset_ += run;
        if (p == end) {
            break;
        }
        step(*p, sink);
        ++p;
        ++offset_;
    }
}

std::size_t AdifReader::wholeField(const char* p, std::size_t size, AdifSink& sink)
{
    if (state_ != State::Between || *p != '<' || skipping_ || header_) {
        return 0;
    }
    // The tag up to its '>': one at most kMaxTag bytes long, holding no '<'.
    // Tags and values are short: a plain loop beats a call to memchr.
    const std::size_t room = std::min(size - 1, kMaxTag + 1);
    std::size_t tagSize = 0;
    while (tagSize < room && p[tagSize + 1] != '>' && p[tagSize + 1] != '<') {
        ++tagSize;
    }
    if (tagSize == room || p[tagSize + 1] != '>') {
        return 0;
    }
    tag_.assign(p + 1, tagSize);
    tagOffset_ = offset_;
    offset_ += tagSize + 1;
    tagEnded(sink);
    std::size_t taken = tagSize + 2;
    offset_ -= tagSize + 1;
    const std::size_t left = size - taken;
    // The data of a used field: without a '<' no <EOR> can hide in it, and
    // it is the field's value as the bytes one at a time would make it.
    if (state_ == State::Data && value_ != nullptr && dataLeft_ <= left) {
        const auto length = static_cast<std::size_t>(dataLeft_);
        const char* const data = p + taken;
        if (std::none_of(data, data + length, [](char c) { return c == '<'; })) {
            value_->assign(data, std::min(length, kMaxValue + 1));
            dataLeft_ = 0;
            offset_ += taken + length - 1;
            dataEnded();
            offset_ -= taken + length - 1;
            taken += length;
        }
    }
    return taken;
}

std::size_t AdifReader::plainRun(const char* p, std::size_t size)
{
    if (state_ == State::Between && (skipping_ ? eorMatched_ == 0 : !(inRecord_ && afterUsedData_))) {
        const void* const next = std::memchr(p, '<', size);
        return next == nullptr ? size : static_cast<std::size_t>(static_cast<const char*>(next) - p);
    }
    if (state_ == State::Tag) {
        // A tag's bytes up to its end, a '<' or the most a tag may hold.
        const std::size_t room = std::min(size, kMaxTag - tag_.size());
        std::size_t run = 0;
        while (run < room && p[run] != '>' && p[run] != '<') {
            ++run;
        }
        tag_.append(p, run);
        return run;
    }
    if (state_ == State::Data && value_ == nullptr && eorMatched_ == 0) {
        const auto span = static_cast<std::size_t>(std::min<std::uint64_t>(dataLeft_, size));
        const void* const next = header_ ? nullptr : std::memchr(p, '<', span);
        std::size_t run = next == nullptr ? span : static_cast<std::size_t>(static_cast<const char*>(next) - p);
        // The field's last byte is read one at a time, to end it.
        if (run == dataLeft_) {
            --run;
        }
        dataLeft_ -= run;
        return run;
    }
    return 0;
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
    if (sameName(name, "EOH") && colon == std::string::npos) {
        if (header_) {
            header_ = false;
            resume_ = {offset_ + 1, resume_.records};
        }
        return;
    }
    if (sameName(name, "EOR") && colon == std::string::npos) {
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
    const std::string name(fieldName_);
    if (value->size() > kMaxValue) {
        fault(name + " is longer than " + std::to_string(kMaxValue) + " bytes");
        return;
    }
    if (std::find(value->begin(), value->end(), '<') != value->end()) {
        fault(name + " " + adifShown(*value) + " holds '<': its length is longer than its data");
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
