#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sutograf {

// Well-formed UTF-8 (RFC 3629): no overlong forms, no surrogates, nothing above U+10FFFF. Text of any
// other encoding (a Windows-1251 file, say) almost never passes: its Cyrillic letters are lone bytes
// of 0xC0-0xFF, which UTF-8 never has without continuation bytes after them.
bool isUtf8(std::string_view s);

// s whole when it has at most maxBytes bytes, else its first maxBytes at most, cut at a character
// boundary, and "…": a field of a junk line quoted in a message must not make a message of megabytes.
// Precondition: s is UTF-8.
std::string shortened(std::string_view s, std::size_t maxBytes);

} // namespace sutograf
