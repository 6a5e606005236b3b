#pragma once

// What the commands of mirta2vesk-cli share: the usage text, the pattern folder, terminal
// text.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace m2v::cli {

extern const char kUsage[];

// The pattern folder as the run wants it: drive-form, ending with "\".
std::u16string PatternFolderFrom(const std::u16string& typed);

// The pattern folder named by --patdat or, without it, by the settings file; nullopt after
// printing why there is none: the folder --patdat names as typed, or else the window's
// start-up message. `read_only` leaves an empty settings file in place.
std::optional<std::u16string> ResolvePatternFolder(const std::optional<std::u16string>& patdat,
                                                   bool read_only, std::ostream& err);

// UTF-8 for a terminal, with every control character but the line end written as "\x1B",
// so that text taken from a survey or a table (a soil name, a path) cannot drive the terminal.
std::string TerminalText(std::u16string_view text);

}  // namespace m2v::cli
