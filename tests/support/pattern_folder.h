#pragma once

// A pattern folder on drive D: of a temporary drive table, for the coding and run tests.

#include <string>
#include <string_view>
#include <vector>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace m2v::test {

class PatternFolderFixture {
 public:
  PatternFolderFixture() : drives_(dir_ / "sys") {
    drives_.MapDrive('D', dir_ / "d");
    patdat = At(u"PATDAT\\");
  }

  // Host path of a file of the pattern folder D:\PATDAT\.
  std::filesystem::path Table(std::string_view name) const { return dir_ / "d" / "PATDAT" / name; }
  void WriteTable(std::string_view name, const std::vector<std::string_view>& utf8_lines) const {
    WriteBytes(Table(name), SjisLines(utf8_lines));
  }
  std::string TableBytes(std::string_view name) const { return ReadBytes(Table(name)); }
  std::filesystem::path Marker() const { return dir_ / "sys" / "PATADD.txt"; }
  std::filesystem::path Host(std::string_view rel) const { return dir_ / "d" / rel; }
  // The drive-form path of a file below D:\ ("D:\\X1.TXT" for u"X1.TXT").
  std::u16string At(std::u16string_view rel) const {
    return drives_.Root('D') + std::u16string(rel);
  }

  // The pattern folder as the run is given it, D:\PATDAT\ with its final separator.
  std::u16string patdat;

 protected:
  TempDir dir_;
  DriveTable drives_;
};

}  // namespace m2v::test
