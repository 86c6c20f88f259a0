#pragma once

#include <QString>

namespace sutograf {

// What the About dialog shows of the program's version record.
struct VersionRecord {
    QString title;
    int major = 0;
    int minor = 0;
    int revision = 0;
    QString company;
    QString comments;
};

// The record this build was made with: the project version and the SUTOGRAF_COMPANY build setting.
VersionRecord builtVersionRecord();

} // namespace sutograf
