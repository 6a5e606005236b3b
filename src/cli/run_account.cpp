#include "cli/run_account.h"

#include <algorithm>
#include <ctime>
#include <ostream>

#include "cli/command_support.h"
#include "common/text_file.h"
#include "common/version.h"
#include "convert/sha256.h"
#include "platform/platform.h"
#include "text/failure.h"
#include "text/text_util.h"
#include "text/utf.h"

namespace m2v::cli {
namespace {

using text::Utf16ToUtf8;
using text::Utf8ToUtf16;

// The hash of a file as the report shows it; a file that cannot be read is said so.
std::u16string FileHash(const std::u16string& path) {
  try {
    return Utf8ToUtf16(convert::Sha256Hex(common::ReadFileBytes(path)));
  } catch (const text::Failure&) {
    return u"（読めません）";
  }
}

// Messages may hold line ends; a report line must not.
std::u16string OneLine(std::u16string text) {
  for (char16_t& c : text) {
    if (c == u'\n' || c == u'\r') c = u' ';
  }
  return text;
}

}  // namespace

std::u16string LearnedText(const coding::LearnedSoilName& learned) {
  return learned.code + u" " + learned.name +
         (learned.kind == coding::LearnedSoilName::Kind::kNewUserCode
              ? u"（新しいユーザーコード）"
              : u"（XKISHITU.TXT から採用）");
}

void ListAccount(const convert::RunResult& result, std::ostream& out) {
  for (const std::u16string& file : result.files_written) out << TerminalText(file) << '\n';
  for (const coding::LearnedSoilName& learned : result.learned) {
    out << "土質名を学習: " << TerminalText(LearnedText(learned)) << '\n';
  }
}

std::u16string LocalTimeText(std::chrono::system_clock::time_point when) {
  const std::time_t time = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &time);
#else
  localtime_r(&time, &local);
#endif
  char date[32];
  char offset[16];
  const std::size_t date_size = std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  const std::size_t offset_size = std::strftime(offset, sizeof offset, "%z", &local);
  std::string text(date, date_size);
  // strftime gives "+0900"; ISO 8601 readers expect "+09:00".
  if (offset_size == 5) {
    text += std::string_view(offset, 3);
    text += ':';
    text += std::string_view(offset + 3, 2);
  }
  return Utf8ToUtf16(text);
}

std::optional<std::u16string> ReportPathProblem(const std::u16string& report,
                                                const std::vector<std::u16string>& sources,
                                                const std::vector<std::u16string>& output_folders,
                                                const std::u16string& pattern_folder) {
  const std::u16string quoted = u"--report のファイル「" + report + u"」は";
  for (const std::u16string& source : sources) {
    if (platform::SamePath(report, source)) {
      return quoted + u"変換元ファイルです。別のファイルを指定してください。";
    }
  }
  for (std::u16string folder : output_folders) {
    if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
    for (const char16_t* name : convert::kOutputFiles) {
      // The work file each output is written through first is no place for it either.
      for (const std::u16string& file : {folder + name, folder + name + u".tmp"}) {
        if (platform::SamePath(report, file)) {
          return quoted + u"変換で書き出すファイルです。別のファイルを指定してください。";
        }
      }
    }
  }
  const std::u16string full = platform::FullPath(report);
  const std::size_t slash = full.find_last_of(u'\\');
  if (slash != std::u16string::npos &&
      platform::SamePath(full.substr(0, std::max<std::size_t>(slash, 3)), pattern_folder)) {
    return quoted +
           u"パターンフォルダの中にあります。土質テーブルを守るため、"
           u"別のフォルダを指定してください。";
  }
  return std::nullopt;
}

bool StartReport(const std::u16string& report, const std::vector<std::u16string>& sources,
                 const std::vector<std::u16string>& output_folders,
                 const std::u16string& pattern_folder, std::ostream& err) {
  if (const std::optional<std::u16string> problem =
          ReportPathProblem(report, sources, output_folders, pattern_folder)) {
    err << "エラー: " << TerminalText(*problem) << '\n';
    return false;
  }
  try {
    WriteReport(report, pattern_folder, {}, std::chrono::system_clock::now());
  } catch (const text::Failure& failure) {
    std::u16string message = failure.message();
    std::replace(message.begin(), message.end(), u'\n', u' ');
    err << "エラー: " << TerminalText(message) << "（--report のファイルを作成できません）\n";
    return false;
  }
  return true;
}

void WriteReport(const std::u16string& path, const std::u16string& pattern_folder,
                 const std::vector<SurveyAccount>& surveys,
                 std::chrono::system_clock::time_point when) {
  common::TextWriter report = common::TextWriter::Create(path);
  report.WriteLine(u"mirta2vesk 変換レポート");
  report.WriteLine(u"バージョン: " + Utf8ToUtf16(M2V_VERSION));
  report.WriteLine(u"作成日時: " + LocalTimeText(when));
  report.WriteLine(u"パターンフォルダ: " + pattern_folder);
  for (const SurveyAccount& survey : surveys) {
    report.WriteLine(u"");
    report.WriteLine(u"変換元: " + survey.source);
    // The hash of the bytes converted, which the file may no longer hold.
    report.WriteLine(u"変換元の SHA-256: " + (survey.result.source_sha256.empty()
                                                  ? FileHash(survey.source)
                                                  : Utf8ToUtf16(survey.result.source_sha256)));
    report.WriteLine(u"変換先: " + survey.destination);
    std::u16string outcome = u"結果: " + OutcomeText(survey.outcome);
    if (!survey.reason.empty()) outcome += u"（" + OneLine(survey.reason) + u"）";
    report.WriteLine(outcome);
    report.WriteLine(u"学習した土質名: " +
                     text::DecimalText(static_cast<long long>(survey.result.learned.size())) +
                     u" 件");
    for (const coding::LearnedSoilName& learned : survey.result.learned) {
      report.WriteLine(u"  " + LearnedText(learned));
    }
    report.WriteLine(u"書き出したファイル: " +
                     text::DecimalText(static_cast<long long>(survey.result.files_written.size())) +
                     u" 件");
    for (const std::u16string& file : survey.result.files_written) {
      report.WriteLine(u"  " + file + u"  SHA-256 " + FileHash(file));
    }
  }
  report.Close();
}

}  // namespace m2v::cli
