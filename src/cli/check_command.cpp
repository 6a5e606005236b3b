#include "cli/check_command.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <utility>

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli/command_support.h"
#include "cli/option_parser.h"
#include "coding/soil_table_check.h"
#include "common/text_file.h"
#include "convert/sha256.h"
#include "convert/survey_check.h"
#include "platform/platform.h"
#include "text/failure.h"
#include "text/utf.h"

namespace m2v::cli {
namespace {

using convert::Finding;
using convert::Severity;
using text::Utf16ToUtf8;

struct CheckOptions {
  bool json = false;
  bool tables = false;
  std::optional<std::u16string> patdat;
  std::vector<std::u16string> sources;
};

struct FileCheck {
  std::u16string file;  // as given
  std::optional<std::size_t> size;
  std::string sha256;
  std::vector<Finding> findings;
  std::optional<coding::UserCodes> user_codes;  // the user soil table's
};

const char* SeverityId(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kInformation:
      break;
  }
  return "information";
}

const char* SeverityText(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "エラー";
    case Severity::kWarning:
      return "警告";
    case Severity::kInformation:
      break;
  }
  return "情報";
}

std::optional<CheckOptions> Parse(const std::vector<std::string>& args, std::ostream& err) {
  CheckOptions options;
  const OptionRule rules[] = {
      {"--json", Flag{&options.json}},
      {"--tables", Flag{&options.tables}},
      {"--patdat", Value{&options.patdat}},
  };
  std::optional<std::vector<std::u16string>> sources = ParseOptions(args, rules, err);
  if (!sources) return std::nullopt;
  if (sources->empty() && !options.tables) {
    err << "check には変換元ファイルを 1 つ以上指定するか、--tables を付けてください。\n" << kUsage;
    return std::nullopt;
  }
  options.sources = std::move(*sources);
  return options;
}

Finding FileError(const char* rule, std::u16string message) {
  return {Severity::kError, rule, u"", 0, std::move(message)};
}

FileCheck CheckFile(const std::u16string& typed, const std::u16string& pattern_folder) {
  FileCheck check{typed, std::nullopt, "", {}, std::nullopt};
  const std::u16string source = platform::ToDriveForm(typed);
  if (!platform::FileExists(source)) {
    check.findings.push_back(FileError("no-file", u"変換元ファイルがありません。"));
    return check;
  }
  try {
    const std::string bytes = common::ReadFileBytes(source);
    check.size = bytes.size();
    check.sha256 = convert::Sha256Hex(bytes);
    check.findings = convert::CheckSurvey(bytes, pattern_folder);
  } catch (const text::Failure& failure) {
    check.findings.push_back(FileError("unreadable", failure.message()));
  }
  return check;
}

Severity SeverityOf(coding::TableSeverity severity) {
  switch (severity) {
    case coding::TableSeverity::kError:
      return Severity::kError;
    case coding::TableSeverity::kWarning:
      return Severity::kWarning;
    case coding::TableSeverity::kInformation:
      break;
  }
  return Severity::kInformation;
}

FileCheck TableCheck(const coding::SoilTableFile& file,
                     const std::vector<coding::TableFinding>& findings) {
  FileCheck check{file.path, std::nullopt, "", {}, std::nullopt};
  if (file.exists && file.failure.empty()) {
    check.size = file.bytes.size();
    check.sha256 = convert::Sha256Hex(file.bytes);
  }
  for (const coding::TableFinding& f : findings) {
    check.findings.push_back({SeverityOf(f.severity), f.rule, u"", f.line, f.message});
  }
  return check;
}

// KISHITU.TXT and XKISHITU.TXT of the pattern folder, read as the run reads them.
std::vector<FileCheck> CheckTables(const std::u16string& pattern_folder) {
  const coding::SoilTableFiles files = coding::ReadSoilTableFiles(pattern_folder);
  const coding::SoilTableReport report = coding::CheckSoilTables(files);
  std::vector<FileCheck> checks;
  checks.push_back(TableCheck(files.soil, report.soil));
  checks.push_back(TableCheck(files.user, report.user));
  checks.back().user_codes = report.user_codes;
  return checks;
}

// One finding a line, as compilers print theirs, so that editors can jump to the line.
void PrintText(const FileCheck& check, std::ostream& out) {
  const std::string file = TerminalText(check.file);
  if (check.size) {
    out << file << ": " << *check.size << " バイト, SHA-256 " << check.sha256 << '\n';
  }
  int counts[3] = {0, 0, 0};
  for (const Finding& f : check.findings) {
    ++counts[static_cast<int>(f.severity)];
    std::u16string message = f.message;
    std::replace(message.begin(), message.end(), u'\n', u' ');
    out << file;
    if (f.line > 0) out << ':' << f.line;
    out << ": " << SeverityText(f.severity) << ": " << TerminalText(message) << " [";
    if (!f.marker.empty()) out << Utf16ToUtf8(f.marker) << ' ';
    out << f.rule << "]\n";
  }
  if (const std::optional<coding::UserCodes>& codes = check.user_codes) {
    out << file << ": ";
    if (codes->next) {
      out << "次のユーザーコード " << *codes->next << "、3999 までに残り " << codes->left
          << " 個\n";
    } else {
      out << "ユーザーコードは残っていません\n";
    }
  }
  out << file << ": エラー " << counts[0] << " 件、警告 " << counts[1] << " 件、情報 " << counts[2]
      << " 件\n";
}

void PrintJson(const FileCheck& check, std::ostream& out) {
  using Json = nlohmann::ordered_json;
  Json json;
  json["file"] = Utf16ToUtf8(check.file);
  json["size"] = check.size ? Json(*check.size) : Json();
  json["sha256"] = check.size ? Json(check.sha256) : Json();
  if (const std::optional<coding::UserCodes>& codes = check.user_codes) {
    json["next_user_code"] = codes->next ? Json(*codes->next) : Json();
    json["user_codes_left"] = codes->left;
  }
  Json& findings = json["findings"] = Json::array();
  for (const Finding& f : check.findings) {
    findings.push_back({{"severity", SeverityId(f.severity)},
                        {"severity_text", SeverityText(f.severity)},
                        {"rule", f.rule},
                        {"section", Utf16ToUtf8(f.marker)},
                        {"line", f.line},
                        {"message", Utf16ToUtf8(f.message)}});
  }
  out << json.dump() << '\n';
}

}  // namespace

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::optional<CheckOptions> options = Parse(args, err);
  if (!options) return kExitUsage;
  const std::optional<std::u16string> pattern_folder =
      ResolvePatternFolder(options->patdat, /*read_only=*/true, err);
  if (!pattern_folder) return kExitRefused;
  bool any_error = false;
  auto report = [&](const FileCheck& check) {
    any_error =
        any_error || std::any_of(check.findings.begin(), check.findings.end(),
                                 [](const Finding& f) { return f.severity == Severity::kError; });
    if (options->json) {
      PrintJson(check, out);
    } else {
      PrintText(check, out);
    }
  };
  if (options->tables) {
    for (const FileCheck& check : CheckTables(*pattern_folder)) report(check);
  }
  for (const std::u16string& source : options->sources) {
    report(CheckFile(source, *pattern_folder));
  }
  return any_error ? kExitRefused : kExitConverted;
}

}  // namespace m2v::cli
