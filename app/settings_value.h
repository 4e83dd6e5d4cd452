// How a setting's text stands in config.ini: as it is where the ANSI code page holds it, else
// in the "utf-8:" form, which never holds a line break or another control character.
#pragma once

#include <string>
#include <string_view>

namespace mv {

inline constexpr std::string_view kUtf8ValuePrefix = "utf-8:";

// The value to store for text. Text that the ANSI code page holds exactly (ansiHoldsText)
// and that holds no control character and does not begin with kUtf8ValuePrefix is stored as
// it is; any other text as kUtf8ValuePrefix and its UTF-8 bytes, each byte outside printable
// ASCII and each '%' as %XX ("utf-8:C:\Users\%D0%90..."), so that every text reads back as it
// was written and no value can break its line.
std::string EncodeSettingsValue(std::string_view text, bool ansiHoldsText);

// The text a stored value stands for. False when that text holds a control character (a CR
// or LF would become lines and keys of their own once written back): the value is to be
// taken as absent.
bool DecodeSettingsValue(std::string_view value, std::string& text);

}  // namespace mv
