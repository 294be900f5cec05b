// The decoder's output: one JSON object per accepted sentence, written as UTF-8.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace decode {

// Appends the text as a JSON string literal, quotes included. Characters are written
// as UTF-8; quote, backslash and control characters are escaped (NUL as \u0000).
void appendJsonString(std::string& out, QStringView text);

// {"code": N, "key": "...", "list": [...], "text": "..."}, newline-terminated; the list
// and the text only when given.
void appendJsonLine(std::string& out, int code, QStringView key, const QStringList* list,
                    const QString* text);

}  // namespace decode
