// Whole-file writes that cannot half-happen: the new content is written to
// a temporary file beside the target, flushed to the disk, and only then
// swapped in. On any failure the target is as it was and the temporary
// file is gone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::win {

// ERROR_SUCCESS, or the code of the step that failed. A replaced file keeps
// its attributes (hidden and system included); a new file gets archive only.
DWORD ReplaceWhole(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace quorvane::win
