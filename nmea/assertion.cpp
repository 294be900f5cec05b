#include "nmea/assertion.h"

#include <cstdio>
#include <cstdlib>

namespace nmeaz::detail {

void assertionFailed(const char* expression, const char* file, int line) {
    std::fprintf(stderr, "nmeaz: assertion \"%s\" failed (%s:%d)\n", expression, file, line);
    std::fflush(stderr);
    std::abort();
}

}  // namespace nmeaz::detail
