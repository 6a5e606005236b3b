#pragma once

// A scripted RunHost that records every call in order, as readable UTF-8 lines.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "convert/run_host.h"
#include "text/utf.h"

namespace m2v::test {

class RecordingHost : public convert::RunHost {
 public:
  RecordingHost(std::u16string source, std::u16string destination)
      : source(std::move(source)), destination(std::move(destination)) {}

  std::u16string SourceText() override { return source; }
  std::u16string DestinationText() override { return destination; }
  void SetMessageLine(std::u16string_view text) override {
    message_line = text;
    Record("line", text);
  }
  void ProcessPendingEvents() override { calls.push_back("events"); }
  void ShowMessage(std::u16string_view text, convert::MessageIcon icon,
                   std::u16string_view title) override {
    static const char* const kIcons[] = {"none", "information", "exclamation"};
    calls.push_back(std::string("box ") + kIcons[static_cast<int>(icon)] + " [" +
                    text::Utf16ToUtf8(title) + "] " + text::Utf16ToUtf8(text));
  }
  bool AskYesNo(std::u16string_view text) override {
    Record("ask", text);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void SelectDestinationText() override { calls.push_back("select"); }
  void SetBusy(bool busy) override { calls.push_back(busy ? "busy on" : "busy off"); }
  void ReportFailure(std::u16string_view text) override { Record("failure", text); }

  std::u16string source;
  std::u16string destination;
  std::deque<bool> answers;
  std::u16string message_line;
  std::vector<std::string> calls;

 private:
  void Record(const char* what, std::u16string_view text) {
    calls.push_back(std::string(what) + " " + text::Utf16ToUtf8(text));
  }
};

// A recording host that can act on the world the moment the run turns the cursor busy,
// which is right after the last check.
class HookHost : public RecordingHost {
 public:
  using RecordingHost::RecordingHost;
  void SetBusy(bool busy) override {
    if (busy && on_busy) on_busy();
    RecordingHost::SetBusy(busy);
  }
  std::function<void()> on_busy;
};

}  // namespace m2v::test
