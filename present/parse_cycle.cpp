#include "present/parse_cycle.h"

#include <algorithm>
#include <cstring>

#include "ais/decoders.h"
#include "ais/vdm.h"
#include "nmea/parser_context.h"
#include "nmea/records.h"
#include "nmea/sentence_fields.h"
#include "present/result_list.h"
#include "present/result_text.h"
#include "present/xml_snapshot.h"

namespace present {

namespace {

// The program's one parser context; rebuilt at the start of every cycle.
nmeaz::ParserContext parserContext;

// The carry of the one stream that callers without their own follow.
StreamCarry programCarry;

void observeFrame(void* user, const char* sentence, int length, nmeaz::FrameOutcome outcome,
                  nmeaz::FrameDeviations deviations) {
    const std::string_view tag = nmeaz::sentenceTagBlock(&parserContext);
    static_cast<CycleSink*>(user)->framedLine(FramedLine{
        QByteArrayView(tag.data(), static_cast<qsizetype>(tag.size())),
        QByteArrayView(sentence, length), outcome == nmeaz::FrameOutcome::Accepted, deviations});
}

constexpr std::size_t largestAisRecord() {
    std::size_t size = 0;
    for (const ais::AisMessageLayout& layout : ais::kAisLayouts) {
        size = std::max(size, layout.recordSize);
    }
    return size;
}

const ais::AisMessageLayout* aisLayoutForCode(int code) {
    if (code <= nmeaz::kCodeAisBase) {
        return nullptr;
    }
    return ais::aisLayoutFor(code - nmeaz::kCodeAisBase);
}

void* sentenceRecord(int code) {
    if (code <= 0 || code >= nmeaz::kCodeAisBase) {
        return nullptr;
    }
    const nmeaz::SentenceLayout* layout = nmeaz::layoutFor(code);
    return layout ? layout->record : nullptr;
}

// VDO carries own ship's messages; the sentence name reads "!AIVDO_MSG<n>".
bool fromVdo() {
    return std::strncmp(nmeaz::currentSentenceName + 3, "VDO", 3) == 0;
}

// Hands the decoded record to sinks that keep state across sentences, before the
// sentence's results.
void publishRecord(const DecodedSentence& decoded, CycleSink& sink) {
    if (decoded.ais != nullptr) {
        sink.aisRecord(decoded.ais->messageType, decoded.record, fromVdo());
    } else if (decoded.sentence != nullptr) {
        sink.sentenceRecord(decoded.code, decoded.record);
    }
}

// One AIS record of the largest type, cleared before each decoder fills it.
alignas(std::max_align_t) unsigned char aisRecord[largestAisRecord()];

DecodedSentence current;

// Decodes a completed AIS message, or points at the record a sentence filled.
DecodedSentence decode(int code) {
    DecodedSentence decoded;
    decoded.code = code;
    decoded.context = &parserContext;
    if (const ais::AisMessageLayout* layout = aisLayoutForCode(code)) {
        std::memset(aisRecord, 0, sizeof aisRecord);
        ais::aisDecode(*layout, ais::aisPayloadBuffer, aisRecord, ais::aisPayloadFillBits);
        decoded.ais = layout;
        decoded.record = aisRecord;
    } else if (void* record = sentenceRecord(code)) {
        decoded.sentence = nmeaz::layoutFor(code);
        decoded.record = record;
    }
    return decoded;
}

void dispatch(const DecodedSentence& decoded, CycleSink& sink) {
    const int code = decoded.code;
    if (decoded.ais != nullptr) {
        sink.resultList(code, aisResultList(*decoded.ais, decoded.record));
        return;
    }
    void* record = sentenceRecord(code);
    const bool list = record && hasSentenceList(code);
    const bool text = record && hasResultText(code);
    if (!list && !text) {
        sink.separator();
        return;
    }
    if (list) {
        sink.resultList(code, sentenceResultList(code, record));
    }
    if (text) {
        sink.resultText(code, resultText(code, record));
    }
    if (!snapshotFileName(code).isEmpty()) {
        sink.snapshot(code, record);
    }
}

}  // namespace

const DecodedSentence& currentDecoded() {
    return current;
}

void startNewStream() {
    parserContext.inOverlongLine = 0;
    parserContext.inComment = 0;
    parserContext.midLine = 0;
    programCarry = StreamCarry{};
}

void runParseCycle(QByteArray& receiveBuffer, CycleSink& sink) {
    runParseCycle(receiveBuffer, sink, programCarry);
}

void runParseCycle(QByteArray& receiveBuffer, CycleSink& sink, StreamCarry& carry) {
    // A shallow copy: the bytes stay put even if a receiver of the results appended to
    // the buffer meanwhile. It is let go before the buffer is trimmed, so that trimming
    // a buffer nobody appended to does not copy it first.
    QByteArray bytes = receiveBuffer;
    const int total = static_cast<int>(bytes.size());

    nmeaz::ParserContext* context = &parserContext;
    const bool presenting = sink.wantsPresentation();
    // Where the previous cycle left the line between sentences (inside the tail of an
    // overlong line or a comment, at a line start or not): the bytes now fed continue
    // that line exactly, since nothing in hand was kept for it.
    const int inOverlongLine = context->inOverlongLine;
    const int inComment = context->inComment;
    const int midLine = context->midLine;
    nmeaz::init(context);
    if (sink.wantsRecords()) {
        nmeaz::registerSentenceParsers(context, ais::parseVdm);
        ais::registerVdo(context);
    }
    nmeaz::LineCounters* counters = sink.lineCounters();
    nmeaz::watchLine(context, counters, observeFrame, &sink);
    const unsigned rules = sink.framingRules();
    nmeaz::setFraming(context, rules);
    context->inOverlongLine = counters != nullptr ? inOverlongLine : 0;
    context->inComment = (rules & nmeaz::kCommentLines) != 0 ? inComment : 0;
    context->midLine = midLine;
    context->tag = carry.tag;

    int remaining = total;
    while (remaining > 0) {
        const int offset = total - remaining;
        const int code = nmeaz::feedBuffer(context, bytes.constData() + offset, &remaining);
        current = code > 0 ? decode(code) : DecodedSentence{};
        publishRecord(current, sink);
        if (presenting) {
            dispatch(current, sink);
        }
        if (code > 0) {
            sink.sentenceDone(code);
        }
        current = DecodedSentence{};
    }

    // All bytes have been fed. What can still become a sentence is exactly what the
    // framer holds: its last `length` bytes, none when it waits for a start
    // character. Fed again from the start next time, they bring the framer back to the
    // same state, so dropping everything before them changes no result.
    const int inHand = context->state == nmeaz::WaitStart ? 0 : context->length;
    carry.tag = nmeaz::tagCaptureToResume(context);
    bytes = QByteArray();
    receiveBuffer.remove(0, total - inHand);
    if (counters != nullptr) {
        // Fed again next time, and counted then.
        counters->bytes -= static_cast<std::uint64_t>(inHand);
    }
}

}  // namespace present
