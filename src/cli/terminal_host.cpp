#include "cli/terminal_host.h"

#include <istream>
#include <ostream>

#include "cli/command_support.h"
#include "convert/run.h"

namespace m2v::cli {

TerminalHost::TerminalHost(std::u16string source, std::u16string destination,
                           std::optional<bool> answer, bool interactive, std::istream& in,
                           std::ostream& err)
    : source_(std::move(source)),
      destination_(std::move(destination)),
      answer_(answer),
      interactive_(interactive),
      in_(in),
      err_(err) {}

void TerminalHost::SetMessageLine(std::u16string_view text) {
  // Progress and completion only; clearing the line has nothing to show here.
  if (!text.empty()) err_ << TerminalText(text) << '\n';
}

void TerminalHost::ShowMessage(std::u16string_view text, convert::MessageIcon,
                               std::u16string_view title) {
  if (!title.empty()) err_ << '[' << TerminalText(title) << "] ";
  err_ << TerminalText(text) << '\n';
  Keep(text);
}

bool TerminalHost::AskYesNo(std::u16string_view text) {
  err_ << TerminalText(text);
  if (answer_) {
    err_ << (*answer_ ? " はい" : " いいえ") << '\n';
    return *answer_;
  }
  if (!interactive_) {
    err_ << " いいえ（端末がないため。--yes で作成します）\n";
    return false;
  }
  err_ << " [y/N] " << std::flush;
  std::string reply;
  std::getline(in_, reply);
  return reply == "y" || reply == "Y" || reply == "yes";
}

void TerminalHost::ReportFailure(std::u16string_view text) {
  err_ << "エラー: " << TerminalText(text) << '\n';
  Keep(text);
}

void TerminalHost::Keep(std::u16string_view text) {
  if (!shown_.empty()) shown_ += u' ';
  shown_ += text;
}

}  // namespace m2v::cli
