#pragma once

// Standard output passes bytes as they are: on Windows it would turn each LF into CR LF.
// One implementation per system: binary_stdout_unix.cpp, binary_stdout_windows.cpp.
void makeStdoutBinary();
