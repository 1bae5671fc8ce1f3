#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skybrant {

// Length of the well-formed UTF-8 sequence at the start of text, or 0 (also
// for an empty text). Overlong forms, surrogates and code points past
// U+10FFFF are not well formed.
std::size_t utf8Length(std::string_view text);

// The code point of a well-formed sequence of utf8Length(sequence) bytes.
char32_t utf8Decode(std::string_view sequence);

// How many characters a reader counts in text: each well-formed sequence is
// one, and so is each byte that is not part of one.
std::size_t characterCount(std::string_view text);

// The one rule for showing text from a user, a file or the network in a
// message, so that it can neither drive a terminal nor hide what it holds:
// printable UTF-8 as it is; control characters (U+0000 to U+001F, U+007F to
// U+009F) and bytes that are not well-formed UTF-8 as \xNN, one per byte in
// capital hex; '"' and '\' behind a backslash, since the text stands between
// double quotes.
void appendShown(std::string_view text, std::string& out);

// The text between double quotes by that rule. A text longer than maxBytes
// shows its first whole characters within maxBytes, then "..." after the
// closing quote, so that a flood cannot fill the screen.
inline constexpr std::size_t kShowAll = std::string_view::npos;
std::string quote(std::string_view text, std::size_t maxBytes = kShowAll);

}  // namespace skybrant
