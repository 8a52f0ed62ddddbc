// The UTF-8 <-> UTF-16 boundary of the Windows side.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/ProfileText.h"

namespace quorvane::win {

// Lone surrogates are kept (LoneSurrogates::kKeep): text that comes back
// from Narrow goes back through Wide unit for unit.
std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// The system's description of an error code, without the trailing line
// break and full stop (the error box adds its own).
std::string SystemErrorText(DWORD code);

// The system's ANSI code page, for 8-bit profile files.
class SystemAnsiCodec : public AnsiCodec {
public:
    bool FromUtf8(std::string_view utf8, std::string& ansi) const override;
    std::string ToUtf8(std::string_view ansi) const override;
};

}  // namespace quorvane::win
