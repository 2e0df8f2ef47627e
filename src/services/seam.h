#pragma once

#include <functional>

// A step the program does itself unless something replaces it: the window layer (the error report,
// the names of the active window) or a test (the clock, the end of the program, the modal windows).
// An empty replacement means the program's own behaviour. Each Tag type names one seam.
template <typename Tag, typename Signature>
class Seam
{
public:
    static void sostituisci(std::function<Signature> replacement) { holder() = std::move(replacement); }
    static const std::function<Signature>& sostituto() { return holder(); }

private:
    static std::function<Signature>& holder()
    {
        static std::function<Signature> instance;
        return instance;
    }
};
