#include "ais/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace ais {
namespace {

TEST(AisLayout, FieldsStandInRecordOrderAndFitTheirMembers) {
    for (const AisMessageLayout& layout : kAisLayouts) {
        std::size_t nextFree = 0;
        for (const AisField& field : layout.fields) {
            SCOPED_TRACE(std::to_string(layout.messageType) + " " + field.name);
            EXPECT_GE(field.offset, nextFree);
            nextFree = field.offset + field.size;
            switch (field.store) {
                case AisStore::Unsigned:
                case AisStore::Signed:
                    EXPECT_EQ(field.size, 4u);
                    EXPECT_LE(field.width, 30);
                    break;
                case AisStore::Character:
                    EXPECT_EQ(field.size, 1u);
                    break;
                case AisStore::Text:
                    EXPECT_EQ(field.size, field.textChars + 1u);
                    EXPECT_EQ(field.width, 6 * field.textChars);
                    break;
                case AisStore::TrailingText:
                    EXPECT_GE(field.size, field.textChars + 1u);
                    EXPECT_EQ(field.textChars, field.width / 6);
                    break;
            }
            // The decoder reads nothing past the work copy of nominalBits.
            EXPECT_LE(field.firstBit + field.width, layout.nominalBits);
        }
        EXPECT_LE(nextFree, layout.recordSize);
    }
}

// In table order every field starts where the previous ended, except where a message
// reads bits again on purpose, and the last bit read is the nominal length.
TEST(AisLayout, BitsAreContiguousUpToTheNominalLength) {
    const std::string restarts[] = {
        "18 itdma_sync_state",  // the ITDMA state re-reads bits 149..167
        "24 ship_type",         // part B overlays part A from bit 40
        "24 part_number_copy",  // the part number, held twice
    };
    for (const AisMessageLayout& layout : kAisLayouts) {
        int end = 0;
        int furthest = 0;
        for (const AisField& field : layout.fields) {
            const std::string key = std::to_string(layout.messageType) + " " + field.name;
            if (std::ranges::find(restarts, key) == std::end(restarts)) {
                EXPECT_EQ(field.firstBit, end) << key;
            }
            end = field.firstBit + field.width;
            furthest = std::max(furthest, end);
        }
        // Message 24's longer part B ends at 168; its work copy is sized for 296 bits.
        EXPECT_EQ(furthest, layout.messageType == 24 ? 168 : layout.nominalBits)
            << layout.messageType;
    }
}

TEST(AisLayout, GatesAreDecodedBeforeTheFieldsTheyGate) {
    for (const AisMessageLayout& layout : kAisLayouts) {
        for (int i = 0; i < static_cast<int>(layout.fields.size()); ++i) {
            const AisField& field = layout.fields[i];
            const bool gated =
                field.decodeWhen != AisGate::Always || field.listWhen != AisGate::Always;
            EXPECT_TRUE(!gated || (layout.gateField >= 0 && i > layout.gateField))
                << layout.messageType << " " << field.name;
        }
    }
    EXPECT_STREQ(aisLayoutFor(18)->fields[aisLayoutFor(18)->gateField].name, "comm_state_selector");
    EXPECT_STREQ(aisLayoutFor(24)->fields[aisLayoutFor(24)->gateField].name, "part_number");
    EXPECT_EQ(aisLayoutFor(6), nullptr);
}

TEST(AisLayout, ListLengthsFollowTheGate) {
    const auto entries = [](int type, char gate) {
        const AisMessageLayout& layout = *aisLayoutFor(type);
        alignas(8) char record[256] = {};
        if (layout.gateField >= 0) {
            record[layout.fields[layout.gateField].offset] = gate;
        }
        return aisListEntryCount(layout, record);
    };
    EXPECT_EQ(entries(18, '0'), 18);
    EXPECT_EQ(entries(18, '1'), 19);
    EXPECT_EQ(entries(18, '7'), 15);
    EXPECT_EQ(entries(24, '3'), 14);
    // The inspector's row count is the longest list.
    for (const AisMessageLayout& layout : kAisLayouts) {
        EXPECT_EQ(layout.maxListEntries,
                  std::max({entries(layout.messageType, '0'), entries(layout.messageType, '1'),
                            entries(layout.messageType, '\0')}))
            << layout.messageType;
    }
}

}  // namespace
}  // namespace ais
