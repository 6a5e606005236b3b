#pragma once

// Everything a conversion run shows a person or asks of one goes through this interface:
// the window implements it with widgets, the command line with the terminal, the tests
// with a recording fake.

#include <string>
#include <string_view>

namespace m2v::convert {

enum class MessageIcon { kNone, kInformation, kExclamation };

class RunHost {
 public:
  virtual ~RunHost() = default;

  // The source field (Text1) and the destination field (Text2), as they stand now.
  virtual std::u16string SourceText() = 0;
  virtual std::u16string DestinationText() = 0;

  // The message line (Label3).
  virtual void SetMessageLine(std::u16string_view text) = 0;
  // Lets the window handle its pending events once, so the message line is drawn.
  virtual void ProcessPendingEvents() = 0;
  // A message box with an OK button; an empty title means the application's own.
  virtual void ShowMessage(std::u16string_view text, MessageIcon icon,
                           std::u16string_view title) = 0;
  // A question box with Yes and No and no title of its own; true for Yes.
  virtual bool AskYesNo(std::u16string_view text) = 0;
  // Gives the destination field the focus and selects its whole text.
  virtual void SelectDestinationText() = 0;
  // The wait cursor on or off.
  virtual void SetBusy(bool busy) = 0;
  // A failure after the checks: one message box naming the file and what went wrong.
  virtual void ReportFailure(std::u16string_view text) = 0;
};

}  // namespace m2v::convert
