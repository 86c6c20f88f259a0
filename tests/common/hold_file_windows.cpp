// Holds a file open as another program would (an editor, a spreadsheet): others may read it, but may
// not write, replace or delete it. Prints "held" once the file is open, and lets go when its standard
// input closes. Used by the Windows tests through trouble::HeldOpen.
//   hold_file PATH
#include <cstdio>
#include <windows.h>

int main() {
    // The wide command line: a narrow argv loses every character outside the ANSI code page.
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 2) {
        std::fputs("usage: hold_file PATH\n", stderr);
        return 2;
    }
    const HANDLE file = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open: error %lu\n", ::GetLastError());
        return 1;
    }
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    char buffer[64];
    DWORD got = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
    ::CloseHandle(file);
    return 0;
}
