#include "programexit.h"

#include <cstdio>
#include <cstdlib>

namespace {
ProgramTerminator& terminator()
{
    static ProgramTerminator instance;
    return instance;
}
} // namespace

void setProgramTerminator(ProgramTerminator replacement)
{
    terminator() = std::move(replacement);
}

void terminaProgramma(int status)
{
    if (terminator()) terminator()(status);
    std::fflush(nullptr);
    std::_Exit(status);
}
