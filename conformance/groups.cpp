// The rules that follow a talker across sentences: GSV groups and AIS fragments.
#include <cstring>

#include "ais/bits.h"
#include "conformance/ais_lengths.h"
#include "conformance/check_support.h"
#include "conformance/checker.h"

namespace conformance {

using namespace detail;

Checker::GroupSlot& Checker::slot(std::array<GroupSlot, kGroupSlots>& slots, int& victim,
                                  const char* key) {
    for (GroupSlot& s : slots) {
        if (s.used && std::memcmp(s.key, key, sizeof s.key) == 0)
            return s;
    }
    for (GroupSlot& s : slots) {
        if (!s.used) {
            s = GroupSlot{};
            std::memcpy(s.key, key, sizeof s.key);
            return s;
        }
    }
    GroupSlot& s = slots[static_cast<std::size_t>(victim)];
    victim = (victim + 1) % kGroupSlots;
    s = GroupSlot{};
    std::memcpy(s.key, key, sizeof s.key);
    return s;
}

void Checker::checkGsv(std::string_view address, const std::string_view* fields, int count,
                       Findings& out) {
    long total = 0, index = 0, inView = 0;
    if (!wholeInteger(fields[1], total) || !wholeInteger(fields[2], index) ||
        !wholeInteger(fields[3], inView) || total < 1 || index < 1)
        return;
    const char key[4] = {address[0], address[1],
                         count % 4 == 0 && !fields[count].empty() ? fields[count][0] : '-', 0};
    const int lastSatelliteField = count - (count % 4 == 0 ? 1 : 0);
    int listed = 0;
    for (int first = 4; first <= lastSatelliteField; first += 4) {
        if (!fields[first].empty())
            ++listed;
    }
    GroupSlot& s = slot(gsv_, gsvVictim_, key);
    const bool known = s.used;
    s.used = true;
    const auto warn = [&](const char* text, long a, long b) {
        report(out, RuleId::GsvGroup, Severity::Warning, -1, nullptr, text, a, b);
    };
    if (index > total) {
        warn("part %ld of a group of %ld", index, total);
        s.active = false;
        return;
    }
    if (index == 1) {
        if (s.active)
            warn("the group before ended after part %ld of %ld", s.next - 1L, s.total);
        s.active = true;
        s.total = static_cast<int>(total);
        s.announced = static_cast<int>(inView);
        s.seen = 0;
    } else if (!s.active) {
        if (known)
            warn("part %ld of %ld without the parts before it", index, total);
        s.active = false;
        return;
    } else {
        if (index != s.next)
            warn("part %ld follows part %ld", index, s.next - 1L);
        if (total != s.total)
            warn("a group of %ld parts continues one of %ld", total, static_cast<long>(s.total));
        if (inView != s.announced)
            warn("%ld satellites in view, the group began with %ld", inView,
                 static_cast<long>(s.announced));
    }
    s.next = static_cast<int>(index) + 1;
    s.seen += listed;
    if (s.seen > s.announced && s.seen - listed <= s.announced)
        warn("%ld satellites listed, %ld announced in view", static_cast<long>(s.seen),
             static_cast<long>(s.announced));
    if (index == total)
        s.active = false;
}

void Checker::checkAis(std::string_view address, const std::string_view* fields, Findings& out) {
    long total = 0, number = 0, fill = 0;
    const std::string_view sequence = fields[3];
    const std::string_view channel = fields[4];
    const std::string_view payload = fields[5];
    const bool counted = wholeInteger(fields[1], total) && wholeInteger(fields[2], number) &&
                         total >= 1 && total <= 9 && number >= 1 && number <= total;
    if (!counted) {
        report(out, RuleId::AisFragments, Severity::Error, 1, "fragment_total",
               "fragment '%s' of '%s'; expected a number from 1 to a count from 1 to 9",
               quoted(fields[2]).text, quoted(fields[1]).text);
    }
    if (!sequence.empty() && (sequence.size() != 1 || !isDigit(sequence[0]))) {
        report(out, RuleId::AisFragments, Severity::Error, 3, "sequence_id",
               "sequence id '%s'; expected one digit", quoted(sequence).text);
    } else if (counted && total > 1 && sequence.empty()) {
        report(out, RuleId::AisFragments, Severity::Error, 3, "sequence_id",
               "a message in %ld fragments without a sequence id", total);
    }
    if (!channel.empty() && (channel.size() != 1 || std::strchr("AB12", channel[0]) == nullptr)) {
        report(out, RuleId::AisFragments, Severity::Error, 4, "channel",
               "channel '%s'; expected A, B, 1 or 2", quoted(channel).text);
    }
    const bool fillRead = wholeInteger(fields[6], fill) && fill >= 0 && fill <= 5;
    if (!fillRead) {
        report(out, RuleId::AisFillBits, Severity::Error, 6, "fill_bits",
               "fill bits '%s'; expected 0 to 5", quoted(fields[6]).text);
    } else if (counted && number < total && fill != 0) {
        report(out, RuleId::AisFillBits, Severity::Error, 6, "fill_bits",
               "%ld fill bits on fragment %ld of %ld; only the last may have any", fill, number,
               total);
    }
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const char c = payload[i];
        if (!((c >= '0' && c <= 'W') || (c >= '`' && c <= 'w'))) {
            report(out, RuleId::FieldFormat, Severity::Error, 5, "payload",
                   "payload character '%c' at %zu is not six-bit armour", c, i + 1);
            break;
        }
    }
    if (!counted || !fillRead || payload.empty())
        return;

