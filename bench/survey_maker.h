#pragma once

// Survey files and pattern folders of a chosen size, for the benchmarks and for the test that
// compares a cached run with an uncached one. The output depends on the shape alone (its own
// random generator, no library distribution), so every machine makes the same bytes.

#include <cstdint>
#include <filesystem>

namespace m2v::bench {

struct SurveyShape {
  int layers = 40;              // "$A" records
  double new_name_share = 0.3;  // share of layers whose name the soil table lacks at the start
  int tests = 40;               // "$C" records
  int depth_text_lines = 40;    // text lines of "$K"
  int e_records = 10;           // "$E" records
  int soil_records = 1000;      // KISHITU.TXT
  int user_lines = 60;          // XKISHITU.TXT
  int l23_rows = 20;            // L23.txt
  std::uint64_t seed = 1;
};

// A survey of one borehole as a site delivers it.
SurveyShape RealisticShape();
// A long survey against a pattern folder that has learned for years.
SurveyShape StressShape();

// How many distinct names the layers bring that neither table knows: a tenth of the new-name
// layers (a site repeats its names), and fewer than the user codes still free, so that the run
// never runs out of them.
int NewNamePool(const SurveyShape& shape);

// Writes the survey (CP932, CR LF) and a pattern folder holding KISHITU.TXT, XKISHITU.TXT,
// L1.TXT, L4.TXT and L23.txt. Folders are created; existing files are replaced.
void MakeSurvey(const SurveyShape& shape, const std::filesystem::path& survey_file,
                const std::filesystem::path& pattern_folder);

}  // namespace m2v::bench
