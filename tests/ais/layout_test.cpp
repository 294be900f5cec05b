#include "ais/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace ais {
namespace {

std::string where(const AisMessageLayout& layout, const AisField& field) {
    return "message " + std::to_string(layout.messageType) + " field " + field.name;
}

TEST(AisLayout, LookupCoversExactlyTheDecodedTypes) {
    for (int type = -1; type < 70; ++type) {
        const AisMessageLayout* layout = aisLayoutFor(type);
        const bool decoded =
            std::ranges::find(kAisDecodedTypes, type) != std::end(kAisDecodedTypes);
        ASSERT_EQ(layout != nullptr, decoded) << type;
        if (layout != nullptr) {
            EXPECT_EQ(layout->messageType, type);
        }
    }
}

TEST(AisLayout, FieldsStandInRecordOrderAndFitTheirMembers) {
    for (const AisMessageLayout& layout : kAisLayouts) {
        std::size_t nextFree = 0;
        for (const AisField& field : layout.fields) {
            EXPECT_GE(field.offset, nextFree) << where(layout, field);
            nextFree = field.offset + field.size;
            switch (field.store) {
                case AisStore::Unsigned:
                case AisStore::Signed:
                    EXPECT_EQ(field.size, 4u) << where(layout, field);
                    EXPECT_LE(field.width, 30) << where(layout, field);
                    break;
                case AisStore::Character:
                    EXPECT_EQ(field.size, 1u) << where(layout, field);
                    break;
                case AisStore::Text:
                    EXPECT_EQ(field.width, 6 * field.textChars) << where(layout, field);
                    EXPECT_EQ(field.size, field.textChars + 1u) << where(layout, field);
                    break;
                case AisStore::TrailingText:
                    EXPECT_EQ(field.textChars, field.width / 6) << where(layout, field);
                    EXPECT_GE(field.size, field.textChars + 1u) << where(layout, field);
                    break;
            }
            // The decoder reads nothing past the work copy of nominalBits.
            EXPECT_LE(field.firstBit + field.width, layout.nominalBits) << where(layout, field);
        }
        EXPECT_LE(nextFree, layout.recordSize) << layout.messageType;
    }
}

// Walking a table in order, every field starts where the previous one ended, except
// where a message reads the same bits again on purpose (listed here), and the last
// bit read is the message's nominal length.
TEST(AisLayout, BitsAreContiguousUpToTheNominalLength) {
    struct Restart {
        int type;
        const char* field;
        int firstBit;
    };
    const Restart restarts[] = {
        // The ITDMA state of message 18 reads bits 149..167 again, beside the SOTDMA one.
        {18, "itdma_sync_state", 149},
        // Message 24's parts A and B overlay bits 40 on; the part number is held twice.
        {24, "ship_type", 40},
        {24, "part_number_copy", 38},
    };
    for (const AisMessageLayout& layout : kAisLayouts) {
        int end = 0;
        int furthest = 0;
        for (const AisField& field : layout.fields) {
            const auto restart = std::ranges::find_if(restarts, [&](const Restart& r) {
                return r.type == layout.messageType && std::string(r.field) == field.name;
            });
            if (restart != std::end(restarts)) {
                EXPECT_EQ(field.firstBit, restart->firstBit) << where(layout, field);
            } else {
                EXPECT_EQ(field.firstBit, end) << where(layout, field);
            }
            end = field.firstBit + field.width;
            furthest = std::max(furthest, end);
        }
        if (layout.messageType == 24) {
            // Part B, the longer part, ends at bit 168; the work copy is sized for 296.
            EXPECT_EQ(furthest, 168);
            EXPECT_EQ(layout.nominalBits, 296);
        } else {
            EXPECT_EQ(furthest, layout.nominalBits) << layout.messageType;
        }
    }
}

TEST(AisLayout, GatesAreDecodedBeforeTheFieldsTheyGate) {
    for (const AisMessageLayout& layout : kAisLayouts) {
        const auto gated = std::ranges::count_if(layout.fields, [](const AisField& f) {
            return f.decodeWhen != AisGate::Always || f.listWhen != AisGate::Always;
        });
        if (layout.gateField < 0) {
            EXPECT_EQ(gated, 0) << layout.messageType;
            continue;
        }
        const AisField& gate = layout.fields[layout.gateField];
        EXPECT_EQ(gate.store, AisStore::Character);
        for (int i = 0; i <= layout.gateField; ++i) {
            EXPECT_EQ(layout.fields[i].decodeWhen, AisGate::Always) << where(layout, gate);
        }
    }
    EXPECT_STREQ(aisLayoutFor(18)->fields[aisLayoutFor(18)->gateField].name, "comm_state_selector");
    EXPECT_STREQ(aisLayoutFor(24)->fields[aisLayoutFor(24)->gateField].name, "part_number");
}

TEST(AisLayout, ListLengthsFollowTheGate) {
    struct Case {
        int type;
        char gate;
        int entries;
    };
    const Case cases[] = {
        {18, '0', 18}, {18, '1', 19}, {18, '\0', 15}, {18, '7', 15},
        {24, '0', 14}, {24, '1', 14}, {24, '3', 14},  {1, '\0', 18},
    };
    for (const Case& c : cases) {
        const AisMessageLayout& layout = *aisLayoutFor(c.type);
        alignas(8) char record[256] = {};
        if (layout.gateField >= 0) {
            record[layout.fields[layout.gateField].offset] = c.gate;
        }
        EXPECT_EQ(aisListEntryCount(layout, record), c.entries) << c.type << " " << c.gate;
    }
    // The inspector's row count is the longest list.
    for (const AisMessageLayout& layout : kAisLayouts) {
        int longest = 0;
        for (char gate : {'0', '1', '\0'}) {
            alignas(8) char record[256] = {};
            if (layout.gateField >= 0) {
                record[layout.fields[layout.gateField].offset] = gate;
            }
            longest = std::max(longest, aisListEntryCount(layout, record));
        }
        EXPECT_EQ(layout.maxListEntries, longest) << layout.messageType;
    }
}

TEST(AisLayout, PositionReportsShareTheirCommonPart) {
    const AisMessageLayout& one = *aisLayoutFor(1);
    const AisMessageLayout& three = *aisLayoutFor(3);
    EXPECT_EQ(aisLayoutFor(2)->fields.data(), one.fields.data());
    for (int i = 0; i < 15; ++i) {
        EXPECT_STREQ(one.fields[i].name, three.fields[i].name);
        EXPECT_EQ(one.fields[i].firstBit, three.fields[i].firstBit);
        EXPECT_EQ(one.fields[i].width, three.fields[i].width);
        EXPECT_EQ(one.fields[i].way, three.fields[i].way);
    }
    EXPECT_STREQ(one.fields[14].name, "raim_flag");
}

}  // namespace
}  // namespace ais