    const long bits = 6L * static_cast<long>(payload.size());
    const auto lengthCheck = [&](int type, int part, long messageBits) {
        const AisLength length = aisLengthOf(type, part);
        if (length.low == 0)
            return;
        if (messageBits < length.low || messageBits > length.high) {
            report(out, RuleId::AisPayloadLength, Severity::Error, 5, "payload",
                   "message %d carries %ld bits; expected %d to %d", type, messageBits, length.low,
                   length.high);
        }
    };
    const auto typeOf = [](std::string_view p) { return ais::aisArmourValue(p[0]); };
    const auto partOf = [](std::string_view p) {
        return p.size() > 6 ? (ais::aisArmourValue(p[6]) >> 2) & 3 : 0;
    };
    if (total == 1) {
        lengthCheck(typeOf(payload), partOf(payload), bits - fill);
        return;
    }
    const char key[4] = {address[0], address[1], address[4], sequence.empty() ? '-' : sequence[0]};
    GroupSlot& s = slot(ais_, aisVictim_, key);
    const bool known = s.used;
    s.used = true;
    const char channelLetter = channel.empty() ? '\0' : channel[0];
    if (number == 1) {
        if (s.active) {
            report(out, RuleId::AisFragments, Severity::Error, 2, "fragment_number",
                   "the message before with sequence id %c ended after fragment %d of %d", key[3],
                   s.next - 1, s.total);
        }
        s.active = true;
        s.total = static_cast<int>(total);
        s.channel = channelLetter;
        s.seen = 0;
        s.type = typeOf(payload);
        s.part = partOf(payload);
    } else if (!s.active) {
        if (known) {
            report(out, RuleId::AisFragments, Severity::Error, 2, "fragment_number",
                   "fragment %ld of %ld without the fragments before it", number, total);
        }
        return;
    } else {
        if (number != s.next || total != s.total) {
            report(out, RuleId::AisFragments, Severity::Error, 2, "fragment_number",
                   "fragment %ld of %ld follows fragment %d of %d", number, total, s.next - 1,
                   s.total);
            s.active = false;
            return;
        }
        if (channelLetter != s.channel) {
            report(out, RuleId::AisFragments, Severity::Error, 4, "channel",
                   "fragment %ld on channel '%c', the message began on '%c'", number,
                   channelLetter == '\0' ? '-' : channelLetter,
                   s.channel == '\0' ? '-' : s.channel);
        }
    }
    s.next = static_cast<int>(number) + 1;
    s.seen += static_cast<int>(bits);
    if (number == total) {
        lengthCheck(s.type, s.part, s.seen - fill);
        s.active = false;
    }
}

}  // namespace conformance
