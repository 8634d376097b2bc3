#pragma once

#include "lookup.h"

// The scan behind scanEntries in more than one build: the plain loop over
// lines, which is the reference, and block scans that classify 64 bytes at
// a time with the vector instructions of the processor. The fastest path the
// processor can run is chosen once; tests may force any path it can run.
namespace dictionary::fastscan {

enum class Path { Scalar, Sse2, Avx2, Avx512 };

const char *pathName(Path path);
bool canRun(Path path);
// The fastest path this processor runs, decided on the first call.
Path bestPath();
ScanResult scan(Path path, QByteArrayView file, QByteArrayView section, QByteArrayView key);

} // namespace dictionary::fastscan
