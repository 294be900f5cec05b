#include "lint.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace decode {

namespace {

// Appends `text` as the body of a JSON string; bytes outside printable ASCII are
// escaped as the code points of their Latin-1 reading, so the output stays valid.
void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u > 0x7E) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
}

}  // namespace

void Lint::startFile() {
    lineNumber_ = 0;
    pending_.clear();
    pendingCut_ = false;
    checker_.reset();
}

void Lint::feed(const char* data, std::size_t size) {
    std::size_t start = 0;
    while (start < size) {
        const void* found = std::memchr(data + start, '\n', size - start);
        const std::size_t end =
            found == nullptr ? size
                             : static_cast<std::size_t>(static_cast<const char*>(found) - data) + 1;
        const std::string_view piece(data + start, end - start);
        const bool complete = found != nullptr;
        if (pending_.empty() && complete) {
            checkLine(piece.size() > kMaxLine ? piece.substr(0, kMaxLine) : piece);
        } else {
            const std::size_t room = kMaxLine - std::min(kMaxLine, pending_.size());
            pending_.append(piece.substr(0, room));
            if (complete) {
                checkLine(pending_);
                pending_.clear();
            }
        }
        start = end;
    }
}

void Lint::finishFile() {
    if (!pending_.empty()) {
        checkLine(pending_);
        pending_.clear();
    }
}

void Lint::checkLine(std::string_view line) {
    ++lineNumber_;
    std::string_view sentence = line;
    if (!sentence.empty() && sentence[0] == '\\') {
        // A TAG block: the sentence follows its closing backslash.
        const std::size_t close = sentence.find('\\', 1);
        if (close == std::string_view::npos)
            return;
        sentence.remove_prefix(close + 1);
    }
    if (sentence.empty() || (sentence[0] != '$' && sentence[0] != '!'))
        return;
    ++sentences_;
    if (checker_.check(sentence, findings_) == 0)
        return;

    std::size_t bodyEnd = sentence.size();
    while (bodyEnd > 0 && (sentence[bodyEnd - 1] == '\r' || sentence[bodyEnd - 1] == '\n'))
        --bodyEnd;
    const std::string_view text = sentence.substr(0, bodyEnd);
    std::size_t keyEnd = 1;
    while (keyEnd < text.size() && keyEnd < 16 && text[keyEnd] != ',' && text[keyEnd] != '*')
        ++keyEnd;
    const std::string_view key = text.substr(0, keyEnd);

    for (const conformance::Finding& finding : findings_) {
        const conformance::Rule& rule = conformance::ruleOf(finding.rule);
        ++byRule_[static_cast<std::size_t>(finding.rule)];
        if (finding.severity == conformance::Severity::Error)
            ++errors_;
        else
            ++warnings_;
        out_ += "{\"line\": ";
        out_ += std::to_string(lineNumber_);
        out_ += ", \"key\": \"";
        appendEscaped(out_, key);
        out_ += "\", \"rule\": \"";
        out_ += rule.name;
        out_ += "\", \"severity\": \"";
        out_ += conformance::severityName(finding.severity);
        out_ += "\", \"field\": ";
        if (finding.field >= 0) {
            out_ += std::to_string(finding.field);
            out_ += ", \"name\": \"";
            out_ += finding.fieldName != nullptr ? finding.fieldName : "";
            out_ += '"';
        } else {
            out_ += "null, \"name\": null";
        }
        out_ += ", \"message\": \"";
        appendEscaped(out_, finding.message.data());
        out_ += "\", \"sentence\": \"";
        appendEscaped(out_, text);
        out_ += "\"}\n";
    }
}

std::string Lint::summaryLine() const {
    std::string out = "{\"summary\": {\"sentences\": " + std::to_string(sentences_) +
                      ", \"errors\": " + std::to_string(errors_) +
                      ", \"warnings\": " + std::to_string(warnings_) + ", \"rules\": {";
    bool first = true;
    for (const conformance::Rule& rule : conformance::kRules) {
        const long count = byRule_[static_cast<std::size_t>(rule.id)];
        if (count == 0)
            continue;
        if (!first)
            out += ", ";
        first = false;
        out += '"';
        out += rule.name;
        out += "\": ";
        out += std::to_string(count);
    }
    out += "}}}\n";
    return out;
}

}  // namespace decode
