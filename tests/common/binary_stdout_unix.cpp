#include "binary_stdout.h"

// POSIX streams are binary already.
void makeStdoutBinary() {}
