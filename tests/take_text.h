// Texts that the code under test hands over in blocks of its own, as strings.
#pragma once

#include <cstdlib>
#include <string>

// Copies the text (empty for null) and frees its block.
inline std::string take_text(char* text) {
    std::string copy = text ? text : "";
    free(text);
    return copy;
}
