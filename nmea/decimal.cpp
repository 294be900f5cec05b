#include "nmea/decimal.h"

namespace nmeaz::decimal_detail {

double slowDecimalToDouble(const char* first, const char* last, int decimalExponentOfLead) {
    // std::from_chars rounds correctly for any number of digits. It leaves the value
    // untouched and reports out-of-range when the result overflows or underflows;
    // the exponent of the leading digit tells which of the two happened.
    double value = 0.0;
    const std::from_chars_result result =
        std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        return decimalExponentOfLead > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    if (result.ec != std::errc())
        return 0.0;
    return value;
}

}  // namespace nmeaz::decimal_detail
