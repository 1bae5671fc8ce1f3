#pragma once

// Turns fuzzer bytes into the texts the program meets.

#include <cstddef>
#include <cstdint>
#include <string>

namespace skybrant::fuzz {

// The length of the UTF-8 sequence a lead byte opens, 0 for a byte that
// opens none.
inline std::size_t sequenceLength(std::uint8_t lead)
{
    if (lead < 0x80) {
        return 1;
    }
    if ((lead >> 5) == 6) {
        return 2;
    }
    if ((lead >> 4) == 14) {
        return 3;
    }
    return (lead >> 3) == 30 ? 4 : 0;
}

// The code point at data[i], or U+FFFD with a length of 1 where the bytes
// are not a valid sequence.
inline char32_t decodeAt(const std::uint8_t* data, std::size_t size, std::size_t i, std::size_t& length)
{
    length = sequenceLength(data[i]);
    if (length == 0 || i + length > size) {
        length = 1;
        return U'\uFFFD';
    }
    static constexpr std::uint8_t kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t cp = data[i] & kLeadMask[length];
    for (std::size_t k = 1; k < length; ++k) {
        if ((data[i + k] >> 6) != 2) {
            length = 1;
            return U'\uFFFD';
        }
        cp = (cp << 6) | (data[i + k] & 0x3F);
    }
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        length = 1;
        return U'\uFFFD';
    }
    return cp;
}

// Bytes read as UTF-8 (invalid sequences become U+FFFD), as a box's text.
inline std::u16string fromUtf8(const std::uint8_t* data, std::size_t size)
{
    std::u16string out;
    std::size_t i = 0;
    while (i < size) {
        std::size_t length = 0;
        char32_t cp = decodeAt(data, size, i, length);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += length;
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
