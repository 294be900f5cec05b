// docs/fields.md: every named-output name of every sentence type and AIS message,
// written from the descriptors. A test compares the file in the repository with this
// text, so the document cannot fall behind the tables.
#pragma once

#include <string>

namespace present {

std::string fieldsDocument();

}  // namespace present
