#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace sutograf {

// Why a file could not be read. Each cause but Missing has its own wording for the user.
enum class ReadFailure {
    None,
    Missing,        // nothing at all at that path
    NoPermission,   // the file, or a folder on its way, may not be read
    FolderInTheWay, // a folder stands where the file should be
    NotAFile,       // a device or a FIFO, or a link to one
    BrokenLink,     // a link to nothing
    LinkLoop,       // links that lead round in a circle
    InUse,          // another program holds the file open and lets no one read it (Windows)
    Other,          // anything else the system reports
};

struct ReadResult {
    QByteArray bytes;
    ReadFailure failure = ReadFailure::None;
    bool ok() const { return failure == ReadFailure::None; }
};

// The bytes of a regular file, at most maxBytes of them (the rest is not read), or why there are none.
// A FIFO, a device or a folder is never opened for reading, so a named pipe in place of a settings
// file cannot hang the program; a link is followed to a regular file only.
ReadResult readFile(const QString& path, qint64 maxBytes);

// The same, when the cause does not matter (Opt.txt: any fault means the first watch).
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// The cause in a few Russian words for the window, e.g. "нет права чтения"; empty for None.
QString failureText(ReadFailure failure);

// Why a file could not be written. Each cause has its own wording for the user.
enum class WriteFailure {
    None,
    NoPlace,        // no folder to write to: the program's is read-only and there is no home folder
    NoFolder,       // the folder named does not exist (and was not to be made)
    NoPermission,   // the folder or the file may not be written
    ReadOnlyDisk,   // the whole disk is mounted read-only or write-protected
    FolderInTheWay, // a folder stands where the file should be
    NotAFile,       // a device, a FIFO or a link to one stands where the file should be
    DiskFull,       // no space left (or the user's quota is used up)
    InUse,          // another program holds the file open and lets no one replace it (Windows)
    Other,          // anything else the system reports
};

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    bool ok() const { return failure == WriteFailure::None; }
};

enum class MissingFolders { Create, Refuse };

// Replaces path with exactly these bytes, or leaves everything as it was. The new content goes to a
// temporary file beside the target, and only when every byte has reached it is it renamed over the
// old file, so a full disk, a crash or a kill in the middle leaves the old file whole. Missing
// folders are created (the program's own settings folder) or refused (a folder the user typed). A link is
// followed when it leads to a regular file (the link stays, its target is replaced); anything else that is
// not a regular file is refused untouched. The new file keeps the old one's mode but is always readable and
// writable by its owner, so that a save never leaves behind a file the next start cannot read.
WriteResult writeFileSafely(const QString& path, const QByteArray& bytes,
                            MissingFolders folders = MissingFolders::Create);

// The cause in a few Russian words for a message box, e.g. "на диске нет места".
QString failureText(WriteFailure failure);

} // namespace sutograf
