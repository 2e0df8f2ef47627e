#include "services/clock.h"

#include "services/seam.h"

namespace {
using ClockSeam = Seam<struct ClockTag, QDateTime()>;
}

void setClock(ClockSource replacement)
{
    ClockSeam::sostituisci(std::move(replacement));
}

QDateTime adesso()
{
    const ClockSource& source = ClockSeam::sostituto();
    return source ? source() : QDateTime::currentDateTime();
}
