#include "outputs/tag_block_option.h"

#include <cstdio>

namespace outputs {

void appendTagged(QByteArray& out, QByteArrayView line, qint64 unixMs, QByteArrayView source) {
    if (line.startsWith('\\')) {
        out.append(line);
        return;
    }
    // At most "c:" + 20 digits + ",s:" + 15 characters.
    char body[48];
    int length = std::snprintf(body, sizeof body, "c:%lld", static_cast<long long>(unixMs / 1000));
    if (!source.isEmpty() && source.size() <= 15) {
        length += std::snprintf(body + length, sizeof body - static_cast<std::size_t>(length),
                                ",s:%.*s", static_cast<int>(source.size()), source.data());
    }
    unsigned char checksum = 0;
    for (int i = 0; i < length; ++i) {
        checksum ^= static_cast<unsigned char>(body[i]);
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\\", checksum);
    out.append('\\');
    out.append(body, length);
    out.append(tail);
    out.append(line);
}

}  // namespace outputs
