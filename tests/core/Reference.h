#pragma once

// Phrase files read by the rule, written plainly and slowly, to hold the engine to. No
// toolkit and no part of the program, so the fuzzer uses it too.
#include <string>
#include <vector>

// LF, CR LF and a lone CR end a line; a leading UTF-8 byte order mark is no part of it.
std::vector<std::string> referenceLines(const std::string &content);

// UTF-8 when all of the line is (no overlong forms, no surrogates, nothing past U+10FFFF,
// nothing cut short), else Windows-1252. utf8 tells which.
std::u16string referenceDecode(const std::string &line, bool *utf8 = nullptr);

// Each "/n", left to right, becomes CR LF.
std::u16string referenceExpand(const std::u16string &text);

inline std::u16string referencePhrase(const std::string &line) { return referenceExpand(referenceDecode(line)); }

extern const char16_t Windows1252From80[32]; // 0x80-0x9F; from 0xA0 each byte is its own code point
