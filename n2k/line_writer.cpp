#include "n2k/line_writer.h"

#include "n2k/can_id.h"
#include "nmea/checksum.h"

namespace n2k {

namespace {

constexpr char kHexUpper[] = "0123456789ABCDEF";
constexpr char kHexLower[] = "0123456789abcdef";

// Appends to a fixed buffer; once anything did not fit, ok() stays false.
class Out {
public:
    Out(char* out, int capacity) : out_(out), capacity_(capacity) {}

    void put(char c) {
        if (length_ < capacity_)
            out_[length_] = c;
        ++length_;
    }
    void text(const char* s) {
        while (*s != '\0')
            put(*s++);
    }
    void hexByte(std::uint8_t b, const char* digits) {
        put(digits[b >> 4]);
        put(digits[b & 0xF]);
    }
    void hex(std::uint32_t value, int digits) {
        for (int i = digits - 1; i >= 0; --i)
            put(kHexUpper[(value >> (4 * i)) & 0xF]);
    }
    void decimal(std::uint64_t value, int minDigits = 1) {
        char digits[20];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 && n < 20);
        for (int i = n; i < minDigits; ++i)
            put('0');
        while (n > 0)
            put(digits[--n]);
    }
    int finish() const { return length_ <= capacity_ ? length_ : -1; }
    int length() const { return length_; }
    char* begin() const { return out_; }

private:
    char* out_;
    int capacity_;
    int length_ = 0;
};

std::uint64_t nonNegative(std::int64_t timeMs) {
    return timeMs < 0 ? 0 : static_cast<std::uint64_t>(timeMs);
}

// The civil date of a day count since 1970-01-01.
void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

void timeOfDay(Out& o, std::uint64_t ms) {
    ms %= 86400000;
    o.decimal(ms / 3600000, 2);
    o.put(':');
    o.decimal(ms / 60000 % 60, 2);
    o.put(':');
    o.decimal(ms / 1000 % 60, 2);
    o.put('.');
    o.decimal(ms % 1000, 3);
}

void dateTime(Out& o, std::int64_t timeMs) {
    const std::uint64_t ms = nonNegative(timeMs);
    int year = 1970, month = 1, day = 1;
    civilFromDays(static_cast<std::int64_t>(ms / 86400000), year, month, day);
    o.decimal(static_cast<std::uint64_t>(year), 4);
    o.put('-');
    o.decimal(static_cast<std::uint64_t>(month), 2);
    o.put('-');
    o.decimal(static_cast<std::uint64_t>(day), 2);
    o.put('T');
    timeOfDay(o, ms);
    o.put('Z');
}

void plainHead(Out& o, std::int64_t timeMs, const CanAddress& a, int length) {
    dateTime(o, timeMs);
    o.put(',');
    o.decimal(a.priority);
    o.put(',');
    o.decimal(a.pgn);
    o.put(',');
    o.decimal(a.source);
    o.put(',');
    o.decimal(a.destination);
    o.put(',');
    o.decimal(static_cast<std::uint64_t>(length));
}

}  // namespace

int writeYdwgLine(const Frame& frame, char* out, int capacity) {
    Out o(out, capacity);
    timeOfDay(o, nonNegative(frame.timeMs));
    o.text(frame.sentByGateway ? " T " : " R ");
    o.hex(frame.canId, 8);
    for (int i = 0; i < frame.length && i < 8; ++i) {
        o.put(' ');
        o.hexByte(frame.data[i], kHexUpper);
    }
    return o.finish();
}

int writeCandumpLine(const Frame& frame, const char* interfaceName, char* out, int capacity) {
    Out o(out, capacity);
    const std::uint64_t ms = nonNegative(frame.timeMs);
    o.put('(');
    o.decimal(ms / 1000, 10);
    o.put('.');
    o.decimal(ms % 1000 * 1000, 6);
    o.text(") ");
    o.text(interfaceName);
    o.put(' ');
    o.hex(frame.canId, 8);
    o.put('#');
    for (int i = 0; i < frame.length && i < 8; ++i)
        o.hexByte(frame.data[i], kHexUpper);
    return o.finish();
}

int writePlainFrame(const Frame& frame, char* out, int capacity) {
    Out o(out, capacity);
    const int length = frame.length > 8 ? 8 : frame.length;
    plainHead(o, frame.timeMs, decodeCanId(frame.canId), length);
    for (int i = 0; i < length; ++i) {
        o.put(',');
        o.hexByte(frame.data[i], kHexLower);
    }
    return o.finish();
}

int writePlainMessage(const Message& message, char* out, int capacity) {
    Out o(out, capacity);
    CanAddress a;
    a.pgn = message.pgn;
    a.priority = message.priority;
    a.source = message.source;
    a.destination = message.destination;
    plainHead(o, message.timeMs, a, message.length);
    for (int i = 0; i < message.length; ++i) {
        o.put(',');
        o.hexByte(message.data[i], kHexLower);
    }
    return o.finish();
}

int writePcdinLine(const Message& message, char* out, int capacity) {
    Out o(out, capacity);
    o.text("$PCDIN,");
    o.hex(message.pgn, 6);
    o.text(",00000000,");
    o.hex(message.source, 2);
    o.put(',');
    for (int i = 0; i < message.length; ++i)
        o.hexByte(message.data[i], kHexUpper);
    if (o.finish() < 0)
        return -1;
    const auto digits = nmeaz::checksumDigits(nmeaz::checksumOf(
        std::string_view(o.begin() + 1, static_cast<std::size_t>(o.length() - 1))));
    o.put('*');
    o.put(digits[0]);
    o.put(digits[1]);
    return o.finish();
}

int framesOf(const Message& message, bool fastPacket, std::uint8_t sequence, Frame* frames,
             int capacity) {
    CanAddress a;
    a.pgn = message.pgn;
    a.priority = message.priority;
    a.source = message.source;
    a.destination = message.destination;
    const std::uint32_t canId = encodeCanId(a);
    auto start = [&](Frame& f) {
        f.canId = canId;
        f.timeMs = message.timeMs;
        f.sentByGateway = message.sentByGateway;
    };
    if (!fastPacket) {
        if (message.length > 8 || capacity < 1)
            return -1;
        start(frames[0]);
        frames[0].length = static_cast<std::uint8_t>(message.length);
        for (int i = 0; i < message.length; ++i)
            frames[0].data[i] = message.data[i];
        return 1;
    }
    if (message.length > kFastPacketMaxPayload)
        return -1;
    const int count = message.length <= 6 ? 1 : 1 + (message.length - 6 + 6) / 7;
    if (count > capacity)
        return -1;
    int taken = 0;
    for (int n = 0; n < count; ++n) {
        Frame& f = frames[n];
        start(f);
        f.length = 8;
        f.data[0] = static_cast<std::uint8_t>((sequence & 0x7) << 5 | n);
        int at = 1;
        if (n == 0)
            f.data[at++] = static_cast<std::uint8_t>(message.length);
        for (; at < 8; ++at)
            f.data[at] = taken < message.length ? message.data[taken++] : 0xFF;
    }
    return count;
}

}  // namespace n2k
