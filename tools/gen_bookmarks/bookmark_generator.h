// Large, realistic Netscape-format bookmark files for benchmarks and tests:
// nested folders (some with descriptions), descriptions, URLs repeated in
// another letter case, entities, UTF-8 titles, browser attributes. The same
// count and seed always give the same bytes.
#pragma once

#include <cstdint>
#include <string>

std::string generate_bookmark_file(uint32_t bookmarks, uint64_t seed);
