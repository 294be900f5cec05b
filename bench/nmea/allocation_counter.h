// Counts every heap allocation of the process (the global operator new is replaced),
// so a benchmark can show that the work it measures allocates nothing.
#pragma once

namespace nmeaz::bench {

long allocationCount();

}  // namespace nmeaz::bench
