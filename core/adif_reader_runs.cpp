// The reader's runs: bytes taken many at a time where no single byte can
// change what is read (the byte-at-a-time steps are in adif_reader.cpp).
#include "adif_limits.h"
#include "adif_reader.h"

#include <algorithm>
#include <cstring>

namespace skybrant {

using adif::kMaxTag;
using adif::kMaxValue;

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
        // A run that ends at a '<' may end at a whole field.
        if (run != 0) {
            continue;
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

}  // namespace skybrant
