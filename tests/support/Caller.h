#pragma once
// Checks inside a helper that report the line of the test that called the
// helper, the way Wine's ok_(file, line) does: a helper takes the Caller as its
// first argument, a macro of the helper's name passes HERE, and the helper's
// checks are EXPECT_AT(caller, condition) << what was seen.
#include <gtest/gtest.h>

namespace TestSupport {

struct Caller
{
    const char* file;
    int line;
};

} // namespace TestSupport

#define HERE (::TestSupport::Caller{__FILE__, __LINE__})

// A failed condition is reported at the caller's file and line, with the
// condition's text; stream the values seen after it. The switch keeps an
// `else` after the macro from attaching to the `if` inside.
#define EXPECT_AT(caller, condition)                                                                                   \
    switch (0)                                                                                                         \
    case 0:                                                                                                            \
    default:                                                                                                           \
        if (condition) {                                                                                               \
        } else                                                                                                         \
            ADD_FAILURE_AT((caller).file, (caller).line) << "expected " #condition ": "
