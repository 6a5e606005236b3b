#include "cli/option_parser.h"

#include <algorithm>
#include <ostream>

#include "cli/command_support.h"
#include "text/utf.h"

namespace m2v::cli {
namespace {

// "-" alone is a name, as it is to most tools.
bool LooksLikeOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

// "--yes と --no": the options that write one answer, in the table's order.
std::string AnswerNames(std::span<const OptionRule> rules, const std::optional<bool>* target) {
  std::string names;
  for (const OptionRule& rule : rules) {
    const Answer* answer = std::get_if<Answer>(&rule.goes_to);
    if (answer == nullptr || answer->target != target) continue;
    if (!names.empty()) names += " と ";
    names += rule.name;
  }
  return names;
}

}  // namespace

std::optional<std::vector<std::u16string>> ParseOptions(const std::vector<std::string>& args,
                                                        std::span<const OptionRule> rules,
                                                        std::ostream& err) {
  std::vector<std::u16string> operands;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || !LooksLikeOption(arg)) {
      operands.push_back(text::Utf8ToUtf16(arg));
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    const auto rule = std::find_if(rules.begin(), rules.end(),
                                   [&](const OptionRule& r) { return r.name == arg; });
    if (rule == rules.end()) {
      err << "不明なオプション: " << arg << '\n' << kUsage;
      return std::nullopt;
    }
    if (const Flag* flag = std::get_if<Flag>(&rule->goes_to)) {
      *flag->target = true;
    } else if (const Value* value = std::get_if<Value>(&rule->goes_to)) {
      if (i + 1 == args.size()) {
        err << arg << " には値を指定してください。\n" << kUsage;
        return std::nullopt;
      }
      *value->target = text::Utf8ToUtf16(args[++i]);
    } else {
      const Answer& answer = std::get<Answer>(rule->goes_to);
      if (answer.target->has_value() && **answer.target != answer.value) {
        err << AnswerNames(rules, answer.target) << " は同時に指定できません。\n";
        return std::nullopt;
      }
      *answer.target = answer.value;
    }
  }
  return operands;
}

}  // namespace m2v::cli
