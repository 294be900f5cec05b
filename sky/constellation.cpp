#include "sky/constellation.h"

namespace sky {

Constellation constellationOfTalker(char first, char second) {
    if (first == 'B' && second == 'D')
        return Constellation::BeiDou;
    if (first != 'G')
        return Constellation::Other;
    switch (second) {
        case 'P':
            return Constellation::Gps;
        case 'L':
            return Constellation::Glonass;
        case 'A':
            return Constellation::Galileo;
        case 'B':
            return Constellation::BeiDou;
        case 'Q':
            return Constellation::Qzss;
        case 'I':
            return Constellation::NavIC;
        default:
            return Constellation::Other;
    }
}

Constellation constellationOfSystemId(int id) {
    switch (id) {
        case 1:
            return Constellation::Gps;
        case 2:
            return Constellation::Glonass;
        case 3:
            return Constellation::Galileo;
        case 4:
            return Constellation::BeiDou;
        case 5:
            return Constellation::Qzss;
        case 6:
            return Constellation::NavIC;
        default:
            return Constellation::Other;
    }
}

Constellation constellationOfNumber(int number) {
    if (number >= 1 && number <= 32)
        return Constellation::Gps;
    if (number >= 33 && number <= 64)
        return Constellation::Sbas;
    if (number >= 65 && number <= 96)
        return Constellation::Glonass;
    if (number >= 193 && number <= 200)
        return Constellation::Qzss;
    if (number >= 201 && number <= 235)
        return Constellation::BeiDou;
    if (number >= 301 && number <= 336)
        return Constellation::Galileo;
    return Constellation::Other;
}

const char* constellationName(Constellation c) {
    switch (c) {
        case Constellation::Gps:
            return "GPS";
        case Constellation::Glonass:
            return "GLONASS";
        case Constellation::Galileo:
            return "Galileo";
        case Constellation::BeiDou:
            return "BeiDou";
        case Constellation::Qzss:
            return "QZSS";
        case Constellation::NavIC:
            return "NavIC";
        case Constellation::Sbas:
            return "SBAS";
        case Constellation::Other:
            break;
    }
    return "Other";
}

}  // namespace sky
