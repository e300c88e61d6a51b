// Writing a file whole through a new file beside it, and the failure seam.
#include <cstdlib>
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

FileStep failing_step = FILE_STEP_NONE;

}  // namespace

bool write_whole_file(const char* path, const char* text) {
    WholeText whole = {text, false};
    return write_whole_file_pieces(path, hand_whole_text, &whole);
}

bool write_whole_file_pieces(const char* path, NextPieceFn next_piece, void* context) {
    char* written = write_file_beside(path, next_piece, context);
    if (!written) return false;
    bool replaced = replace_file(path, written, nullptr);
    if (!replaced) remove_file(written);
    free(written);
    return replaced;
}

void fail_next_file_step(FileStep step) { failing_step = step; }

bool file_step_fails(FileStep step) {
    if (step == FILE_STEP_NONE || failing_step != step) return false;
    failing_step = FILE_STEP_NONE;
    return true;
}
