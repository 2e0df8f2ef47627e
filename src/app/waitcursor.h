#pragma once

// The application-wide hourglass for the length of a scope (a connection test waiting), restored on
// every way out.
class CursoreAttesa
{
public:
    CursoreAttesa();
    ~CursoreAttesa();
    CursoreAttesa(const CursoreAttesa&) = delete;
    CursoreAttesa& operator=(const CursoreAttesa&) = delete;
};
