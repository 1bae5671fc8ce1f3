#pragma once

// Turns fuzzer bytes into the texts the program meets.

#include <cstddef>
#include <cstdint>
#include <string>

namespace skybrant::fuzz {

// Bytes read as UTF-8 (invalid sequences become U+FFFD), as a box's text.
inline std::u16string fromUtf8(const std::uint8_t* data, std::size_t size)
{
    std::u16string out;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t b = data[i];
        const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        char32_t cp = extra == 0 ? b : extra == 1 ? b & 0x1F : extra == 2 ? b & 0x0F : b & 0x07;
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < size;
        for (int k = 1; ok && k <= extra; ++k) {
            const std::uint8_t c = data[i + static_cast<std::size_t>(k)];
            ok = (c >> 6) == 2;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
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
