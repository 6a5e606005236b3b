#pragma once

// The run's host on a terminal: the two fields are the command's arguments, messages go to
// the error stream, the create-folder question is answered by an option or on the terminal.

#include <iosfwd>
#include <optional>
#include <string>

#include "convert/run_host.h"

namespace m2v::cli {

class TerminalHost : public convert::RunHost {
 public:
  // `answer` stands for the person's answer to the question; without it the question is
  // asked on `in` when `interactive`, and answered No otherwise.
  TerminalHost(std::u16string source, std::u16string destination, std::optional<bool> answer,
               bool interactive, std::istream& in, std::ostream& err);

  std::u16string SourceText() override { return source_; }
  std::u16string DestinationText() override { return destination_; }
  void SetMessageLine(std::u16string_view text) override;
  void ProcessPendingEvents() override {}
  void ShowMessage(std::u16string_view text, convert::MessageIcon icon,
                   std::u16string_view title) override;
  bool AskYesNo(std::u16string_view text) override;
  void SelectDestinationText() override {}
  void SetBusy(bool) override {}
  void ReportFailure(std::u16string_view text) override;

  // The texts of the message boxes and the failure shown so far, one after another: why a
  // run was refused or failed, for the report.
  const std::u16string& shown() const { return shown_; }

 private:
  void Keep(std::u16string_view text);

  std::u16string source_;
  std::u16string destination_;
  std::optional<bool> answer_;
  bool interactive_;
  std::istream& in_;
  std::ostream& err_;
  std::u16string shown_;
};

}  // namespace m2v::cli
