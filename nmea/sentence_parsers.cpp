#include "nmea/sentence_parsers.h"

#include <array>
#include <cstring>
#include <utility>

#include "nmea/decimal.h"
#include "nmea/records.h"
#include "nmea/sentence_fields.h"

namespace nmeaz {

namespace {

constexpr std::size_t layoutIndex(int code) {
    for (std::size_t i = 0; i < std::size(kSentenceLayouts); ++i) {
        if (kSentenceLayouts[i].code == code)
            return i;
    }
    return std::size(kSentenceLayouts);  // not a constant index: fails to compile
}

void writeSentenceName(const ParserContext* context) {
    std::memset(currentSentenceName, 0, kSentenceNameSize);
    const char* field0 = context->fields[0];
    if (field0 == nullptr)
        return;
    // Start character and the five address characters.
    for (int i = 0; i < 6 && field0[i] != '\0'; ++i)
        currentSentenceName[i] = field0[i];
}

template <FieldKind Kind>
inline void storeField(char* record, std::size_t offset, const char* text) {
    if constexpr (Kind == FieldKind::Double) {
        const double value = decimalToDouble(text);
        std::memcpy(record + offset, &value, sizeof value);
    } else if constexpr (Kind == FieldKind::Int) {
        const int value = decimalToInt(text);
        std::memcpy(record + offset, &value, sizeof value);
    } else if constexpr (Kind == FieldKind::Char) {
        record[offset] = text[0];
    } else {
        std::memcpy(record + offset, &text, sizeof text);
    }
}

// Fills the record fields of one table whose sentence field the sentence reaches;
// the others keep their values. A text field is the exception: it points into the
// sentence buffer, so it is never left naming an earlier sentence's bytes.
template <std::size_t TypeIndex, std::size_t... I>
inline void fillFields(const ParserContext* context, char* record, std::index_sequence<I...>) {
    constexpr const SentenceLayout& layout = kSentenceLayouts[TypeIndex];
    const int count = context->fieldCount;
    auto one = [&]<std::size_t Index>() {
        constexpr FieldLayout field = layout.fields[Index];
        static_assert(field.from > 0, "relative fields need their own rule");
        if (field.from < count) {
            storeField<field.kind>(record, field.offset, context->fields[field.from]);
        } else if constexpr (field.kind == FieldKind::Text) {
            storeField<field.kind>(record, field.offset, "");
        }
    };
    (one.template operator()<I>(), ...);
}

template <int Code, std::size_t FieldCount = kSentenceLayouts[layoutIndex(Code)].fields.size()>
int parseByTable(const ParserContext* context, const ParserEntry* entry) {
    constexpr std::size_t index = layoutIndex(Code);
    if (entry == nullptr || entry->record == nullptr)
        return Code;
    writeSentenceName(context);
    fillFields<index>(context, static_cast<char*>(entry->record),
                      std::make_index_sequence<FieldCount>{});
    return Code;
}

// The parser of a type that its table alone decodes: every field of the table is
// filled, the ones the sentence does not reach with an empty value.
template <std::size_t TypeIndex>
int parseTableOnly(const ParserContext* context, const ParserEntry* entry) {
    constexpr const SentenceLayout& layout = kSentenceLayouts[TypeIndex];
    if (entry == nullptr || entry->record == nullptr)
        return layout.code;
    writeSentenceName(context);
    char* record = static_cast<char*>(entry->record);
    const int count = context->fieldCount;
    // The last field ends where the checksum or the line end begins: a text or a
    // character there must not take "*hh" with it. No parser runs after this one.
    if (count > 1) {
        for (char* p = context->fields[count - 1]; *p != '\0'; ++p) {
            if (*p == '*' || *p == '\r') {
                *p = '\0';
                break;
            }
        }
    }
    for (const FieldLayout& field : layout.fields) {
        const char* text = field.from < count ? context->fields[field.from] : "";
        switch (field.kind) {
            case FieldKind::Double:
                storeField<FieldKind::Double>(record, field.offset, text);
                break;
            case FieldKind::Int:
                storeField<FieldKind::Int>(record, field.offset, text);
                break;
            case FieldKind::Char:
                storeField<FieldKind::Char>(record, field.offset, text);
                break;
            case FieldKind::Text:
                storeField<FieldKind::Text>(record, field.offset, text);
                break;
        }
    }
    return layout.code;
}

template <std::size_t... I>
constexpr auto tableOnlyParsers(std::index_sequence<I...>) {
    return std::array<SentenceParser, sizeof...(I)>{&parseTableOnly<I>...};
}

// Indexed like kSentenceLayouts; used where a layout names no parser of its own.
constexpr auto kTableOnlyParsers =
    tableOnlyParsers(std::make_index_sequence<std::size(kSentenceLayouts)>{});

}  // namespace

int parseGll(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeGll>(c, e);
}
int parseRmc(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeRmc>(c, e);
}
int parseGga(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeGga>(c, e);
}
int parseDpt(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeDpt>(c, e);
}
int parseHdg(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeHdg>(c, e);
}
int parseMtw(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeMtw>(c, e);
}
int parseMwd(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeMwd>(c, e);
}
int parseRma(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeRma>(c, e);
}
int parseRsa(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeRsa>(c, e);
}
int parseVhw(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeVhw>(c, e);
}
int parseVlw(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeVlw>(c, e);
}
int parseXte(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeXte>(c, e);
}
int parseZda(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeZda>(c, e);
}
int parseApb(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeApb>(c, e);
}
int parseDbt(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeDbt>(c, e);
}
int parseHdt(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeHdt>(c, e);
}
int parseHsc(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeHsc>(c, e);
}
int parseMwv(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeMwv>(c, e);
}
int parseRot(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeRot>(c, e);
}
int parseRpm(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeRpm>(c, e);
}
int parseVbw(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeVbw>(c, e);
}
int parseVdr(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeVdr>(c, e);
}
int parseVtg(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeVtg>(c, e);
}

int parseVdmFields(const ParserContext* c, const ParserEntry* e) {
    return parseByTable<kCodeVdm>(c, e);
}

int parseGsa(const ParserContext* context, const ParserEntry* entry) {
    if (entry == nullptr || entry->record == nullptr)
        return kCodeGsa;
    writeSentenceName(context);
    char* record = static_cast<char*>(entry->record);
    const int count = context->fieldCount;
    // fix_mode and fix_type sit where the table says.
    fillFields<layoutIndex(kCodeGsa)>(context, record, std::make_index_sequence<2>{});

    // The satellite fields are whatever lies between fix_type and the three DOPs.
    // NMEA 4.10 appends the system ID after VDOP: with the full twelve satellite
    // fields that makes one field more, and the DOPs sit one field earlier.
    constexpr int kFirstSlot = 2;
    constexpr int kSlots = 12;
    constexpr int kWithSystemId = 1 + 2 + kSlots + 3 + 1;
    const bool systemId = count == kWithSystemId;
    const int trailing = systemId ? 1 : 0;
    const int satellites = count - 6 < kSlots ? count - 6 : kSlots;
    for (int i = 0; i < satellites; ++i) {
        storeField<FieldKind::Int>(record, kGsaFields[kFirstSlot + i].offset,
                                   context->fields[3 + i]);
    }
    for (std::size_t i = kFirstSlot + kSlots; i < std::size(kGsaFields); ++i) {
        const int from = count - trailing + kGsaFields[i].from;
        if (from >= 0)
            storeField<FieldKind::Double>(record, kGsaFields[i].offset, context->fields[from]);
    }
    static_cast<GsaRecord*>(entry->record)->system_id =
        systemId ? decimalToInt(context->fields[count - 1]) : 0;
    return kCodeGsa;
}

int parseGsv(const ParserContext* context, const ParserEntry* entry) {
    if (entry == nullptr || entry->record == nullptr)
        return kCodeGsv;
    writeSentenceName(context);
    char* record = static_cast<char*>(entry->record);
    constexpr std::size_t kFixed = 3;  // pack_count, pack_index, sat_count
    fillFields<layoutIndex(kCodeGsv)>(context, record, std::make_index_sequence<kFixed>{});
    // Every further field, in order, fills the next satellite slot.
    const int count = context->fieldCount;
    auto* gsv = static_cast<GsvRecord*>(entry->record);
    gsv->sat_fields = 0;
    gsv->empty_fields = 0;
    for (std::size_t slot = kFixed; slot < std::size(kGsvFields); ++slot) {
        const int from = static_cast<int>(slot) + 1;
        if (from >= count)
            break;
        storeField<FieldKind::Int>(record, kGsvFields[slot].offset, context->fields[from]);
        // The last field runs on into the checksum or the line end.
        const char first = context->fields[from][0];
        if (first == '\0' || first == '*' || first == '\r' || first == '\n')
            gsv->empty_fields |= 1U << (slot - kFixed);
        ++gsv->sat_fields;
    }
    // Four fields per satellite; one more is the signal ID of NMEA 4.10.
    gsv->signal_id = 0;
    if (gsv->sat_fields % 4 == 1) {
        const char digit = context->fields[kFixed + static_cast<std::size_t>(gsv->sat_fields)][0];
        if (digit >= '0' && digit <= '9')
            gsv->signal_id = digit - '0';
        else if (digit >= 'A' && digit <= 'F')
            gsv->signal_id = digit - 'A' + 10;
    }
    return kCodeGsv;
}

void registerSentenceParsers(ParserContext* context, SentenceParser vdmParser) {
    for (std::size_t i = 0; i < std::size(kSentenceLayouts); ++i) {
        const SentenceLayout& layout = kSentenceLayouts[i];
        SentenceParser parser = layout.parser ? layout.parser : kTableOnlyParsers[i];
        if (layout.code == kCodeVdm && vdmParser != nullptr)
            parser = vdmParser;
        registerParser(context, layout.formatter, parser, layout.record);
    }
}

}  // namespace nmeaz
