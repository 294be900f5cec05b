// The conformance checker on hostile lines: any bytes, cut into lines at LF as
// --lint cuts them, through one checker so the GSV and AIS group state is exercised.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "conformance/checker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    conformance::Checker checker(size > 0 ? static_cast<conformance::Version>(data[0] % 5)
                                          : conformance::Version::Any);
    conformance::Findings findings;
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t end = input.find('\n', start);
        end = end == std::string_view::npos ? input.size() : end + 1;
        checker.check(input.substr(start, end - start), findings);
        start = end;
    }
    return 0;
}
