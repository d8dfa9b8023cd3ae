#include "core/programend.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace orvandel {

namespace {
void endNow(int status) {
    // _Exit skips every destructor and pending event: the program stops
    // exactly here, as the director asked.
    std::fflush(nullptr);
    std::_Exit(status);
}

ProgramEndHandler &handler() {
    static ProgramEndHandler current = endNow;
    return current;
}
} // namespace

void endProgram(int status) {
    handler()(status);
}

ProgramEndHandler setProgramEndHandler(ProgramEndHandler next) {
    return std::exchange(handler(), std::move(next));
}

} // namespace orvandel
