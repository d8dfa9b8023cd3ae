#pragma once

#include <functional>

namespace orvandel {

// Ends the program at once: no further event of any window runs, no window
// gets its close step. Tests replace the handler to observe it.
void endProgram(int status);

using ProgramEndHandler = std::function<void(int status)>;
// Returns the previous handler.
ProgramEndHandler setProgramEndHandler(ProgramEndHandler handler);

} // namespace orvandel
