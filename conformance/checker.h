// Checks sentences, one line as received at a time, against the conformance rules
// (conformance/rules.h) and the field tables of the sentence and AIS descriptors.
// Plain C++: fixed storage, nothing allocated per line.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "conformance/rules.h"

namespace conformance {

// The version a talker is checked against; Any: a sentence passes when it conforms
// to one of them.
enum class Version : std::uint8_t { Any, V2, V301, V410, V411 };

// "2.3" (or "2.x"), "3.01", "4.10", "4.11"; false for anything else.
bool parseVersion(std::string_view text, Version& version);

struct Finding {
    RuleId rule = RuleId::LineEnd;
    Severity severity = Severity::Warning;
    int field = -1;                   // field number (0: the address), -1: the whole line
    const char* fieldName = nullptr;  // the field's name in the named output, or null
    std::array<char, 144> message{};  // one line, NUL-terminated
};

inline constexpr int kMaxFindings = 12;

// The findings of one line; a line with more keeps the first kMaxFindings.
struct Findings {
    int count = 0;
    std::array<Finding, kMaxFindings> items{};

    const Finding* begin() const { return items.data(); }
    const Finding* end() const { return items.data() + count; }
    bool hasError() const;
};

class Checker {
public:
    explicit Checker(Version version = Version::Any) : version_(version) {}

    // Checks `line`: the bytes from the start character ('$' or '!') through its line
    // end, with anything after the checksum. Returns out.count. GSV groups and AIS
    // fragments are followed per talker across calls.
    int check(std::string_view line, Findings& out);

    // Forgets the GSV groups and AIS fragments in progress.
    void reset();

    Version version() const { return version_; }

    // Followed GSV groups (talker and signal) and AIS fragment sequences.
    static constexpr int kGroupSlots = 16;

    struct GroupSlot {
        char key[4] = {};  // talker, talker, signal/formatter, sequence
        bool used = false;
        bool active = false;
        int total = 0;
        int next = 0;
        int announced = 0;  // GSV: satellites in view
        int seen = 0;       // GSV: satellites listed; AIS: payload bits so far
        char channel = 0;   // AIS
        int type = 0;       // AIS: message type of the first fragment
        int part = 0;       // AIS: the part number of message 24
    };

private:
    void checkGsv(std::string_view address, const std::string_view* fields, int count,
                  Findings& out);
    void checkAis(std::string_view address, const std::string_view* fields, Findings& out);
    GroupSlot& slot(std::array<GroupSlot, kGroupSlots>& slots, int& victim, const char* key);

    Version version_;
    std::array<GroupSlot, kGroupSlots> gsv_{};
    std::array<GroupSlot, kGroupSlots> ais_{};
    int gsvVictim_ = 0;
    int aisVictim_ = 0;
};

}  // namespace conformance
