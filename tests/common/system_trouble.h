#pragma once

// What the tests ask of the operating system where POSIX and Windows differ: troubles made for real
// (read-only files and folders, FIFOs, device nodes, links, a full disk, failing writes, a file held
// open, root's override of permissions taken away), a copy of the running test, and binary standard
// output. Where the system has no such thing (Windows has no FIFOs, POSIX no mandatory locks), the maker
// answers why, and the test skips with that reason. One implementation per system, chosen by
// tests/CMakeLists.txt: system_trouble_unix.cpp and system_trouble_windows.cpp.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace trouble {

using Path = std::filesystem::path;

// Each answers an empty string when done, else why this system cannot do it.
std::string makeReadOnly(const Path& p);   // a file: not to be written; a folder: no new entries
std::string makeUnreadable(const Path& p); // a file its owner may neither read nor write
std::string makeFifo(const Path& p);
std::string makeNullDevice(const Path& p); // a device node of our own, like /dev/null (needs root)
std::string makeLink(const Path& target, const Path& link);

// Undoes makeReadOnly and makeUnreadable, so that the test's folder can be removed.
void makeWritable(const Path& p);
// Lets a reader blocked opening the FIFO at p go on (it then reads nothing).
void releaseFifoReader(const Path& p);
// The kind, identity and mode (or attributes) of what stands at p, a link not followed: the same
// before and after exactly when nothing was put in its place or changed its mode.
std::string identityOf(const Path& p);
// Standard output passes bytes as they are: on Windows it would turn each LF into CR LF.
void makeStdoutBinary();

// A trouble in place while the object (or a copy of it) lives, undone when the last one goes.
class Lasting {
public:
    explicit Lasting(std::string why, const std::function<void()>& undo = {})
        : why_(std::move(why)),
          undo_(undo ? std::shared_ptr<void>(nullptr, [undo](void*) { undo(); }) : nullptr) {}

    bool made() const { return why_.empty(); }
    const std::string& why() const { return why_; } // empty when in place

private:
    std::string why_;
    std::shared_ptr<void> undo_;
};

// A tiny disk of kib KiB mounted over the folder, hiding what it held (needs the right to mount).
Lasting smallDisk(const Path& dir, int kib = 16);
// Takes up every block left on the small disk at dir with a file called "filler"; answers whether the
// disk is now full.
bool fillDisk(const Path& dir);
// Any write that would make a file grow fails, as a dying disk's would.
Lasting failingWrites();
// The process works with an ordinary user's file access: root's (CI's) override of permission bits is
// dropped. Where no such override exists, nothing to do.
Lasting noRootOverride();
// The file held open as an editor or a spreadsheet holds it: others may read it, but may not write,
// replace or delete it.
Lasting heldOpen(const Path& file);

// Work run in a copy of this process, which reports numbers back as it goes.
class Child {
public:
    using Report = std::function<void(std::int64_t)>;
    explicit Child(const std::function<void(const Report&)>& work);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool made() const { return why_.empty(); }
    const std::string& why() const { return why_; } // empty when it runs
    // Everything it reports until it ends, killed once killAfter numbers came (0: never), and how it
    // ended: "exit 0" when its work ran to the end, "exit N" when it ended with N, "killed".
    std::pair<std::vector<std::int64_t>, std::string> wait(std::size_t killAfter = 0);

private:
    std::string why_;
    int pid_ = -1, in_ = -1;
};

} // namespace trouble
