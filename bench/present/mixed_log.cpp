#include "mixed_log.h"

#include <QList>

#include "nmea/checksum.h"

namespace benchlog {

namespace {

QByteArray withChecksum(const QByteArray& body, char start) {
    return QByteArray::fromStdString(nmeaz::framedSentence(start, body.toStdString()));
}

// One second of a busy line. The AIS payloads are real captures.
const QList<QByteArray> kSecond = {
    withChecksum("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", '$'),
    withChecksum("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A", '$'),
    withChecksum("GPGLL,4807.038,N,01131.000,E,123519,A,A", '$'),
    withChecksum("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1", '$'),
    withChecksum("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00", '$'),
    withChecksum("GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00", '$'),
    withChecksum("GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00", '$'),
    withChecksum("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A", '$'),
    withChecksum("GPZDA,123519.00,23,03,1994,00,00", '$'),
    withChecksum("SDDPT,2.5,0.3,100", '$'),
    withChecksum("SDDBT,7.8,f,2.4,M,1.3,F", '$'),
    withChecksum("YXMTW,17.75,C", '$'),
    withChecksum("HCHDG,98.3,0.0,E,12.6,W", '$'),
    withChecksum("HEHDT,274.07,T", '$'),
    withChecksum("IIMWV,045.0,R,12.6,N,A", '$'),
    withChecksum("WIMWD,270.0,T,265.5,M,12.4,N,6.4,M", '$'),
    withChecksum("IIVHW,245.1,T,237.3,M,5.2,N,9.6,K", '$'),
    withChecksum("IIVLW,1234.5,N,12.3,N,2345.6,N,23.4,N", '$'),
    withChecksum("TIROT,-2.5,A", '$'),
    withChecksum("IIRSA,10.5,A,-3.2,V", '$'),
    withChecksum("IIRPM,E,1,2418.2,10.5,A", '$'),
    withChecksum("GPHSC,123.4,T,120.1,M", '$'),
    withChecksum("IIVBW,12.3,0.07,A,11.5,0.1,A,0.2,A,0.3,A", '$'),
    withChecksum("IIVDR,10.1,T,12.3,M,1.2,N", '$'),
    withChecksum("GPXTE,A,A,0.67,L,N,D", '$'),
    withChecksum("GPAPB,A,A,0.10,R,N,V,V,011,M,DEST,011,M,011,M", '$'),
    withChecksum("GPRMA,A,4916.45,N,12311.12,W,1.2,3.4,5.6,78.9,3.1,E,A", '$'),
    withChecksum("AIVDM,1,1,,B,15M67FC000G?ufbE`FepT@3n00Sa,0", '!'),
    withChecksum("AIVDM,1,1,,A,38Id705000rRVJhE7cl9n;160000,0", '!'),
    withChecksum("AIVDM,1,1,,A,403OviQuMGCqWrRO9>E6fE700@GO,0", '!'),
    withChecksum("AIVDM,2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0",
                 '!'),
    withChecksum("AIVDM,2,2,1,A,88888888880,2", '!'),
    withChecksum("AIVDM,1,1,,A,91b77=h3h00nHt0Q3r@@07000<0b,0", '!'),
    withChecksum("AIVDM,1,1,,A,>5?Per18=HB1U:1@E=B0m<L,2", '!'),
    withChecksum("AIVDM,1,1,,A,B52K>;h00Fc>jpUlNV@ikwpUoP06,0", '!'),
    withChecksum("AIVDM,1,1,,B,C5N3SRgPEnJGEBT>NhWAwwo862PaLELTBJ:V00000000S0D:R220,0", '!'),
    withChecksum("AIVDM,1,1,,A,E1mg=5J1T4W0h97aRh6ba84<h2d;W:Te=eLvH50```qP,0", '!'),
    withChecksum("AIVDM,1,1,,A,H42O55i18tMET00000000000000,2", '!'),
    withChecksum("AIVDM,1,1,,A,H42O55lti4hhhilD3nink000?050,0", '!'),
    withChecksum("AIVDM,1,1,,A,85Mwp`1Kf3aCnsNvBWLi=wQuNhA5t43N`5nCuI=p<IBfVqnMgPGs,0", '!'),
};

}  // namespace

MixedLog mixedLog(qsizetype minBytes) {
    MixedLog log;
    while (log.bytes.size() < minBytes) {
        for (const QByteArray& sentence : kSecond) {
            log.bytes += sentence;
            ++log.sentences;
        }
    }
    return log;
}

}  // namespace benchlog
