#pragma once

// While a Scope lives, the cipher's random bytes come from a fixed stream
// (see FixedRandom.cpp): a new installed database is the same file in every
// build.
namespace fixedrandom {

class Scope {
public:
    Scope();
    ~Scope();
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;
};

} // namespace fixedrandom
