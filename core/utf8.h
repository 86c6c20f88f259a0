#pragma once

#include <string_view>

namespace sutograf {

// Well-formed UTF-8 (RFC 3629): no overlong forms, no surrogates, nothing above U+10FFFF. Text of any
// other encoding (a Windows-1251 file, say) almost never passes: its Cyrillic letters are lone bytes
// of 0xC0-0xFF, which UTF-8 never has without continuation bytes after them.
bool isUtf8(std::string_view s);

} // namespace sutograf
