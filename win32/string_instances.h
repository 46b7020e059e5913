// Forced into every C++ file of the Windows build. The library's headers
// declare its strings already instantiated in its archive, and the linker
// keeps that archive's one object for them whole: some 30 KB of members the
// stub never calls. -1 lifts the declaration for strings alone (the setting
// the headers take themselves for checked builds), so only the members used
// are compiled, into the stub's own code.
#pragma once

#include <bits/c++config.h>

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1  // NOLINT(bugprone-macro-parentheses): tested by #if
