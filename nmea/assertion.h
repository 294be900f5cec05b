// Guards against programming errors in the callers of the parser core. Unlike
// assert() it stays active in release builds: a null context is never a condition
// the core can recover from, and a crash report naming the module beats a silent
// null dereference.
#pragma once

namespace nmeaz::detail {

[[noreturn]] void assertionFailed(const char* expression, const char* file, int line);

}  // namespace nmeaz::detail

#define NMEAZ_ASSERT(expression)                                               \
    do {                                                                       \
        if (!(expression))                                                     \
            ::nmeaz::detail::assertionFailed(#expression, __FILE__, __LINE__); \
    } while (0)
