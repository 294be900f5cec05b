// Any bytes through the framing, splitting, dispatch and every field parser.
//
// The first input byte picks the sizes of the pieces handed to feedBuffer, so that
// sentences are cut at every possible place as they are by serial reads. The same
// bytes go through feedByte one at a time into a second context: both must give the
// same codes, and after every step the context must be in a state it can be in. Bits
// of the first byte also pick the framing rules; both contexts count the stream, and
// every byte fed must be in exactly one outcome class or in the sentence in hand.
// The TAG block each framed sentence is shown with must be a whole, valid block, and
// the same on both paths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "nmea/parser_context.h"
#include "nmea/records.h"
#include "nmea/sentence_fields.h"
#include "nmea/sentence_parsers.h"
#include "nmea/tag_block.h"

namespace {

using namespace nmeaz;

void require(bool condition) {
    if (!condition)
        std::abort();
}

void checkContext(const ParserContext& context) {
    require(context.length >= 0 && context.length < kSentenceSize);
    require(context.state >= WaitStart && context.state <= Tail);
    require(context.entryCount == kSentenceTypeCount);
    require(context.address[5] == '\0');
    require(context.tag.length >= 0 && context.tag.length <= kMaxTagBlockLength);
    require(context.tag.state >= TagNone && context.tag.state <= TagSkip);
}

// What the sentences were shown with, folded into one number per path.
struct TagsSeen {
    const ParserContext* context;
    std::uint64_t fold;
};

void observeTags(void* user, const char*, int, FrameOutcome, FrameDeviations) {
    auto* seen = static_cast<TagsSeen*>(user);
    const std::string_view block = sentenceTagBlock(seen->context);
    if (!block.empty()) {
        TagBlock parsed;
        require(parseTagBlock(block.data(), block.size(), parsed) == block.size());
    }
    std::uint64_t hash = block.size() + 1;
    for (const char c : block) {
        hash = hash * 131 + static_cast<unsigned char>(c);
    }
    seen->fold = seen->fold * 1000003 + hash;
}

void checkAfterCode(const ParserContext& context, int code) {
    require(layoutFor(code) != nullptr);
    require(context.fieldCount >= 1 && context.fieldCount <= kMaxFields);
    const char* begin = context.sentence;
    const char* end = context.sentence + kSentenceSize;
    for (int i = 0; i < context.fieldCount; ++i) {
        require(context.fields[i] >= begin && context.fields[i] < end);
        require(std::memchr(context.fields[i], '\0',
                            static_cast<std::size_t>(end - context.fields[i])) != nullptr);
    }
    require(currentSentenceName[kSentenceNameSize - 1] == '\0');
    require(currentSentenceName[0] == '$' || currentSentenceName[0] == '!');
}

// Bytes still in hand are decided when their sentence ends.
void checkCounted(const ParserContext& context, const LineCounters& counters) {
    const std::uint64_t inHand =
        context.state == WaitStart ? 0u : static_cast<std::uint64_t>(context.length);
    require(decidedBytes(counters) + inHand == counters.bytes);
}

ParserContext byBuffer;
ParserContext byByte;
LineCounters bufferCounters;
LineCounters byteCounters;
int bufferCodes[4096];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned pieceSize = 1u + data[0] % 64u;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const int total = static_cast<int>(size - 1 < 1u << 20 ? size - 1 : 1u << 20);

    const unsigned rules = (data[0] >> 6) & (kStrictFraming | kCommentLines);
    bufferCounters = {};
    byteCounters = {};
    for (ParserContext* context : {&byBuffer, &byByte}) {
        init(context);
        registerSentenceParsers(context, parseVdmFields);
        setFraming(context, rules);
    }
    TagsSeen bufferTags{&byBuffer, 0};
    TagsSeen byteTags{&byByte, 0};
    watchLine(&byBuffer, &bufferCounters, observeTags, &bufferTags);
    watchLine(&byByte, &byteCounters, observeTags, &byteTags);

    int codeCount = 0;
    int offset = 0;
    while (offset < total) {
        const int piece = total - offset < static_cast<int>(pieceSize)
                              ? total - offset
                              : static_cast<int>(pieceSize);
        int remaining = piece;
        while (remaining > 0) {
            int length = remaining;
            const int code = feedBuffer(&byBuffer, bytes + offset + (piece - remaining), &length);
            require(length >= 0 && length < remaining + (code == 0 ? 1 : 0));
            checkContext(byBuffer);
            checkCounted(byBuffer, bufferCounters);
            if (code != 0) {
                checkAfterCode(byBuffer, code);
                if (codeCount < static_cast<int>(std::size(bufferCodes)))
                    bufferCodes[codeCount] = code;
                ++codeCount;
            }
            remaining = code == 0 ? 0 : length;
        }
        offset += piece;
    }

    int byteCount = 0;
    for (int i = 0; i < total; ++i) {
        const int code = feedByte(&byByte, static_cast<unsigned char>(bytes[i]));
        checkContext(byByte);
        checkCounted(byByte, byteCounters);
        if (code != 0) {
            checkAfterCode(byByte, code);
            if (byteCount < static_cast<int>(std::size(bufferCodes)))
                require(bufferCodes[byteCount] == code);
            ++byteCount;
        }
    }
    require(byteCount == codeCount);
    require(byBuffer.state == byByte.state && byBuffer.length == byByte.length);
    require(bufferCounters == byteCounters);
    require(bufferTags.fold == byteTags.fold);
    return 0;
}
