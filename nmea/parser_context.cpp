#include "nmea/parser_context.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "nmea/assertion.h"

namespace nmeaz {

namespace {

inline bool isAddressCharacter(unsigned char c) {
    return static_cast<unsigned>(c - '0') < 10u || static_cast<unsigned>((c | 0x20) - 'a') < 26u;
}

// Value of a hexadecimal digit of either case, or -1.
inline int hexValue(unsigned char c) {
    if (static_cast<unsigned>(c - '0') < 10u)
        return c - '0';
    if (static_cast<unsigned>((c | 0x20) - 'a') < 6u)
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// Value of an upper-case hexadecimal digit, or -1: the checksum as the format writes it.
inline int upperHexValue(unsigned char c) {
    if (static_cast<unsigned>(c - '0') < 10u)
        return c - '0';
    if (static_cast<unsigned>(c - 'A') < 6u)
        return c - 'A' + 10;
    return -1;
}

inline bool isLineEnd(unsigned char c) {
    return c == '\r' || c == '\n';
}

inline bool isStrict(const ParserContext* context) {
    return (context->framing & kStrictFraming) != 0;
}

// Counts the bytes [from, to) that went by outside any sentence: the rest of a line
// abandoned at the size limit belongs to that sentence; then line ends and noise.
void countOutside(ParserContext* context, const unsigned char* from, const unsigned char* to) {
    if (from == to) {
        return;
    }
    LineCounters* counters = context->counters;
    if (context->inOverlongLine != 0) {
        const void* lf = std::memchr(from, '\n', static_cast<std::size_t>(to - from));
        const unsigned char* tailEnd =
            lf == nullptr ? to : static_cast<const unsigned char*>(lf) + 1;
        if (counters != nullptr) {
            counters->tooLongBytes += static_cast<std::uint64_t>(tailEnd - from);
        }
        if (lf == nullptr) {
            return;
        }
        context->inOverlongLine = 0;
        context->midLine = 0;
        from = tailEnd;
        if (from == to) {
            return;
        }
    }
    captureOutside(context->tag, from, to);
    if (counters != nullptr) {
        std::uint64_t noise = 0;
        for (const unsigned char* p = from; p != to; ++p) {
            noise += !isLineEnd(*p);
        }
        counters->noiseBytes += noise;
        counters->lineEndBytes += static_cast<std::uint64_t>(to - from) - noise;
    }
    context->midLine = to[-1] != '\n';
}

// Outside a sentence every byte but a start character is dropped unseen; with comment
// lines a '#' is looked at too.
inline const unsigned char* skipToStart(const unsigned char* p, const unsigned char* end,
                                        bool hashToo) {
    if (hashToo) {
        while (p != end && *p != '$' && *p != '!' && *p != '#')
            ++p;
    } else {
        while (p != end && *p != '$' && *p != '!')
            ++p;
    }
    return p;
}

// Takes the bytes from `p` that lie outside any sentence, counting them, up to the
// next start character that begins a sentence (returned, not taken) or `end`.
inline const unsigned char* passOutside(ParserContext* context, const unsigned char* p,
                                        const unsigned char* end) {
    const bool comments = (context->framing & kCommentLines) != 0;
    while (p != end) {
        if (context->inComment != 0) {
            const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
            const unsigned char* stop =
                lf == nullptr ? end : static_cast<const unsigned char*>(lf) + 1;
            if (context->counters != nullptr) {
                context->counters->commentBytes += static_cast<std::uint64_t>(stop - p);
            }
            context->tag.state = TagNone;
            if (lf != nullptr) {
                context->inComment = 0;
                context->midLine = 0;
            }
            p = stop;
            continue;
        }
        const unsigned char* const from = p;
        p = skipToStart(p, end, comments);
        countOutside(context, from, p);
        if (p == end || *p != '#') {
            return p;
        }
        if (context->midLine == 0 && context->inOverlongLine == 0) {
            context->inComment = 1;
            context->midLine = 1;
        } else {
            countOutside(context, p, p + 1);
            ++p;
        }
    }
    return p;
}

// The end of a framed sentence: counted, shown to the observer, then dispatched when
// its checksum holds.
int completeSentence(ParserContext* context) {
    const bool good = context->checksum == context->expectedChecksum;
    const FrameDeviations deviations = context->deviations;
    if (LineCounters* counters = context->counters) {
        const auto length = static_cast<std::uint64_t>(context->length);
        if (good) {
            ++counters->accepted;
            counters->acceptedBytes += length;
            counters->noChecksum += context->checksumAt == 0;
            for (int i = 0; i < kDeviationKindCount; ++i) {
                counters->warnings[i] += (deviations >> i) & 1u;
            }
        } else {
            ++counters->badChecksum;
            counters->badChecksumBytes += length;
        }
    }
    if (context->frameObserver != nullptr) {
        context->frameObserver(context->observerData, context->sentence, context->length,
                               good ? FrameOutcome::Accepted : FrameOutcome::BadChecksum,
                               deviations);
    }
    if (!good) {
        return 0;
    }
    if (deviations != 0) {
        // The parsers see the sentence as the format writes it: upper-case checksum,
        // CR LF, no trailing data. `endAt` is at most 254 here; a line end still fits
        // whole unless the sentence filled the buffer.
        char* const sentence = context->sentence;
        if (context->checksumAt > 0) {
            for (int i = context->checksumAt + 1; i < context->endAt; ++i) {
                if (sentence[i] >= 'a') {
                    sentence[i] = static_cast<char>(sentence[i] - ('a' - 'A'));
                }
            }
        }
        int end = context->endAt;
        sentence[end++] = '\r';
        if (end + 1 < kSentenceSize) {
            sentence[end++] = '\n';
        }
        sentence[end] = '\0';
        context->length = end;
    }
    return dispatch(context);
}

// The line end is in: the sentence is terminated, completed and the framer waits for
// the next start. `length` is at most 255 here, so the terminator still fits.
inline int finishSentence(ParserContext* context) {
    context->sentence[context->length] = '\0';
    context->midLine = 0;
    const int result = completeSentence(context);
    context->sentenceTagged = 0;
    context->state = WaitStart;
    context->length = 0;
    return result;
}

// The sentence in hand is broken off by the byte just stored: all of it is lost.
inline int discard(ParserContext* context) {
    if (context->counters != nullptr && context->length > 0 && context->length <= kSentenceSize) {
        ++context->counters->malformed;
        context->counters->malformedBytes += static_cast<std::uint64_t>(context->length);
    }
    context->midLine = context->length == 0 || context->sentence[context->length - 1] != '\n';
    context->sentenceTagged = 0;
    context->state = WaitStart;
    context->length = 0;
    return 0;
}

// A deviation is taken note of, or, under strict framing, breaks the sentence off.
inline bool tolerate(ParserContext* context, FrameDeviation deviation) {
    if (isStrict(context)) {
        return false;
    }
    context->deviations |= deviation;
    return true;
}

// LF alone ends the line.
inline int finishOnLf(ParserContext* context) {
    return tolerate(context, kLfOnly) ? finishSentence(context) : discard(context);
}

// A start character outside any sentence begins one.
inline void beginSentence(ParserContext* context, unsigned char start) {
    context->sentence[0] = static_cast<char>(start);
    context->length = 1;
    context->checksum = 0;
    context->expectedChecksum = 0;
    context->deviations = 0;
    context->checksumAt = 0;
    context->state = Address;
    context->inOverlongLine = 0;
    context->midLine = 1;
    context->sentenceTagged = context->tag.state != TagNone && takeForSentence(context->tag);
}

// One step of the framing. Every byte is stored first; the state then decides
// whether the sentence in hand goes on, completes or is dropped.
inline int step(ParserContext* context, unsigned char byte) {
    // A full buffer (or a length that is not ours) abandons the sentence in hand; the
    // byte then starts a new search for a start character.
    if (static_cast<unsigned>(context->length) >= static_cast<unsigned>(kMaxSentenceLength)) {
        if (context->state != WaitStart) {
            if (context->counters != nullptr) {
                ++context->counters->tooLong;
                context->counters->tooLongBytes += static_cast<std::uint64_t>(
                    context->length == kMaxSentenceLength ? kMaxSentenceLength : 0);
            }
            context->inOverlongLine = 1;
        }
        context->state = WaitStart;
        context->length = 0;
    }
    context->sentence[context->length++] = static_cast<char>(byte);

    switch (context->state) {
        case WaitStart:
            context->length = 0;
            if ((byte == '$' || byte == '!') && context->inComment == 0) {
                beginSentence(context, byte);
                return 0;
            }
            passOutside(context, &byte, &byte + 1);
            return 0;

        case Address: {
            // The start character sits at index 0, so the byte just stored at
            // length - 1 is address character length - 2.
            const int index = context->length - 2;
            if (!isAddressCharacter(byte) || static_cast<unsigned>(index) >= 5u) {
                return discard(context);
            }
            context->address[index] = static_cast<char>(byte);
            context->checksum ^= byte;
            if (index == 4) {
                context->address[5] = '\0';
                context->state = Data;
            }
            return 0;
        }

        case Data:
            if (byte == '*') {
                context->checksumAt = context->length - 1;
                context->state = ChecksumHigh;
            } else if (byte == '\r') {
                // No checksum: nothing to compare.
                context->checksum = 0;
                context->expectedChecksum = 0;
                context->endAt = context->length - 1;
                context->state = WaitLF;
            } else if (byte == '\n' && !isStrict(context)) {
                context->checksum = 0;
                context->expectedChecksum = 0;
                context->endAt = context->length - 1;
                return finishOnLf(context);
            } else {
                context->checksum ^= byte;
            }
            return 0;

        case ChecksumHigh:
        case ChecksumLow: {
            const int value = hexValue(byte);
            if (value < 0 ||
                (value != upperHexValue(byte) && !tolerate(context, kLowercaseChecksum))) {
                return discard(context);
            }
            if (context->state == ChecksumHigh) {
                context->expectedChecksum = static_cast<std::uint8_t>(value << 4);
                context->state = ChecksumLow;
            } else {
                context->expectedChecksum =
                    static_cast<std::uint8_t>(context->expectedChecksum + value);
                context->endAt = context->length;
                context->state = WaitCR;
            }
            return 0;
        }

        case WaitCR:
            if (byte == '\r') {
                context->state = WaitLF;
            } else if (byte == '\n') {
                return finishOnLf(context);
            } else if (byte == ',' && tolerate(context, kTrailingData)) {
                context->state = Tail;
            } else {
                return discard(context);
            }
            return 0;

        case Tail:
            if (byte == '\r') {
                context->state = WaitLF;
            } else if (byte == '\n') {
                return finishOnLf(context);
            } else if (byte < 0x20 || byte > 0x7E) {
                return discard(context);
            }
            return 0;

        case WaitLF:
            if (byte == '\n')
                return finishSentence(context);
            if (byte == '\r' && (context->deviations & kCrCrLf) == 0 &&
                tolerate(context, kCrCrLf)) {
                return 0;
            }
            return discard(context);

        default:
            return discard(context);
    }
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

#if !defined(__SSE2__)
// 0x80 in every byte lane of `word` that equals `byte`, 0 in all others (exact, no
// carries between lanes). The field walk's word-at-a-time form, where SSE2 is missing.
inline std::uint64_t byteMask(std::uint64_t word, unsigned char byte) {
    constexpr std::uint64_t kLows = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t x = word ^ (kOnes * byte);
    return ~(((x & kLows) + kLows) | x) & kHighs;
}
#endif

// True when any of the eight bytes of `word` is below `limit` (at most 128).
inline bool containsByteBelow(std::uint64_t word, unsigned char limit) {
    return ((word - kOnes * limit) & ~word & kHighs) != 0;
}

// True when any of the eight bytes of `word` equals `byte`.
inline bool containsByte(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (kOnes * byte);
    return ((x - kOnes) & ~x & kHighs) != 0;
}

// Copies the plain data bytes of a sentence without a state dispatch per byte: eight
// at a time while none of them ends the data part, then one by one. The checksum of
// the eight-byte steps is the exclusive-or of their lanes, folded once at the end.
// Stops short of the 255-byte limit so that the general step handles the abandon
// rule. Needs a length inside the buffer.
inline const unsigned char* copyData(ParserContext* context, const unsigned char* p,
                                     const unsigned char* end) {
    const int length = context->length;
    const std::ptrdiff_t room = kMaxSentenceLength - length;
    const unsigned char* stop = end - p > room ? p + room : end;
    char* out = context->sentence + length;
    const unsigned char* start = p;

    // Under tolerant framing a LF alone also ends the data part.
    const unsigned char lf = isStrict(context) ? '\r' : '\n';
    std::uint64_t lanes = 0;
    while (stop - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        // Every byte that can end the data part lies below ','; data rarely does, so
        // one test clears most words and only the rest are looked at byte by byte.
        if (containsByteBelow(word, ',') &&
            (containsByte(word, '*') || containsByte(word, '\r') || containsByte(word, lf)))
            break;
        std::memcpy(out, p, sizeof word);
        lanes ^= word;
        p += 8;
        out += 8;
    }
    lanes ^= lanes >> 32;
    lanes ^= lanes >> 16;
    lanes ^= lanes >> 8;
    unsigned char checksum = static_cast<unsigned char>(context->checksum ^ lanes);

    while (p != stop) {
        const unsigned char c = *p;
        if (c == '*' || c == '\r' || c == lf)
            break;
        checksum ^= c;
        *out++ = static_cast<char>(c);
        ++p;
    }
    context->length = length + static_cast<int>(p - start);
    context->checksum = checksum;
    return p;
}

// The five address characters after a start character in one go, when all five are
// at hand and valid; the same as five steps. Returns false to leave them to the steps.
inline bool takeAddress(ParserContext* context, const unsigned char* p, const unsigned char* end) {
    if (context->length != 1 || end - p < 5) {
        return false;
    }
    unsigned char checksum = context->checksum;
    for (int i = 0; i < 5; ++i) {
        if (!isAddressCharacter(p[i])) {
            return false;
        }
        checksum ^= p[i];
    }
    std::memcpy(context->sentence + 1, p, 5);
    std::memcpy(context->address, p, 5);
    context->address[5] = '\0';
    context->checksum = checksum;
    context->length = 6;
    context->state = Data;
    return true;
}

// "*HH\r\n" ending the data part in one go, when all five bytes are at hand, well
// formed and fit the sentence; the same as five steps. Returns false to leave them to
// the steps.
inline bool takeChecksumAndEnd(ParserContext* context, const unsigned char* p,
                               const unsigned char* end) {
    if (end - p < 5 || context->length + 5 > kMaxSentenceLength || p[3] != '\r' || p[4] != '\n') {
        return false;
    }
    const int high = upperHexValue(p[1]);
    const int low = upperHexValue(p[2]);
    if (high < 0 || low < 0) {
        return false;
    }
    std::memcpy(context->sentence + context->length, p, 5);
    context->checksumAt = context->length;
    context->endAt = context->length + 3;
    context->length += 5;
    context->expectedChecksum = static_cast<std::uint8_t>(high << 4 | low);
    return true;
}

inline void countFed(ParserContext* context, const unsigned char* from, const unsigned char* to) {
    if (context->counters != nullptr) {
        context->counters->bytes += static_cast<std::uint64_t>(to - from);
    }
}

}  // namespace

void init(ParserContext* context) {
    NMEAZ_ASSERT(context != 0);
    std::memset(context, 0, sizeof *context);
    context->state = WaitStart;
}

void setFraming(ParserContext* context, unsigned rules) {
    NMEAZ_ASSERT(context != 0);
    context->framing = rules;
}

void watchLine(ParserContext* context, LineCounters* counters, FrameObserver observer,
               void* observerData) {
    NMEAZ_ASSERT(context != 0);
    context->counters = counters;
    context->frameObserver = observer;
    context->observerData = observerData;
}

int registerParser(ParserContext* context, const char* name, SentenceParser parser, void* record) {
    NMEAZ_ASSERT(context != 0);
    if (context->entryCount < 0 || context->entryCount >= kMaxEntries)
        return -1;
    ParserEntry& entry = context->entries[context->entryCount];
    std::memset(&entry, 0, sizeof entry);
    if (name != nullptr) {
        for (int i = 0; i < kEntryNameSize - 1 && name[i] != '\0'; ++i)
            entry.name[i] = name[i];
    }
    entry.parser = parser;
    entry.record = record;
    ++context->entryCount;
    return 0;
}

int feedByte(ParserContext* context, unsigned char byte) {
    NMEAZ_ASSERT(context != 0);
    if (context->counters != nullptr) {
        ++context->counters->bytes;
    }
    return step(context, byte);
}

int feedBuffer(ParserContext* context, const char* data, int* length) {
    NMEAZ_ASSERT(context != 0);
    if (data == nullptr || length == nullptr || *length <= 0)
        return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const begin = p;
    const unsigned char* const end = p + *length;
    while (p != end) {
        const bool inBuffer =
            static_cast<unsigned>(context->length) < static_cast<unsigned>(kMaxSentenceLength);
        if (context->state == Data && inBuffer) {
            p = copyData(context, p, end);
            if (p == end)
                break;
        } else if (context->state == WaitStart && context->length == 0) {
            p = passOutside(context, p, end);
            if (p == end)
                break;
            // A start character: the same as its step, without the dispatch.
            beginSentence(context, *p++);
            continue;
        } else if (context->state == Address && takeAddress(context, p, end)) {
            p += 5;
            continue;
        }
        int result;
        if (*p == '*' && context->state == Data && takeChecksumAndEnd(context, p, end)) {
            p += 5;
            result = finishSentence(context);
        } else {
            result = step(context, *p++);
        }
        if (result != 0) {
            countFed(context, begin, p);
            *length = static_cast<int>(end - p);
            return result;
        }
    }
    countFed(context, begin, end);
    *length = 0;
    return 0;
}

std::string_view sentenceTagBlock(const ParserContext* context) {
    NMEAZ_ASSERT(context != 0);
    if (context->sentenceTagged == 0) {
        return {};
    }
    return heldTagBlock(context->tag);
}

TagCapture tagCaptureToResume(const ParserContext* context) {
    NMEAZ_ASSERT(context != 0);
    TagCapture resumed = context->tag;
    if (context->state != WaitStart) {
        // The sentence in hand is fed again from its start character: it must find
        // its block just closed, as it did the first time.
        resumed.state = context->sentenceTagged != 0 ? TagClosed : TagNone;
    }
    return resumed;
}

std::string_view trailingData(std::string_view sentence) {
    const std::size_t star = sentence.find('*');
    if (star == std::string_view::npos || sentence.size() < star + 4 || sentence[star + 3] != ',') {
        return {};
    }
    std::string_view tail = sentence.substr(star + 4);
    const std::size_t lineEnd = tail.find_first_of("\r\n");
    return lineEnd == std::string_view::npos ? tail : tail.substr(0, lineEnd);
}

static_assert(kSentenceSize % 8 == 0, "the field walk reads the sentence in eight-byte words");

int splitFields(ParserContext* context) {
    NMEAZ_ASSERT(context != 0);
    char* const sentence = context->sentence;
    context->fields[0] = sentence;
    int count = 1;
    // The walk never leaves the array, even over a sentence that lacks its NUL. It
    // reads a block of bytes at a time and visits only the commas and the NUL among
    // them: `stops` has a bit per such byte, `nuls` per NUL.
    auto visit = [&](int base, std::uint64_t stops, std::uint64_t nuls, int bitsPerByte) {
        while (stops != 0) {
            const int bit = std::countr_zero(stops);
            if (((nuls >> bit) & 1) != 0) {
                return true;
            }
            const int lane = bit / bitsPerByte;
            sentence[base + lane] = '\0';
            context->fields[count++] = sentence + base + lane + 1;
            // From field 23 on the text stays whole, commas included.
            if (count == kMaxFields) {
                return true;
            }
            stops &= stops - 1;
        }
        return false;
    };
#if defined(__SSE2__)
    static_assert(kSentenceSize % 16 == 0, "the field walk reads the sentence in 16-byte blocks");
    const __m128i commas = _mm_set1_epi8(',');
    const __m128i zeros = _mm_setzero_si128();
    for (int base = 0; base < kSentenceSize; base += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sentence + base));
        const auto nuls = static_cast<std::uint64_t>(
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, zeros))));
        const auto stops = static_cast<std::uint64_t>(static_cast<unsigned>(
                               _mm_movemask_epi8(_mm_cmpeq_epi8(block, commas)))) |
                           nuls;
        if (visit(base, stops, nuls, 1)) {
            break;
        }
    }
