// Framing of an NMEA 0183 byte stream into checksum-checked sentences, splitting
// them into fields in place and dispatching them to registered field parsers.
// Everything lives in fixed arrays inside the context: nothing is allocated.
#pragma once

#include <cstdint>
#include <string_view>

#include "nmea/line_counters.h"
#include "nmea/tag_capture.h"

namespace nmeaz {

constexpr int kMaxEntries = 64;
constexpr int kSentenceSize = 256;  // at most 255 bytes of sentence and a NUL
constexpr int kMaxSentenceLength = kSentenceSize - 1;
constexpr int kMaxFields = 24;
constexpr int kEntryNameSize = 6;  // at most 5 characters and a NUL

enum FramingState : int {
    WaitStart = 0,
    Address = 1,
    Data = 2,
    ChecksumHigh = 3,
    ChecksumLow = 4,
    WaitCR = 5,
    WaitLF = 6,
    Tail = 7,  // receiver metadata after the checksum, up to the line end
};

// How strictly the framer reads; bits for setFraming().
enum FramingRule : unsigned {
    // Exactly the sentence format: CR LF line ends, upper-case checksum digits and
    // nothing after them. Without it such sentences are accepted and their deviation
    // reported (FrameDeviation).
    kStrictFraming = 1u << 0,
    // A line whose first byte is '#' is a comment: nothing in it is framed. For files
    // (logs annotated by people), never for live input.
    kCommentLines = 1u << 1,
};

struct ParserContext;
struct ParserEntry;

// A field parser: reads the split fields of the context, fills the entry's record
// and returns its positive parse code.
using SentenceParser = int (*)(const ParserContext* context, const ParserEntry* entry);

struct ParserEntry {
    // A three-character formatter ("GGA", any talker) or a five-character address
    // ("GPGGA", that talker only).
    char name[kEntryNameSize];
    SentenceParser parser;
    void* record;
};

struct ParserContext {
    ParserEntry entries[kMaxEntries];
    int entryCount;
    char sentence[kSentenceSize];
    int length;
    int state;
    char address[6];
    std::uint8_t expectedChecksum;
    std::uint8_t checksum;
    char* fields[kMaxFields];
    int fieldCount;
    // Set after init() by a caller that wants the stream counted or watched; both
    // may stay null.
    LineCounters* counters;
    FrameObserver frameObserver;
    void* observerData;
    // Set while the rest of a line abandoned at the size limit goes by: those bytes
    // belong to that sentence, not to the noise between sentences.
    int inOverlongLine;
    unsigned framing;            // FramingRule bits
    FrameDeviations deviations;  // of the sentence in hand
    int checksumAt;              // index of the sentence's '*', 0 without a checksum
    int endAt;                   // index where its line end (or trailing data) begins
    // Where the stream stands between sentences: inside a comment line, and whether a
    // byte other than LF came since the last line end. Kept across parse cycles with
    // inOverlongLine.
    int inComment;
    int midLine;
    // The TAG block candidate among the bytes since the last line end or sentence, and
    // whether the sentence in hand came with the block it holds.
    TagCapture tag;
    int sentenceTagged;
};

// Every operation taking a context aborts with the message
// nmeaz: assertion "context != 0" failed ... when it is given none, in every build type.

// Clears the whole context, counters and observer links included.
void init(ParserContext* context);

// Counts the stream into `counters` (may be null) and reports every framed sentence
// to `observer` (may be null). Call after init().
void watchLine(ParserContext* context, LineCounters* counters, FrameObserver observer,
               void* observerData);

// Sets the FramingRule bits; init() leaves none (tolerant framing, no comments).
void setFraming(ParserContext* context, unsigned rules);

// Appends a registration; returns 0, or -1 when the table is full. At most five
// characters of the name are kept; a name of other than three or five characters,
// or an entry without a parser, never matches.
int registerParser(ParserContext* context, const char* name, SentenceParser parser, void* record);

// Advances the framing by one byte. Returns the dispatch result on the LF that
// completes a sentence with a good checksum, 0 otherwise.
int feedByte(ParserContext* context, unsigned char byte);

// Feeds bytes until one yields a non-zero code or the data runs out. On return
// *length holds the number of bytes not yet fed; the result is that code or 0.
int feedBuffer(ParserContext* context, const char* data, int* length);

// The receiver metadata of a framed sentence: what follows "*hh," up to the line end,
// empty when the sentence has none.
std::string_view trailingData(std::string_view sentence);

// The TAG block ("\c:...*hh\") that stood directly in front of the sentence being
// completed, on its line and with a matching checksum: read it while the frame
// observer or the parsers see that sentence. Empty when the sentence came without one.
// The block's bytes are counted as they always were, among the bytes between sentences.
std::string_view sentenceTagBlock(const ParserContext* context);

// What a freshly initialised context must hold so that, fed again the bytes this one
// still had in hand (its sentence begun, none while it waits for a start), it reads
// on with the same TAG block: the block of that sentence, or the one the last bytes
// began or closed.
TagCapture tagCaptureToResume(const ParserContext* context);

// Splits the completed sentence into fields; returns the field count.
int splitFields(ParserContext* context);

// Splits the sentence and runs the matching parsers in registration order.
int dispatch(ParserContext* context);

}  // namespace nmeaz
