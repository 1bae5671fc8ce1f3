#pragma once

// Turns fuzzer bytes into the texts the program meets.

#include "core/utf8.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace skybrant::fuzz {

using skybrant::utf8Decode;
using skybrant::utf8Length;

// Bytes read as UTF-8 by the program's own rule (core/utf8.h), as a box's
// text: each byte that is not part of a well-formed sequence becomes U+FFFD.
inline std::u16string fromUtf8(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::u16string out;
    std::size_t i = 0;
    while (i < size) {
        const std::size_t length = utf8Length(bytes.substr(i));
        char32_t cp = length == 0 ? U'\uFFFD' : utf8Decode(bytes.substr(i, length));
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += length == 0 ? 1 : length;
    }
    return out;
}

// Well-formed UTF-8 holding no control character: what a message or a JSON
// line may hand to a terminal.
inline bool terminalSafe(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = utf8Length(s.substr(i));
        if (length == 0) {
            return false;
        }
        const char32_t cp = utf8Decode(s.substr(i, length));
        if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {
            return false;
        }
        i += length;
    }
    return true;
}

// Bytes read as Latin-1: every byte one character.
inline std::u16string fromLatin1(const std::uint8_t* data, std::size_t size)
{
    return {data, data + size};
}

[[noreturn]] inline void fail(const char* what)
{
    __builtin_trap();
    (void)what;
}

#define FUZZ_CHECK(condition) ((condition) ? (void)0 : ::skybrant::fuzz::fail(#condition))

}  // namespace skybrant::fuzz
