#include "utf8.h"

namespace sutograf {

bool isUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        const unsigned c = *p++;
        if (c < 0x80) {
            continue;
        }
        int more = 0;
        unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (end - p < more || p[0] < lo || p[0] > hi) {
            return false;
        }
        for (int i = 1; i < more; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
        }
        p += more;
    }
    return true;
}

std::string shortened(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) {
        return std::string(s);
    }
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(s.substr(0, cut)) + "…";
}

} // namespace sutograf
