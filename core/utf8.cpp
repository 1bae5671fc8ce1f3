#include "utf8.h"

namespace skybrant {

namespace {

std::size_t stepOf(std::string_view text)
{
    const std::size_t length = utf8Length(text);
    return length == 0 ? 1 : length;
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

void appendHex(unsigned char byte, std::string& out)
{
    constexpr std::string_view kHex = "0123456789ABCDEF";
    out += '\\';
    out += 'x';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

}  // namespace

std::size_t utf8Length(std::string_view text)
{
    if (text.empty()) {
        return 0;
    }
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;  // bounds of the second byte, which rule out
    unsigned char high = 0xBF;  // overlong forms, surrogates and past U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

char32_t utf8Decode(std::string_view sequence)
{
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    const std::size_t length = sequence.size() < 5 ? sequence.size() : 4;
    if (length == 0) {
        return 0;
    }
    char32_t c = static_cast<unsigned char>(sequence[0]) & kLeadMask[length];
    for (std::size_t i = 1; i < length; ++i) {
        c = (c << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
    }
    return c;
}

std::size_t characterCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += stepOf(text.substr(i))) {
        ++count;
    }
    return count;
}

void appendShown(std::string_view text, std::string& out)
{
    while (!text.empty()) {
        const std::size_t length = utf8Length(text);
        const std::string_view character = text.substr(0, length == 0 ? 1 : length);
        if (length == 0 || isControl(utf8Decode(character))) {
            for (const char byte : character) {
                appendHex(static_cast<unsigned char>(byte), out);
            }
        } else {
            if (character == "\"" || character == "\\") {
                out += '\\';
            }
            out += character;
        }
        text.remove_prefix(character.size());
    }
}

std::string quote(std::string_view text, std::size_t maxBytes)
{
    std::size_t shown = 0;
    while (shown < text.size()) {
        const std::size_t step = stepOf(text.substr(shown));
        if (step > maxBytes - shown) {
            break;
        }
        shown += step;
    }
    std::string out = "\"";
    appendShown(text.substr(0, shown), out);
    out += '"';
    if (shown < text.size()) {
        out += "...";
    }
    return out;
}

}  // namespace skybrant
