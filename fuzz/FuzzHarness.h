#pragma once

#include "ProgramDir.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

// What a target needs around the code it feeds, made once per fuzzing process: the
// application object and a private program folder.
struct FuzzHarness {
    int argc = 1;
    char* argv[2];
    QCoreApplication app;
    QTemporaryDir dir;

    // `program` names the target; a literal, it outlives the harness.
    explicit FuzzHarness(const char* program)
        : argv{const_cast<char*>(program), nullptr}, app(argc, argv)
    {
        ProgramDir::set(dir.path());
    }
};

// A promise of the code under test was broken: say which, and stop for the fuzzer.
[[noreturn]] inline void fuzzFail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}
