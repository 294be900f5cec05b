// Reading a member of a decoded record by the offset its layout gives. Records are
// reached through void pointers from the layout tables; memcpy keeps the read free of
// alignment and aliasing assumptions.
#pragma once

#include <cstddef>
#include <cstring>

namespace present {

template <typename T>
T readMember(const void* record, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
    return value;
}

}  // namespace present
