#include "cli/cli.h"

#include <optional>
#include <ostream>

#include "cli/terminal_host.h"
#include "common/utf.h"
#include "convert/pattern_folder_setting.h"
#include "convert/run.h"
#include "platform/platform.h"

namespace m2v::cli {
namespace {

using common::Utf16ToUtf8;
using common::Utf8ToUtf16;

constexpr char kUsage[] =
    "使い方: mirta2vesk-cli [--patdat DIR] [--yes|--no] SOURCE DEST\n"
    "  SOURCE   変換元ファイル (.ddf)\n"
    "  DEST     変換先フォルダ (D:\\SURVEY\\HOLE1 の形、またはホストのパス)\n"
    "  --patdat DIR  パターンフォルダ (省略時は PatdatV5.ini の設定)\n"
    "  --yes / --no  変換先フォルダがないときの「新規作成しますか？」への答え\n"
    "終了コード: 0 変換完了, 1 チェックで中止, 2 使い方の誤り, 3 変換中のエラー\n";

struct Options {
  std::optional<std::u16string> patdat;
  std::optional<bool> answer;
  std::vector<std::u16string> operands;
};

// nullopt after printing what is wrong.
std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& err) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--patdat") {
      if (i + 1 == args.size()) {
        err << "--patdat にはフォルダを指定してください。\n" << kUsage;
        return std::nullopt;
      }
      options.patdat = Utf8ToUtf16(args[++i]);
    } else if (arg == "--yes" || arg == "--no") {
      if (options.answer && *options.answer != (arg == "--yes")) {
        err << "--yes と --no は同時に指定できません。\n";
        return std::nullopt;
      }
      options.answer = arg == "--yes";
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
      err << "不明なオプション: " << arg << '\n' << kUsage;
      return std::nullopt;
    } else {
      options.operands.push_back(Utf8ToUtf16(arg));
    }
  }
  if (options.operands.size() != 2) {
    err << kUsage;
    return std::nullopt;
  }
  return options;
}

// The pattern folder as the run wants it: drive-form, ending with "\".
std::u16string PatternFolderFrom(const std::u16string& typed) {
  std::u16string folder = platform::ToDriveForm(typed);
  if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
  return folder;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, bool interactive) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return kExitConverted;
  }
  if (!args.empty() && args[0] == "--version") {
    out << "mirta2vesk-cli " << M2V_VERSION << '\n';
    return kExitConverted;
  }
  const std::optional<Options> options = Parse(args, err);
  if (!options) return kExitUsage;

  const std::u16string pattern_folder =
      PatternFolderFrom(options->patdat ? *options->patdat : convert::ReadPatternFolder());
  if (pattern_folder.empty() || !convert::PatternFolderExists(pattern_folder)) {
    err << Utf16ToUtf8(convert::kNoPatternFolderMessage) << '\n';
    return kExitRefused;
  }

  TerminalHost host(platform::ToDriveForm(options->operands[0]),
                    platform::ToDriveForm(options->operands[1]), options->answer, interactive, in,
                    err);
  const convert::RunResult result = convert::Run({pattern_folder}, host);
  switch (result.outcome) {
    case convert::RunOutcome::kCompleted:
      for (const std::u16string& file : result.files_written) out << Utf16ToUtf8(file) << '\n';
      return kExitConverted;
    case convert::RunOutcome::kRefused:
      return kExitRefused;
    case convert::RunOutcome::kFailed:
      break;
  }
  return kExitFailed;
}

}  // namespace m2v::cli
