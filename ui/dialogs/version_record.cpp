#include "version_record.h"

#include "build_info.h"

namespace sutograf {

VersionRecord builtVersionRecord() {
    return {QStringLiteral("Сутограф"),
            SUTOGRAF_VERSION_MAJOR,
            SUTOGRAF_VERSION_MINOR,
            SUTOGRAF_VERSION_REVISION,
            QString::fromUtf8(SUTOGRAF_COMPANY_UTF8),
            QString::fromUtf8(SUTOGRAF_COMMENTS_UTF8)};
}

} // namespace sutograf
