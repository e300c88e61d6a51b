#pragma once

#include <string>

#include "core/containers.h"
#include "search/keyword_index.h"

// Empty when the index and the records (Bookmark*, every live record) agree:
// entries in strict byte order, each with a non-empty record list in strict
// identity order; a record is in an entry's list exactly when the entry is in
// the record's keyword set; no set holds an entry twice. Else the first problem.
std::string check_keyword_index(const KeywordIndex* index, const PtrVector* records);
