#include "db_file.h"

#include <array>
#include <cstring>
#include <system_error>

#include "db_file_header.h"

namespace sutograf::dbfile {

namespace fs = std::filesystem;

std::string utf8(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

Kind kindAt(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec); // follows links
    if (ec && st.type() != fs::file_type::not_found) {
        return Kind::Unreadable;
    }
    switch (st.type()) {
    case fs::file_type::not_found:
        return Kind::Missing;
    case fs::file_type::regular:
        return Kind::Regular;
    case fs::file_type::directory:
        return Kind::Folder;
    default:
        return Kind::Other;
    }
}

fs::path nearestExisting(const fs::path& folder) {
    std::error_code ec;
    fs::path p = folder.empty() ? fs::path() : fs::absolute(folder, ec);
    while (!p.empty() && kindAt(p) == Kind::Missing && p != p.parent_path()) {
        p = p.parent_path();
    }
    return p;
}

namespace {

std::uint32_t bigEndian(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

} // namespace

Header parseHeader(const std::array<unsigned char, 100>& b, std::size_t got) {
    static constexpr char kMagic[] = "SQLite format 3"; // with its terminating zero: 16 bytes
    Header h;
    h.sqlite = got == b.size() && std::memcmp(b.data(), kMagic, sizeof kMagic) == 0;
    if (h.sqlite) {
        h.userVersion = bigEndian(&b[60]);
        h.applicationId = bigEndian(&b[68]);
    }
    return h;
}

} // namespace sutograf::dbfile
