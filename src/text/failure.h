#pragma once

// A failure the run reports to the person at the keyboard: the text is the message box
// text, Japanese, naming the file and what went wrong. Thrown below the run, caught by it.

#include <stdexcept>
#include <string>

namespace m2v::text {

class Failure : public std::runtime_error {
 public:
  explicit Failure(std::u16string message);
  const std::u16string& message() const noexcept { return message_; }

 private:
  std::u16string message_;
};

}  // namespace m2v::text
