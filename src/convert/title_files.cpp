#include "convert/title_files.h"

#include "common/text_file.h"
#include "text/text_util.h"

namespace m2v::convert {
namespace {

void WriteList(const std::u16string& path, const std::vector<std::u16string>& list,
               std::size_t lines) {
  common::TextWriter out = common::TextWriter::Create(path);
  for (std::size_t i = 1; i <= lines; ++i) {
    out.WriteLine(i < list.size() ? text::Trim(list[i]) : std::u16string());
  }
  out.Close();
}

}  // namespace

void WriteTitleFiles(const std::vector<std::u16string>& first,
                     const std::vector<std::u16string>& second, const std::u16string& folder) {
  const std::u16string directory = folder.ends_with(u'\\') ? folder : folder + u"\\";
  WriteList(directory + u"Titl01.txt", first, 23);
  WriteList(directory + u"Titl02.txt", second, 41);
}

}  // namespace m2v::convert
