#pragma once

#include <QString>
#include <stdexcept>

namespace orvandel {

// A failure the program cannot go on from. Thrown where it happens and turned
// into one message box, followed by the end of the program, by the application
// object (see application.h). The text names the error, e.g. "Overflow".
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void throwOverflow();
[[noreturn]] void throwSubscriptOutOfRange();

// The message shown for a failure that ends the program.
QString fatalErrorMessage(const std::exception &error);

} // namespace orvandel
