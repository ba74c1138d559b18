#include "LineScan.h"

#include <cstdint>

// GCC and Clang pick AVX2 or SSE2 at run time; MSVC, which has neither the target attribute
// nor the processor test used here, gets SSE2, which every x86-64 processor has.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(_MSC_VER)
#define CIARLA_X86_SIMD 1
#define CIARLA_X86_AVX2 1
#include <immintrin.h>
#elif defined(_MSC_VER) && defined(_M_X64)
#define CIARLA_X86_SIMD 1
#include <emmintrin.h>
#include <intrin.h>
#endif

namespace phrases::scan {
namespace {

constexpr unsigned char CR = '\r';
constexpr unsigned char LF = '\n';

bool isTerminatorAt(const unsigned char *p, std::size_t n, std::size_t j)
{
    return p[j] == LF || (p[j] == CR && (j + 1 == n || p[j + 1] != LF));
}

std::size_t countScalar(const unsigned char *p, std::size_t n, std::size_t from)
{
    std::size_t count = 0;
    for (std::size_t j = from; j < n; ++j)
        count += isTerminatorAt(p, n, j);
    return count;
}

std::size_t skipScalar(const unsigned char *p, std::size_t n, std::size_t from, std::size_t m)
{
    for (std::size_t j = from; j < n; ++j) {
        if (isTerminatorAt(p, n, j) && --m == 0)
            return j + 1;
    }
    return n;
}

std::size_t findScalar(const unsigned char *p, std::size_t n, std::size_t from)
{
    for (std::size_t j = from; j < n; ++j) {
        if (p[j] == CR || p[j] == LF)
            return j;
    }
    return n;
}

#ifdef CIARLA_X86_SIMD

unsigned lowestBit(std::uint32_t mask) // mask != 0
{
#if defined(__GNUC__) || defined(__clang__)
    return static_cast<unsigned>(__builtin_ctz(mask));
#else
    unsigned long at;
    _BitScanForward(&at, mask);
    return static_cast<unsigned>(at);
#endif
}

unsigned bitCount(std::uint32_t mask)
{
#if defined(__GNUC__) || defined(__clang__)
    return static_cast<unsigned>(__builtin_popcount(mask));
#else
    // No popcnt instruction on the oldest x86-64 processors.
    mask = mask - ((mask >> 1) & 0x55555555u);
    mask = (mask & 0x33333333u) + ((mask >> 2) & 0x33333333u);
    return (((mask + (mask >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24;
#endif
}

#endif // CIARLA_X86_SIMD

#ifdef CIARLA_X86_AVX2

// The vector loops look one byte ahead (is this CR followed by LF?), so they stop 33 bytes
// before the end and leave the rest to the scalar code.

__attribute__((target("avx2"))) inline __m256i terminators32(const unsigned char *q)
{
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(q));
    const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(q + 1));
    const __m256i lf = _mm256_set1_epi8(LF);
    const __m256i isLf = _mm256_cmpeq_epi8(v, lf);
    const __m256i loneCr = _mm256_andnot_si256(_mm256_cmpeq_epi8(next, lf),
                                               _mm256_cmpeq_epi8(v, _mm256_set1_epi8(CR)));
    return _mm256_or_si256(isLf, loneCr);
}

__attribute__((target("avx2"))) std::size_t countAvx2(const unsigned char *p, std::size_t n)
{
    std::size_t total = 0;
    std::size_t i = 0;
    const __m256i zero = _mm256_setzero_si256();
    while (i + 33 <= n) {
        // Byte lanes count up to 255 before they are summed into the total.
        __m256i lanes = zero;
        for (int pairs = 0; pairs < 127 && i + 65 <= n; ++pairs, i += 64) {
            lanes = _mm256_sub_epi8(lanes, terminators32(p + i));
            lanes = _mm256_sub_epi8(lanes, terminators32(p + i + 32));
        }
        if (i + 33 <= n) {
            lanes = _mm256_sub_epi8(lanes, terminators32(p + i));
            i += 32;
        }
        const __m256i sums = _mm256_sad_epu8(lanes, zero);
        total += static_cast<std::size_t>(_mm256_extract_epi64(sums, 0))
                 + static_cast<std::size_t>(_mm256_extract_epi64(sums, 1))
                 + static_cast<std::size_t>(_mm256_extract_epi64(sums, 2))
                 + static_cast<std::size_t>(_mm256_extract_epi64(sums, 3));
    }
    return total + countScalar(p, n, i);
}

__attribute__((target("avx2,popcnt,bmi"))) std::size_t skipAvx2(const unsigned char *p, std::size_t n,
                                                                  std::size_t m)
{
    std::size_t i = 0;
    for (; i + 33 <= n; i += 32) {
        auto mask = static_cast<std::uint32_t>(_mm256_movemask_epi8(terminators32(p + i)));
        const auto found = static_cast<std::size_t>(__builtin_popcount(mask));
        if (found < m) {
            m -= found;
            continue;
        }
        while (--m > 0)
            mask &= mask - 1;
        return i + static_cast<std::size_t>(__builtin_ctz(mask)) + 1;
    }
    return skipScalar(p, n, i, m);
}

__attribute__((target("avx2"))) std::size_t findAvx2(const unsigned char *p, std::size_t n)
{
    std::size_t i = 0;
    const __m256i cr = _mm256_set1_epi8(CR);
    const __m256i lf = _mm256_set1_epi8(LF);
    for (; i + 32 <= n; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + i));
        const auto mask = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(v, cr), _mm256_cmpeq_epi8(v, lf))));
        if (mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    return findScalar(p, n, i);
}

#endif // CIARLA_X86_AVX2

#ifdef CIARLA_X86_SIMD

inline __m128i terminators16(const unsigned char *q)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(q));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(q + 1));
    const __m128i lf = _mm_set1_epi8(LF);
    const __m128i isLf = _mm_cmpeq_epi8(v, lf);
    const __m128i loneCr = _mm_andnot_si128(_mm_cmpeq_epi8(next, lf), _mm_cmpeq_epi8(v, _mm_set1_epi8(CR)));
    return _mm_or_si128(isLf, loneCr);
}

