#pragma once

// A small test harness with no toolkit, so the core's tests build wherever the core does
// and run under Wine too. Each TEST_CASE registers itself; CHECK failures are printed with
// their place and counted; the runner ends with "N passed, N failed".
#include <cstdio>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace check {

struct Case { const char *name; std::function<void()> body; };

std::vector<Case> &cases();
void fail(const char *file, int line, const std::string &what);

struct Registrar { Registrar(const char *name, void (*body)()) { cases().push_back({name, body}); } };

// Bytes or UTF-16 text as ASCII, every other unit as \xHH or \xHHHH, so a failure shows what differs.
template<typename Unit>
std::string show(const std::basic_string<Unit> &text)
{
    std::string shown = sizeof(Unit) == 1 ? "\"" : "u\"";
    for (std::size_t i = 0; i < text.size() && i < 400; ++i) {
        const unsigned unit = std::make_unsigned_t<Unit>(text[i]);
        char hex[8];
        const bool plain = unit >= 0x20 && unit < 0x7F && unit != '\\';
        std::snprintf(hex, sizeof hex, plain ? "%c" : sizeof(Unit) == 1 ? "\\x%02X" : "\\x%04X", unit);
        shown += hex;
    }
    return shown + (text.size() > 400 ? "\"..." : "\"");
}
template<typename T>
std::string show(const T &value)
{
    std::ostringstream out;
    if constexpr (std::is_convertible_v<const T &, std::u16string_view>)
        return show(std::u16string(std::u16string_view(value)));
    else if constexpr (std::is_enum_v<T>)
        out << static_cast<long long>(value);
    else
        out << value;
    return out.str();
}
template<typename T>
std::string show(const std::vector<T> &values)
{
    std::string all = "{";
    for (const T &value : values)
        all += " " + show(value);
    return all + " }";
}

} // namespace check

#define CHECK_CONCAT2(a, b) a##b
#define CHECK_CONCAT(a, b) CHECK_CONCAT2(a, b)
#define TEST_CASE(name)                                                                                      \
    static void CHECK_CONCAT(test_, __LINE__)();                                                              \
    static const check::Registrar CHECK_CONCAT(registrar_, __LINE__)(name, &CHECK_CONCAT(test_, __LINE__));    \
    static void CHECK_CONCAT(test_, __LINE__)()

#define CHECK(condition)                                                                                     \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            check::fail(__FILE__, __LINE__, #condition);                                                     \
    } while (false)

// what names the row of a table, so a failure says which one.
#define CHECK_EQ(actual, expected, what)                                                                     \
    do {                                                                                                     \
        const auto &actual_ = (actual);                                                                      \
        const auto &expected_ = (expected);                                                                  \
        if (!(actual_ == expected_))                                                                         \
            check::fail(__FILE__, __LINE__,                                                                  \
                        std::string(what) + ": " #actual " is " + check::show(actual_) + ", expected "         \
                            + check::show(expected_));                                                       \
    } while (false)
