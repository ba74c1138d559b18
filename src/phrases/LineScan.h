#pragma once

#include <cstddef>
#include <vector>

// Byte-level kernels for phrase files. A line ends at LF, at CR LF or at a lone CR.
namespace phrases::scan {

// Number of line terminators in [p, p + n). A CR as the very last byte counts as a lone CR,
// so callers hold back a trailing CR until they know the byte after it.
std::size_t countTerminators(const unsigned char *p, std::size_t n);

// Offset just past the m-th terminator (m >= 1) in [p, p + n), or n when there are fewer;
// a trailing CR is taken as a lone CR, as above.
std::size_t skipTerminators(const unsigned char *p, std::size_t n, std::size_t m);

// Offset of the first CR or LF in [p, p + n), or n when there is none.
std::size_t findLineEnd(const unsigned char *p, std::size_t n);

// Name of the kernel picked for this processor, for the benchmark's report.
const char *kernelName();

// Every kernel this build has that this processor can run, the picked one among them: the
// tests hold each to the same answers, as another processor would pick another.
struct Kernel
{
    std::size_t (*count)(const unsigned char *, std::size_t);
    std::size_t (*skip)(const unsigned char *, std::size_t, std::size_t);
    std::size_t (*find)(const unsigned char *, std::size_t);
    const char *name;
};
std::vector<Kernel> runnableKernels();

} // namespace phrases::scan
