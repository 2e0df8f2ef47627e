#include "services/programexit.h"

#include "services/seam.h"

#include <cstdio>
#include <cstdlib>

namespace {
using TerminatorSeam = Seam<struct TerminatorTag, void(int)>;
}

void setProgramTerminator(ProgramTerminator replacement)
{
    TerminatorSeam::sostituisci(std::move(replacement));
}

void terminaProgramma(int status)
{
    if (const ProgramTerminator& terminator = TerminatorSeam::sostituto()) terminator(status);
    std::fflush(nullptr);
    std::_Exit(status);
}
