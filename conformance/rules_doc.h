// docs/conformance.md, written from the rule table, the field domains and the field
// counts, with the finding each rule's example gives.
#pragma once

#include <string>

namespace conformance {

std::string conformanceMarkdown();

}  // namespace conformance