#else
    for (int base = 0; base < kSentenceSize; base += 8) {
        std::uint64_t word;
        std::memcpy(&word, sentence + base, sizeof word);
        const std::uint64_t nuls = byteMask(word, '\0');
        if (visit(base, byteMask(word, ',') | nuls, nuls, 8)) {
            break;
        }
    }
#endif
    context->fieldCount = count;
    return count;
}

// Whether a registration name selects the sentence with this address: a name of three
// characters is a formatter and matches any talker, a name of five characters matches
// that address only, any other name matches nothing.
inline bool nameMatches(const char* name, const char* address, std::uint32_t formatter) {
    // The formatter as the four name bytes it equals: three letters and the NUL.
    std::uint32_t head;
    std::memcpy(&head, name, sizeof head);
    if (head == formatter) {
        return true;
    }
    return name[3] != '\0' && name[4] != '\0' && std::memcmp(name, address, 5) == 0;
}

int dispatch(ParserContext* context) {
    NMEAZ_ASSERT(context != 0);
    context->fieldCount = splitFields(context);
    const char* const address = context->address;
    // Address characters are letters and digits; a context whose address was never
    // filled matches nothing (an empty name would otherwise equal its NULs).
    if (address[2] == '\0' || address[3] == '\0' || address[4] == '\0') {
        return 0;
    }
    const char formatterBytes[4] = {address[2], address[3], address[4], '\0'};
    std::uint32_t formatter;
    std::memcpy(&formatter, formatterBytes, sizeof formatter);

    int result = 0;
    bool taken = false;
    const int entryCount = context->entryCount < kMaxEntries ? context->entryCount : kMaxEntries;
    for (int i = 0; i < entryCount; ++i) {
        const ParserEntry& entry = context->entries[i];
        if (entry.parser == nullptr || !nameMatches(entry.name, address, formatter)) {
            continue;
        }
        taken = true;
        result = entry.parser(context, &entry);
        if (result > 0) {
            break;
        }
    }
    // Which types are decoded is whatever is registered, so a type is unknown exactly
    // when no registration takes it.
    if (!taken && context->counters != nullptr) {
        ++context->counters->unknownType;
    }
    return result;
}

}  // namespace nmeaz
