#pragma once

// Troubles the tests make for real, where the system has them: read-only files and folders, FIFOs,
// device nodes, links, a full disk, failing writes, a file held open by another program, and root's
// override of permissions taken away. Where the system has no such thing (Windows has no FIFOs,
// POSIX no mandatory locks), the maker answers why, and the test skips with that reason.
// One implementation per system, chosen by tests/CMakeLists.txt: system_trouble_unix.cpp and
// system_trouble_windows.cpp.

#include <QString>

#include <memory>
#include <string>

namespace trouble {

// Each answers an empty string when done, else why this system cannot do it.
QString makeReadOnly(const QString& path);   // a file: not to be written; a folder: no new entries
QString makeUnreadable(const QString& path); // a file no one but root may read or write
QString makeFifo(const QString& path);
QString makeNullDevice(const QString& path); // a device node of our own, like /dev/null (needs root)
QString makeLink(const QString& target, const QString& link);

// Undoes makeReadOnly, so that the test's folder can be removed.
void makeWritable(const QString& path);
// Lets a reader blocked opening the FIFO at path go on (it then reads nothing).
void releaseFifoReader(const QString& path);
// The kind, identity and mode of what stands at path, a link not followed: the same before and
// after exactly when nothing was put in its place or changed its mode.
std::string identityOf(const QString& path);

// A trouble in place while the object lives, gone with it.
class Lasting {
public:
    Lasting() = default;
    Lasting(const Lasting&) = delete;
    Lasting& operator=(const Lasting&) = delete;
    virtual ~Lasting();

    bool made() const { return why_.isEmpty(); }
    const QString& why() const { return why_; } // empty when in place

protected:
    QString why_;
};

// A tiny disk mounted over the folder, hiding what it held (a tmpfs; needs the right to mount).
class SmallDisk : public Lasting {
public:
    explicit SmallDisk(const QString& dir);
    ~SmallDisk() override;
    // Takes up every block left with a file called "filler"; answers whether the disk is now full.
    bool fill();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Any write that would make a file grow fails, as a dying disk's would.
class FailingWrites : public Lasting {
public:
    FailingWrites();
    ~FailingWrites() override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The process works with an ordinary user's file access: root's (CI's) override of permission bits
// is dropped. Where no such override exists, nothing to do.
class NoRootOverride : public Lasting {
public:
    NoRootOverride();
    ~NoRootOverride() override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Another program holds the file open, as an editor or a spreadsheet does: others may read it but
// may not write, replace or delete it.
class HeldOpen : public Lasting {
public:
    explicit HeldOpen(const QString& path);
    ~HeldOpen() override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace trouble
