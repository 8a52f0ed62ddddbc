// Whole-file writes that cannot half-happen: the new content is written to
// a temporary file beside the target, flushed to the disk, and only then
// swapped in. On any failure the target is as it was and the temporary
// file is gone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvane::win {

// The two calls of a swap after which the former file may be under its
// backup name: ReplaceFileW, and the move that puts the file back when it
// failed half-way. Tests stand in for them to make both fail.
struct SwapCalls {
    std::function<BOOL(LPCWSTR target, LPCWSTR replacement, LPCWSTR backup)> replace = [](LPCWSTR target,
                                                                                          LPCWSTR replacement,
                                                                                          LPCWSTR backup) {
        return ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    };
    std::function<BOOL(LPCWSTR backup, LPCWSTR target)> moveBack = [](LPCWSTR backup, LPCWSTR target) {
        return MoveFileExW(backup, target, MOVEFILE_WRITE_THROUGH);
    };
};

// What a replacement came to: ERROR_SUCCESS or the code of the step that
// failed, and whether the target is still where it was. After a swap that
// failed half-way and could not be undone it is not: the former file is
// under the backup name, and nothing may be tried on the target again.
struct Outcome {
    DWORD error = ERROR_SUCCESS;
    bool targetInPlace = true;
};

// A replaced file keeps its attributes (hidden and system included); a new
// file gets archive only.
Outcome ReplaceWhole(const std::string& path, const std::vector<uint8_t>& bytes, const SwapCalls& calls = {});

}  // namespace quorvane::win
