#pragma once

// What the safe writer asks of the operating system where POSIX and Windows differ. One
// implementation per system, chosen by settings/CMakeLists.txt: safe_file_unix.cpp and
// safe_file_windows.cpp (which also hold readFile, declared in safe_file.h).

#include <QFileDevice>

#include "safe_file.h"

class QString;

namespace sutograf::systemfiles {

// Forgets the cause of an earlier failure, before a step whose failure will be asked about.
void clearFailure();

// Why the step just failed, read right after it: from errno on POSIX, from GetLastError() on
// Windows, else from what Qt says (qtError). path is the file being written: some causes only a
// second look at it tells (on Windows, a file held open by another program).
WriteFailure lastFailure(QFileDevice::FileError qtError, const QString& path);

// What Qt's own error code tells, where the system's says nothing more (defined in safe_file.cpp).
WriteFailure failureOfQtError(QFileDevice::FileError qtError);

// Whether path names links that lead round in a circle, and so nothing.
bool linksInACircle(const QString& path);

// NoPermission when the regular file at path (links followed) may not be replaced by this user:
// its mode bits or ACL on POSIX, its read-only attribute on Windows. None otherwise.
WriteFailure refusedRegularFile(const QString& path);

} // namespace sutograf::systemfiles
