#pragma once

#include <stdexcept>
#include <string>

namespace morlund {

// Raised by lookups with an index outside a registry or an array.
class InvalidArgument : public std::invalid_argument {
public:
    explicit InvalidArgument(const std::string& what) : std::invalid_argument(what) {}
};

}  // namespace morlund
