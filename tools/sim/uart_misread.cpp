#include "uart_misread.h"

#include <cstdint>

namespace sim {

std::string uartMisread(std::string_view bytes, int sendBaud, int receiveBaud) {
    // Integer time: a sent bit lasts receiveBaud ticks, a received bit sendBaud ticks.
    const std::int64_t sentBit = receiveBaud;
    const std::int64_t receivedBit = sendBaud;
    const std::int64_t sentBits = static_cast<std::int64_t>(bytes.size()) * 10;
    const std::int64_t end = sentBits * sentBit;

    auto level = [&](std::int64_t t) -> bool {
        std::int64_t bit = t / sentBit;
        if (t < 0 || bit >= sentBits) {
            return true;  // idle
        }
        std::int64_t inFrame = bit % 10;
        if (inFrame == 0) {
            return false;  // start bit
        }
        if (inFrame == 9) {
            return true;  // stop bit
        }
        auto byte = static_cast<unsigned char>(bytes[static_cast<std::size_t>(bit / 10)]);
        return ((byte >> (inFrame - 1)) & 1) != 0;
    };

    std::string heard;
    const std::int64_t step = receivedBit / 16 > 0 ? receivedBit / 16 : 1;
    bool armed = true;  // the line idled high before the talk began
    for (std::int64_t t = 0; t < end + 2 * receivedBit;) {
        if (level(t)) {
            armed = true;
            t += step;
            continue;
        }
        if (!armed) {
            t += step;
            continue;
        }
        const std::int64_t middle = t + receivedBit / 2;
        if (level(middle)) {
            t += step;  // a glitch, not a start bit
            continue;
        }
        unsigned value = 0;
        for (int i = 0; i < 8; ++i) {
            if (level(middle + (i + 1) * receivedBit)) {
                value |= 1u << i;
            }
        }
        const std::int64_t stop = middle + 9 * receivedBit;
        heard.push_back(level(stop) ? static_cast<char>(value) : '\0');
        armed = level(stop);
        t = stop;
    }
    return heard;
}

}  // namespace sim
