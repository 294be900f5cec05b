// The field layout tables that parsers and presentation share.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "nmea/sentence_fields.h"

namespace nmeaz {
namespace {

TEST(SentenceFields, TypesInRegistrationOrderWithTheirCodes) {
    const char* order[] = {"GLL", "RMC", "GGA", "DPT", "GSA", "VDM", "HDG", "MTW", "MWD",
                           "RMA", "RSA", "VHW", "VLW", "XTE", "ZDA", "APB", "DBT", "GSV",
                           "HDT", "HSC", "MWV", "ROT", "RPM", "VBW", "VDR", "VTG"};
    const int codes[] = {3,  2,  1,  5,  6,  7,  8,  9,  10, 11, 13, 14, 15,
                         16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28};
    for (int i = 0; i < kSentenceTypeCount; ++i) {
        EXPECT_STREQ(kSentenceLayouts[i].formatter, order[i]);
        EXPECT_EQ(kSentenceLayouts[i].code, codes[i]) << order[i];
        EXPECT_EQ(layoutFor(codes[i]), &kSentenceLayouts[i]);
        EXPECT_EQ(layoutForFormatter(order[i]), &kSentenceLayouts[i]);
    }
    EXPECT_EQ(layoutFor(4), nullptr);
    EXPECT_EQ(layoutFor(12), nullptr);
    EXPECT_EQ(layoutFor(0), nullptr);
    EXPECT_EQ(layoutFor(kCodeAisBase + 18)->code, kCodeVdm);
    EXPECT_EQ(layoutForFormatter("GG"), nullptr);
    EXPECT_EQ(layoutForFormatter("GGAX"), nullptr);
    EXPECT_EQ(layoutForFormatter(""), nullptr);
}

TEST(SentenceFields, CommonTypesTakeFieldIIntoRecordFieldI) {
    for (const SentenceLayout& layout : kSentenceLayouts) {
        if (layout.code == kCodeGsa)
            continue;
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            EXPECT_EQ(layout.fields[i].from, static_cast<int>(i) + 1)
                << layout.formatter << "." << layout.fields[i].name;
        }
    }
}

TEST(SentenceFields, NamesAreUniqueWithinAType) {
    for (const SentenceLayout& layout : kSentenceLayouts) {
        std::set<std::string> names;
        for (const FieldLayout& f : layout.fields) {
            EXPECT_TRUE(names.insert(f.name).second) << layout.formatter << "." << f.name;
        }
    }
}

TEST(SentenceFields, SpecialShapesOfGsaGsvAndVdm) {
    const SentenceLayout& gsa = *layoutFor(kCodeGsa);
    EXPECT_STREQ(gsa.fields[2].name, "sat0");
    EXPECT_STREQ(gsa.fields[13].name, "sat11");
    EXPECT_EQ(gsa.fields[13].offset, offsetof(GsaRecord, sat) + 11 * sizeof(int));
    EXPECT_STREQ(gsa.fields[14].name, "PDOP");
    EXPECT_EQ(gsa.fields[14].from, -3);
    EXPECT_EQ(gsa.fields[16].from, -1);

    const SentenceLayout& gsv = *layoutFor(kCodeGsv);
    EXPECT_STREQ(gsv.fields.back().name, "sat_data19");
    EXPECT_EQ(gsv.fields.back().offset, offsetof(GsvRecord, sat_data) + 19 * sizeof(int));

    const SentenceLayout& vdm = *layoutFor(kCodeVdm);
    EXPECT_EQ(vdm.fields[4].kind, FieldKind::Text);
    EXPECT_STREQ(vdm.fields[4].name, "payload");
}

}  // namespace
}  // namespace nmeaz
