#include "n2k/gateway_reader.h"

#include <cstring>

namespace n2k {

namespace {

std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

}  // namespace

GatewayReader::GatewayReader(GatewaySink& sink, FastPacketList fastPackets, StreamKind kind,
                             LineFormat forced)
    : sink_(sink),
      kind_(kind),
      forced_(forced),
      reassembler_(fastPackets),
      ngt1_(&GatewayReader::binaryMessage, this),
      ebl_(&GatewayReader::binaryMessage, this) {}

void GatewayReader::binaryMessage(void* user, const Message& message) {
    static_cast<GatewayReader*>(user)->deliver(message);
}

void GatewayReader::deliver(const Message& message) {
    ++delivered_;
    sink_.onMessage(message);
}

const BinaryCounters& GatewayReader::binaryCounters() const {
    return kind_ == StreamKind::Ebl ? ebl_.counters() : ngt1_.counters();
}

ByteOutcomes GatewayReader::byteOutcomes() const {
    ByteOutcomes out = bytes_;
    if (kind_ == StreamKind::Ngt1 || kind_ == StreamKind::Ebl) {
        const BinaryCounters& c = binaryCounters();
        out.binary =
            c.bytesInMessages + c.bytesInOtherCommands + c.bytesInLogRecords + c.bytesGarbage;
    }
    return out;
}

bool streamFromName(std::string_view name, StreamKind& kind, LineFormat& format) {
    if (name == "ngt1" || name == "ebl") {
        kind = name == "ngt1" ? StreamKind::Ngt1 : StreamKind::Ebl;
        return true;
    }
    if (!gatewayFormatFromName(name, format))
        return false;
    kind = StreamKind::Forced;
    return true;
}

// A binary gateway is recognised by the start of one of its frames among the first
// bytes (a serial port may be opened in the middle of a frame); text by a first line
// of printable characters. Until then the bytes are held back, at most kProbeSize.
bool GatewayReader::decideKind(bool atEnd) {
    for (int i = 0; i + 1 < probed_; ++i) {
        const auto a = static_cast<std::uint8_t>(probe_[i]);
        const auto b = static_cast<std::uint8_t>(probe_[i + 1]);
        if (a == 0x1B && b == 0x01) {
            kind_ = StreamKind::Ebl;
            return true;
        }
        if (a == 0x10 && b == 0x02) {
            kind_ = StreamKind::Ngt1;
            return true;
        }
    }
    for (int i = 0; i < probed_; ++i) {
        const auto c = static_cast<std::uint8_t>(probe_[i]);
        if (c == '\n') {
            kind_ = StreamKind::Text;
            return true;
        }
        if (c < 0x20 && c != '\t' && c != '\r')
            break;
    }
    if (atEnd || probed_ == kProbeSize) {
        kind_ = StreamKind::Text;
        return true;
    }
    return false;
}

void GatewayReader::feed(const char* data, std::size_t size) {
    while (kind_ == StreamKind::Auto && size > 0) {
        const std::size_t take =
            size < static_cast<std::size_t>(kProbeSize - probed_) ? size : kProbeSize - probed_;
        std::memcpy(probe_ + probed_, data, take);
        probed_ += static_cast<int>(take);
        data += take;
        size -= take;
        if (decideKind(false))
            feedDecided(probe_, static_cast<std::size_t>(probed_));
    }
    if (size > 0)
        feedDecided(data, size);
}

void GatewayReader::feedDecided(const char* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    if (kind_ == StreamKind::Ngt1)
        ngt1_.feed(bytes, size);
    else if (kind_ == StreamKind::Ebl)
        ebl_.feed(bytes, size);
    else
        feedText(data, size);
}

void GatewayReader::finish() {
    if (kind_ == StreamKind::Auto && probed_ > 0) {
        decideKind(true);
        feedDecided(probe_, static_cast<std::size_t>(probed_));
    }
    if (kind_ == StreamKind::Ngt1)
        ngt1_.finish();
    else if (kind_ == StreamKind::Ebl)
        ebl_.finish();
    else if (length_ > 0 || overlong_)
        endLine();
}

void GatewayReader::feedText(const char* data, std::size_t size) {
    std::size_t at = 0;
    while (at < size) {
        const void* found = std::memchr(data + at, '\n', size - at);
        const std::size_t end =
            found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - data) + 1
                             : size;
        const std::size_t piece = end - at;
        if (overlong_) {
            bytes_.overlong += piece;
        } else {
            const std::size_t room = static_cast<std::size_t>(kMaxLineLength - length_);
            if (piece <= room) {
                std::memcpy(line_ + length_, data + at, piece);
                length_ += static_cast<int>(piece);
            } else {
                overlong_ = true;
                bytes_.overlong += static_cast<std::uint64_t>(length_) + piece;
                length_ = 0;
            }
        }
        at = end;
        if (found != nullptr)
            endLine();
    }
}

void GatewayReader::endLine() {
    const std::uint64_t size = static_cast<std::uint64_t>(length_);
    if (overlong_) {
        overlong_ = false;
        length_ = 0;
        ++lines_.overlong;
        return;
    }
    length_ = 0;
    const std::string_view raw(line_, static_cast<std::size_t>(size));
    const std::string_view line = withoutLineEnd(raw);
    readTextLine(raw, line, classifyLine(line));
}

void GatewayReader::feedLine(std::string_view line, LineFormat format) {
    const bool textBetweenLines =
        (kind_ == StreamKind::Text || kind_ == StreamKind::Forced) && length_ == 0 && !overlong_;
    if (!textBetweenLines || line.empty() || line.back() != '\n' ||
        line.size() > static_cast<std::size_t>(kMaxLineLength)) {
        feed(line.data(), line.size());
        return;
    }
    readTextLine(line, withoutLineEnd(line), format);
}

void GatewayReader::readTextLine(std::string_view raw, std::string_view line, LineFormat format) {
    const std::uint64_t size = raw.size();
    ++lines_.lines[static_cast<int>(format)];
    switch (format) {
        case LineFormat::Nmea0183:
            bytes_.nmea0183 += size;
            sink_.onNmea0183Line(raw);
            return;
        case LineFormat::Comment:
        case LineFormat::Blank:
            bytes_.comments += size;
            return;
        default:
            break;
    }
    if (kind_ == StreamKind::Forced)
        format = forced_;
    if (!isGatewayFormat(format)) {
        bytes_.noise += size;
        return;
    }
    const int f = static_cast<int>(format);
    switch (readLine(format, line, output_)) {
        case LineKind::Frame: {
            ++lines_.frames[f];
            bytes_.n2k += size;
            const Message* m = reassembler_.feed(output_.frame);
            for (int i = 0; i < reassembler_.lastDropCount(); ++i)
                sink_.onPacketDropped(reassembler_.lastDrops()[i]);
            if (m != nullptr)
                deliver(*m);
            return;
        }
        case LineKind::Message:
            ++lines_.messages[f];
            bytes_.n2k += size;
            deliver(output_.message);
            return;
        case LineKind::Status:
            ++lines_.status[f];
            bytes_.status += size;
            return;
        case LineKind::NotThisFormat:
            ++lines_.notThisFormat;
            bytes_.noise += size;
            return;
        case LineKind::Malformed:
            ++lines_.malformed[f];
            bytes_.malformed += size;
            return;
    }
}

}  // namespace n2k
