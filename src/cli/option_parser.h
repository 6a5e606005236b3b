#pragma once

// The command line of every command of mirta2vesk-cli, read against a table of its options.
// Options may stand anywhere among the operands; "--" ends them, so that a file whose name
// begins with "-" can be named.

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace m2v::cli {

// Where an option goes. A flag is set when the option is given. A value is the argument
// after the option, whatever it looks like. An answer is one of several options writing
// one place; two that write different answers cannot both be given.
struct Flag {
  bool* target;
};
struct Value {
  std::optional<std::u16string>* target;
};
struct Answer {
  std::optional<bool>* target;
  bool value;
};

struct OptionRule {
  std::string_view name;  // "--patdat"
  std::variant<Flag, Value, Answer> goes_to;
};

// The operands, in order, after setting what the options name; nullopt after printing
// what is wrong (an unknown option, a value missing, two answers that exclude each other).
std::optional<std::vector<std::u16string>> ParseOptions(const std::vector<std::string>& args,
                                                        std::span<const OptionRule> rules,
                                                        std::ostream& err);

}  // namespace m2v::cli