std::size_t countSse2(const unsigned char *p, std::size_t n)
{
    std::size_t total = 0;
    std::size_t i = 0;
    const __m128i zero = _mm_setzero_si128();
    while (i + 17 <= n) {
        __m128i lanes = zero;
        for (int round = 0; round < 255 && i + 17 <= n; ++round, i += 16)
            lanes = _mm_sub_epi8(lanes, terminators16(p + i));
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        total += static_cast<std::size_t>(_mm_cvtsi128_si64(sums))
                 + static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
    return total + countScalar(p, n, i);
}

std::size_t skipSse2(const unsigned char *p, std::size_t n, std::size_t m)
{
    std::size_t i = 0;
    for (; i + 17 <= n; i += 16) {
        auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(terminators16(p + i)));
        const auto found = static_cast<std::size_t>(bitCount(mask));
        if (found < m) {
            m -= found;
            continue;
        }
        while (--m > 0)
            mask &= mask - 1;
        return i + static_cast<std::size_t>(lowestBit(mask)) + 1;
    }
    return skipScalar(p, n, i, m);
}

std::size_t findSse2(const unsigned char *p, std::size_t n)
{
    std::size_t i = 0;
    const __m128i cr = _mm_set1_epi8(CR);
    const __m128i lf = _mm_set1_epi8(LF);
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const auto mask = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
        if (mask != 0)
            return i + static_cast<std::size_t>(lowestBit(mask));
    }
    return findScalar(p, n, i);
}

#endif // CIARLA_X86_SIMD

std::size_t countPortable(const unsigned char *p, std::size_t n)
{
    return countScalar(p, n, 0);
}

std::size_t skipPortable(const unsigned char *p, std::size_t n, std::size_t m)
{
    return skipScalar(p, n, 0, m);
}

std::size_t findPortable(const unsigned char *p, std::size_t n)
{
    return findScalar(p, n, 0);
}

} // namespace

// Best first.
std::vector<Kernel> runnableKernels()
{
    std::vector<Kernel> usable;
#ifdef CIARLA_X86_SIMD
#ifdef CIARLA_X86_AVX2
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi"))
        usable.push_back({countAvx2, skipAvx2, findAvx2, "avx2"});
#endif
    usable.push_back({countSse2, skipSse2, findSse2, "sse2"});
#endif
    usable.push_back({countPortable, skipPortable, findPortable, "portable"});
    return usable;
}

namespace {

const Kernel &kernels()
{
    static const Kernel picked = runnableKernels().front();
    return picked;
}

} // namespace

std::size_t countTerminators(const unsigned char *p, std::size_t n)
{
    return kernels().count(p, n);
}

std::size_t skipTerminators(const unsigned char *p, std::size_t n, std::size_t m)
{
    return m == 0 ? 0 : kernels().skip(p, n, m);
}

std::size_t findLineEnd(const unsigned char *p, std::size_t n)
{
    return kernels().find(p, n);
}

const char *kernelName()
{
    return kernels().name;
}

} // namespace phrases::scan
