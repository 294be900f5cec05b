// The last source that opened and its speed, kept in the user's settings so the
// next start preselects them.
#pragma once

#include <QString>

namespace sources {

struct RememberedSource {
    QString text;  // as the user gave it: COM3, tcp://..., file:...
    int baud = 4800;
};

RememberedSource rememberedSource();
void rememberSource(const QString& text, int baud);

// Strict framing: read exactly the sentence format, dropping sentences that end in LF
// alone or CR CR LF, write lower-case checksum digits or carry data after the
// checksum. Off unless chosen; remembered across runs.
bool strictFramingChosen();
void rememberStrictFraming(bool strict);

}  // namespace sources
