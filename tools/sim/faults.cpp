#include "faults.h"

#include "sentence_text.h"
#include "uart_misread.h"

namespace sim {

FaultInjector::FaultInjector(const SimOptions& options, std::uint32_t seed)
    : options_(options), random_(seed) {}

bool FaultInjector::isNoiseByte(unsigned char byte) {
    return byte != '$' && byte != '!' && byte != '\r' && byte != '\n';
}

bool FaultInjector::loseFragment(std::string_view line) {
    int total = 0;
    int number = 0;
    if (options_.dropFragmentEvery == 0 || !vdmFragment(line, total, number) || total < 2) {
        return false;
    }
    if (number == 1) {
        ++multiSentenceMessages_;
        currentTotal_ = total;
        fragmentToLose_ = 0;
        if (multiSentenceMessages_ % static_cast<std::uint64_t>(options_.dropFragmentEvery) == 0) {
            fragmentToLose_ = std::uniform_int_distribution<int>(1, total)(random_);
        }
    }
    return total == currentTotal_ && number == fragmentToLose_;
}

std::string FaultInjector::noise() {
    std::string bytes;
    int count = std::uniform_int_distribution<int>(1, 16)(random_);
    std::uniform_int_distribution<int> byteValue(0, 255);
    while (static_cast<int>(bytes.size()) < count) {
        auto byte = static_cast<unsigned char>(byteValue(random_));
        if (isNoiseByte(byte)) {
            bytes.push_back(static_cast<char>(byte));
        }
    }
    return bytes;
}

Transmission FaultInjector::shape(std::string_view line) {
    Transmission out;
    if (!isSentence(line)) {
        out.pieces.push_back({std::string(line) + "\r\n", false});
        out.lineBytes = line.size() + 2;
        return out;
    }
    if (loseFragment(line)) {
        return out;
    }
    ++sentences_;

    std::string text = due(options_.badChecksumEvery) ? withWrongChecksum(line) : std::string(line);
    text += "\r\n";
    out.lineBytes = text.size();

    if (due(options_.garbageEvery)) {
        out.pieces.push_back({uartMisread(text, otherBaud(options_.baud), options_.baud), false});
    } else if (due(options_.splitEvery)) {
        auto at = std::uniform_int_distribution<std::size_t>(1, text.size() - 1)(random_);
        out.pieces.push_back({text.substr(0, at), false});
        out.pieces.push_back({text.substr(at), true});
    } else {
        out.pieces.push_back({std::move(text), false});
    }

    if (due(options_.noiseEvery)) {
        std::string burst = noise();
        out.pieces.back().bytes += burst;
        out.lineBytes += burst.size();
    }
    return out;
}

}  // namespace sim
