#include "cli/command_support.h"

#include <ostream>

#include "convert/pattern_folder_setting.h"
#include "platform/platform.h"
#include "text/utf.h"

namespace m2v::cli {

const char kUsage[] =
    "使い方:\n"
    "  mirta2vesk-cli [--patdat DIR] [--yes|--no] [--report FILE] SOURCE DEST\n"
    "  mirta2vesk-cli check [--json] [--patdat DIR] SOURCE...\n"
    "  mirta2vesk-cli check --tables [--json] [--patdat DIR] [SOURCE...]\n"
    "  mirta2vesk-cli batch --into DEST_ROOT [--patdat DIR] [--report FILE] SOURCE...\n"
    "  SOURCE   変換元ファイル (.ddf)\n"
    "  DEST     変換先フォルダ (D:\\SURVEY\\HOLE1 の形、またはホストのパス)\n"
    "  --patdat DIR     パターンフォルダ (省略時は PatdatV5.ini の設定)\n"
    "  --yes / --no     変換先フォルダがないときの「新規作成しますか？」への答え\n"
    "  --report FILE    学習した土質名と書き出したファイルを SHA-256 つきで FILE に記録\n"
    "  --               以降をオプションとして読まない (「-」で始まるファイル名のため)\n"
    "  check            何も書かずに変換元ファイルの問題をすべて挙げる (--json で JSON)\n"
    "  --tables         check で土質テーブル KISHITU.TXT と XKISHITU.TXT の問題も挙げる\n"
    "  batch            各 SOURCE を DEST_ROOT\\<ファイル名>\\ に変換し、最後に集計する\n"
    "終了コード: 0 変換完了 (check: エラーなし), 1 チェックで中止 (check: エラーあり),\n"
    "            2 使い方の誤り, 3 変換中のエラー\n";

std::u16string PatternFolderFrom(const std::u16string& typed) {
  std::u16string folder = platform::ToDriveForm(typed);
  if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
  return folder;
}

std::optional<std::u16string> ResolvePatternFolder(const std::optional<std::u16string>& patdat,
                                                   bool read_only, std::ostream& err) {
  const std::u16string setting =
      patdat ? *patdat : (read_only ? convert::PeekPatternFolder() : convert::ReadPatternFolder());
  const std::u16string folder = PatternFolderFrom(setting);
  if (convert::PatternFolderExists(folder)) return folder;
  // The start-up message points at the settings file, which --patdat stands in for; the
  // folder is named as typed, so that a mistyped name is seen.
  if (patdat && !folder.empty()) {
    err << "パターンフォルダ " << TerminalText(*patdat) << " がありません。\n";
  } else {
    err << text::Utf16ToUtf8(convert::kNoPatternFolderMessage) << '\n';
  }
  return std::nullopt;
}

std::string TerminalText(std::u16string_view text) {
  std::u16string shown;
  shown.reserve(text.size());
  for (const char16_t c : text) {
    if ((c < 0x20 && c != u'\n') || (c >= 0x7F && c < 0xA0)) {
      constexpr char kHex[] = "0123456789ABCDEF";
      shown += u"\\x";
      shown += static_cast<char16_t>(kHex[c >> 4]);
      shown += static_cast<char16_t>(kHex[c & 0xF]);
    } else {
      shown += c;
    }
  }
  return text::Utf16ToUtf8(shown);
}

}  // namespace m2v::cli
