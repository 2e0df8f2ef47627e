#pragma once

#include <functional>

// Ends the program at once: no further event runs. Every file the program writes is opened and closed
// within one operation, so nothing is left half-open. Tests replace the step to observe it.
[[noreturn]] void terminaProgramma(int status = 0);

// The replacement must not return normally (tests throw from it).
using ProgramTerminator = std::function<void(int status)>;
void setProgramTerminator(ProgramTerminator terminator);
