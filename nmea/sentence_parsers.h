// The field parsers of the sentence types and their registration.
#pragma once

#include "nmea/parser_context.h"

namespace nmeaz {

// Parse codes: the number a parser returns to name the record it filled.
enum ParseCode : int {
    kCodeNone = 0,
    kCodeGga = 1,
    kCodeRmc = 2,
    kCodeGll = 3,
    kCodeDpt = 5,
    kCodeGsa = 6,
    kCodeVdm = 7,
    kCodeHdg = 8,
    kCodeMtw = 9,
    kCodeMwd = 10,
    kCodeRma = 11,
    kCodeRsa = 13,
    kCodeVhw = 14,
    kCodeVlw = 15,
    kCodeXte = 16,
    kCodeZda = 17,
    kCodeApb = 18,
    kCodeDbt = 19,
    kCodeGsv = 20,
    kCodeHdt = 21,
    kCodeHsc = 22,
    kCodeMwv = 23,
    kCodeRot = 24,
    kCodeRpm = 25,
    kCodeVbw = 26,
    kCodeVdr = 27,
    kCodeVtg = 28,
    // The types decoded by their table alone, in registration order after VTG.
    kCodeHdm = 4,
    kCodeThs = 12,
    kCodeVwr = 29,
    kCodeVwt = 30,
    kCodeVpw = 31,
    kCodeWcv = 32,
    kCodeRmb = 33,
    kCodeBod = 34,
    kCodeBwc = 35,
    kCodeBwr = 36,
    kCodeAam = 37,
    kCodeRte = 38,
    kCodeWpl = 39,
    kCodeXdr = 40,
    kCodeMda = 41,
    kCodeTxt = 42,
    kCodeGns = 43,
    kCodeGst = 44,
    kCodeGbs = 45,
    kCodeGrs = 46,
    kCodeDtm = 47,
    kCodeDbs = 48,
    kCodeDbk = 49,
    kCodeAisBase = 50,  // 50 + n: a VDM sentence completed AIS message n
};

int parseGll(const ParserContext* context, const ParserEntry* entry);
int parseRmc(const ParserContext* context, const ParserEntry* entry);
int parseGga(const ParserContext* context, const ParserEntry* entry);
int parseDpt(const ParserContext* context, const ParserEntry* entry);
int parseGsa(const ParserContext* context, const ParserEntry* entry);
int parseHdg(const ParserContext* context, const ParserEntry* entry);
int parseMtw(const ParserContext* context, const ParserEntry* entry);
int parseMwd(const ParserContext* context, const ParserEntry* entry);
int parseRma(const ParserContext* context, const ParserEntry* entry);
int parseRsa(const ParserContext* context, const ParserEntry* entry);
int parseVhw(const ParserContext* context, const ParserEntry* entry);
int parseVlw(const ParserContext* context, const ParserEntry* entry);
int parseXte(const ParserContext* context, const ParserEntry* entry);
int parseZda(const ParserContext* context, const ParserEntry* entry);
int parseApb(const ParserContext* context, const ParserEntry* entry);
int parseDbt(const ParserContext* context, const ParserEntry* entry);
int parseGsv(const ParserContext* context, const ParserEntry* entry);
int parseHdt(const ParserContext* context, const ParserEntry* entry);
int parseHsc(const ParserContext* context, const ParserEntry* entry);
int parseMwv(const ParserContext* context, const ParserEntry* entry);
int parseRot(const ParserContext* context, const ParserEntry* entry);
int parseRpm(const ParserContext* context, const ParserEntry* entry);
int parseVbw(const ParserContext* context, const ParserEntry* entry);
int parseVdr(const ParserContext* context, const ParserEntry* entry);
int parseVtg(const ParserContext* context, const ParserEntry* entry);

// The common steps for a VDM sentence: writes the current sentence name and fills
// the VdmRecord (fields 1 to 6; the payload is empty when field 5 is missing).
// Returns 7. The AIS side's parseVdm builds on it; on its own it is the VDM parser
// of a build without AIS decoding.
int parseVdmFields(const ParserContext* context, const ParserEntry* entry);

// Registers the sentence types in the order of kSentenceLayouts (GLL, RMC, GGA, DPT,
// GSA, VDM, HDG, MTW, MWD, RMA, RSA, VHW, VLW, XTE, ZDA, APB, DBT, GSV, HDT, HSC, MWV,
// ROT, RPM, VBW, VDR, VTG, then the types that their table alone decodes), each under
// its three-letter formatter with its own parser and global record; vdmParser takes
// the VDM place.
void registerSentenceParsers(ParserContext* context, SentenceParser vdmParser);

}  // namespace nmeaz
