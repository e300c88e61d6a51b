// Writing a text held whole in memory, as a file of one piece.
#include <cstring>

#include "core/whole_file.h"

namespace {

struct WholeText {
    const char* text;
    bool handed;
};

const char* hand_whole_text(void* context, size_t* length) {
    WholeText* whole = static_cast<WholeText*>(context);
    if (whole->handed) return nullptr;
    whole->handed = true;
    *length = strlen(whole->text);
    return whole->text;
}

}  // namespace

bool write_whole_file(const char* path, const char* text) {
    WholeText whole = {text, false};
    return write_whole_file_pieces(path, hand_whole_text, &whole);
}
