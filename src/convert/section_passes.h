#pragma once

// The four passes over the sections of the source file. Each opens the source anew,
// finds its section, writes its output file into `output_folder` (ending with "\") and
// closes both; a section that is absent or empty creates no file. Each returns whether
// its section was there (and so its files written). Every failure is a
// common::Failure naming the file.

#include <string>
#include <vector>

#include "coding/soil_classification.h"
#include "common/x3_record.h"

namespace m2v::convert {

// "$A": X1.TXT, one coded line per layer, and X3.TXT, one record per range term.
bool LayerPass(const std::u16string& source, const std::u16string& output_folder,
               const common::CodeTable& l4, const std::u16string& pattern_folder,
               std::vector<coding::LearnedSoilName>* learned);

// "$C": X5.TXT, one line per penetration test.
bool PenetrationPass(const std::u16string& source, const std::u16string& output_folder);

// "$K": X12.TXT, one line per depth text record that has text.
bool DepthTextPass(const std::u16string& source, const std::u16string& output_folder);

// "$E": X6.TXT, one 68-field line per record, with the L23.txt code of its line 4.
bool SectionEPass(const std::u16string& source, const std::u16string& output_folder,
                  const std::u16string& pattern_folder);

}  // namespace m2v::convert
