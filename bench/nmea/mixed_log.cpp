#include "mixed_log.h"

#include "nmea/checksum.h"
#include "nmea/sentence_fields.h"

#include <cstdio>
#include <cstring>
#include <random>

namespace nmeaz::bench {

namespace {

bool isRegisteredType(const char* sentence) {
    for (const SentenceLayout& layout : kSentenceLayouts) {
        if (std::strncmp(layout.formatter, sentence + 3, 3) == 0) {
            return true;
        }
    }
    return false;
}

std::string withChecksum(const std::string& body) {
    return framedSentence(body[0], std::string_view(body).substr(1));
}

// One second of a vessel's traffic; values vary with the second so that the number
// conversions see different digits.
void appendSecond(std::string& out, int& sentences, int second, std::mt19937& random) {
    char b[256];
    const int hh = 12 + second / 3600 % 12;
    const int mm = second / 60 % 60;
    const int ss = second % 60;
    const double lat = 4807.038 + (random() % 1000) / 1000.0;
    const double lon = 1131.0 + (random() % 1000) / 1000.0;
    // A sentence counts as supported when a registration takes its formatter (any
    // talker, as the framer matches), so the count follows the registrations.
    auto add = [&] {
        out += withChecksum(b);
        sentences += isRegisteredType(b);
    };
    std::snprintf(b, sizeof b, "$GPGGA,%02d%02d%02d.00,%.4f,N,%09.4f,E,1,08,0.9,545.4,M,46.9,M,,",
                  hh, mm, ss, lat, lon);
    add();
    std::snprintf(b, sizeof b,
                  "$GPRMC,%02d%02d%02d.00,A,%.4f,N,%09.4f,E,022.4,084.4,230394,003.1,W,A", hh, mm,
                  ss, lat, lon);
    add();
    std::snprintf(b, sizeof b, "$GPGLL,%.4f,N,%09.4f,E,%02d%02d%02d.00,A,A", lat, lon, hh, mm, ss);
    add();
    std::snprintf(b, sizeof b, "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
    add();
    std::snprintf(b, sizeof b, "$GPGSV,3,%d,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
                  1 + second % 3);
    add();
    std::snprintf(b, sizeof b, "$GPVTG,%05.1f,T,034.4,M,005.5,N,010.2,K,A", (second % 3600) / 10.0);
    add();
    std::snprintf(b, sizeof b, "$GPZDA,%02d%02d%02d.00,04,07,2010,-05,30", hh, mm, ss);
    add();
    std::snprintf(b, sizeof b, "!AIVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0");
    add();
    std::snprintf(b, sizeof b,
                  "!AIVDM,2,1,%d,B,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0",
                  second % 10);
    add();
    std::snprintf(b, sizeof b, "!AIVDM,2,2,%d,B,88888888880,2", second % 10);
    add();
    std::snprintf(b, sizeof b, "$SDDBT,%.1f,f,%.1f,M,%.1f,F", 25.6 + ss, 7.8 + ss, 4.3 + ss);
    add();
    std::snprintf(b, sizeof b, "$SDDPT,%.1f,0.5,100", 7.8 + ss);
    add();
    std::snprintf(b, sizeof b, "$HCHDG,%.1f,0.0,E,12.6,W", 98.3 + ss);
    add();
    std::snprintf(b, sizeof b, "$HEHDT,%.2f,T", 274.07 + ss);
    add();
    std::snprintf(b, sizeof b, "$IIMWV,%.1f,R,%.1f,N,A", 214.8 + ss, 12.1);
    add();
    std::snprintf(b, sizeof b, "$IIMWD,%.1f,T,%.1f,M,5.2,N,2.6,M", 12.0 + ss, 14.0 + ss);
    add();
    std::snprintf(b, sizeof b, "$YXMTW,%.2f,C", 17.75);
    add();
    std::snprintf(b, sizeof b, "$VWVHW,245.1,T,245.1,M,%.1f,N,12.0,K", 6.5);
    add();
    std::snprintf(b, sizeof b, "$VWVLW,%.1f,N,3.4,N,5.6,N,7.8,N", 1234.5 + second);
    add();
    std::snprintf(b, sizeof b, "$TIROT,%.1f,A", -2.5);
    add();
    std::snprintf(b, sizeof b, "$IIRSA,10.5,A,-3.2,A");
    add();
    std::snprintf(b, sizeof b, "$ERRPM,E,2,%.1f,45.0,A", 1800.5);
    add();
    std::snprintf(b, sizeof b, "$VDVBW,1.1,0.2,A,1.3,0.4,A,0.5,A,0.6,V");
    add();
    std::snprintf(b, sizeof b, "$IIVDR,10.1,T,12.3,M,1.2,N");
    add();
    std::snprintf(b, sizeof b, "$IIHSC,%.1f,T,2.0,M", 1.0 + ss);
    add();
    std::snprintf(b, sizeof b, "$GPXTE,A,A,0.67,L,N,A");
    add();
    std::snprintf(b, sizeof b, "$GPAPB,A,A,0.10,R,N,V,V,011,M,0042,011,M,011,M,A");
    add();
    std::snprintf(b, sizeof b, "$GPRMA,A,4916.45,N,12311.12,W,1.2,2.3,5.5,54.7,3.1,E,A");
    add();
    // Types without a parser (today): consumed and dropped.
    std::snprintf(b, sizeof b, "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V");
    add();
    std::snprintf(b, sizeof b, "$PGRME,15.0,M,45.0,M,25.0,M");
    add();
}

}  // namespace

MixedLog buildMixedLog(std::size_t targetBytes) {
    MixedLog log;
    std::mt19937 random(1);
    for (int second = 0; log.bytes.size() < targetBytes; ++second) {
        appendSecond(log.bytes, log.sentences, second, random);
    }
    return log;
}

}  // namespace nmeaz::bench
