#pragma once

#include <stdexcept>
#include <string>

namespace phrases {

// A failed step; what() is the platform's own wording, shown to the user as is.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const std::string &description) : std::runtime_error(description) {}
};

} // namespace phrases
