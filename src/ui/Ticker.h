#pragma once

#include <string>

namespace ticker {

// One step of the credits: the first character goes to the end. Empty and one-character
// texts stay as they are.
std::u16string rotateLeft(const std::u16string &text);

} // namespace ticker
