// The identifier arithmetic is constexpr in the header; this unit keeps the library
// non-empty until the readers and the decoder join it.
#include "n2k/can_id.h"
