#include "convert/l23_lookup.h"

#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "common/file_cache.h"
#include "common/text_file.h"
#include "platform/platform.h"
#include "text/failure.h"
#include "text/to_narrow.h"

namespace m2v::convert {
namespace {

// Half-width katakana (alone or with its voiced mark) to the full-width letter.
const std::map<std::u16string, char16_t>& FullWidthKatakana() {
  static const std::map<std::u16string, char16_t> table = [] {
    std::map<std::u16string, char16_t> t;
    for (char16_t c = u'\u30A1'; c <= u'\u30F3'; ++c) {
      const std::u16string_view half = text::HalfWidthKatakana(c);
      if (!half.empty()) t.emplace(std::u16string(half), c);
    }
    t.emplace(u"ｳﾞ", u'ヴ');
    t.emplace(u"ｰ", u'ー');
    t.emplace(u"･", u'・');
    t.emplace(u"｡", u'。');
    t.emplace(u"｢", u'「');
    t.emplace(u"｣", u'」');
    t.emplace(u"､", u'、');
    t.emplace(u"ﾞ", u'゛');
    t.emplace(u"ﾟ", u'゜');
    return t;
  }();
  return table;
}

// One form per class of characters the comparison takes as equal: upper case, full-width
// kana, ASCII for full-width letters, digits and signs, katakana for hiragana.
std::u16string Fold(std::u16string_view text) {
  std::u16string folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'\uFF61' && c <= u'\uFF9F') {
      const auto& kana = FullWidthKatakana();
      if (i + 1 < text.size() && (text[i + 1] == u'ﾞ' || text[i + 1] == u'ﾟ')) {
        const auto voiced = kana.find(std::u16string{c, text[i + 1]});
        if (voiced != kana.end()) {
          folded.push_back(voiced->second);
          ++i;
          continue;
        }
      }
      const auto plain = kana.find(std::u16string{c});
      if (plain != kana.end()) c = plain->second;
    } else if (c >= u'\uFF01' && c <= u'\uFF5E') {
      c = static_cast<char16_t>(c - 0xFEE0);
    } else if (c == u'\u3000') {
      c = u' ';
    } else if (c >= u'\u3041' && c <= u'\u3096') {
      c = static_cast<char16_t>(c + 0x60);
    }
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 0x20);
    folded.push_back(c);
  }
  return folded;
}

}  // namespace

bool TextEqualsIgnoringCaseWidthKana(std::u16string_view a, std::u16string_view b) {
  return Fold(a) == Fold(b);
}

namespace {

// L23.txt held for the length of a run: per folded name the code of its first record, made
// from the bytes of version `indexed_version` (0: not made). A last record that the data
// ends inside leaves its failure, which a look-up meets when no record before it matches.
struct CachedL23 {
  common::CachedFile file;
  std::uint64_t indexed_version = 0;
  std::unordered_map<std::u16string, std::u16string> first;
  std::optional<std::u16string> failure_at_end;
};

thread_local std::map<std::u16string, CachedL23> t_l23;

std::u16string LookupCached(const std::u16string& path, std::u16string_view key) {
  if (t_l23.empty()) common::OnFileCacheScopeEnd([] { t_l23.clear(); });
  CachedL23& table = t_l23[path];
  if (!table.file.Refresh(path) || table.file.bytes().empty()) return u"  ";
  if (table.indexed_version != table.file.version()) {
    table.indexed_version = 0;
    table.first.clear();
    table.failure_at_end.reset();
    common::FieldReader reader = common::FieldReader::FromBytes(path, table.file.bytes());
    while (reader.HasMoreData()) {
      std::vector<std::u16string> record;
      try {
        record = reader.ReadRecord(4);
      } catch (const text::Failure& failure) {
        table.failure_at_end = failure.message();
        break;
      }
      table.first.try_emplace(Fold(record[2]), std::move(record[0]));
    }
    table.indexed_version = table.file.version();
  }
  const auto it = table.first.find(Fold(key));
  if (it != table.first.end()) return it->second;
  if (table.failure_at_end) throw text::Failure(*table.failure_at_end);
  return u"  ";
}

}  // namespace

std::u16string LookupL23(const std::u16string& pattern_folder, std::u16string_view key) {
  const std::u16string path = pattern_folder + u"L23.txt";
  if (common::FileCachingActive()) return LookupCached(path, key);
  if (platform::FileSize(path) < 1) return u"  ";
  common::FieldReader reader = common::FieldReader::Open(path);
  const std::u16string folded_key = Fold(key);
  while (reader.HasMoreData()) {
    std::vector<std::u16string> record = reader.ReadRecord(4);
    if (Fold(record[2]) == folded_key) return record[0];
  }
  return u"  ";
}

}  // namespace m2v::convert
