#pragma once

// The four passes over the sections of the source file. Each reads the survey from its
// first line (`survey`, the lines of the file as the run read it once), finds its section
// and writes its output file into `output_folder` (ending with "\"); a section that is
// absent or empty creates no file. Each returns whether
// its section was there (and so its files written). Every failure is a
// text::Failure naming the file.

#include <string>
#include <vector>

#include "coding/soil_classification.h"
#include "convert/source_file.h"
#include "convert/x3_record.h"

namespace m2v::convert {

// The layers and range terms of "$A", as the layer pass writes them.
LayerSection ReadLayerSection(const Survey& survey);

// "$A": X1.TXT, one coded line per layer, and X3.TXT, one record per range term.
bool LayerPass(const Survey& survey, const std::u16string& output_folder, const CodeTable& l4,
               const std::u16string& pattern_folder, std::vector<coding::LearnedSoilName>* learned);

// "$C": X5.TXT, one line per penetration test.
bool PenetrationPass(const Survey& survey, const std::u16string& output_folder);

// "$K": X12.TXT, one line per depth text record that has text.
bool DepthTextPass(const Survey& survey, const std::u16string& output_folder);

// "$E": X6.TXT, one 68-field line per record, with the L23.txt code of its line 4.
bool SectionEPass(const Survey& survey, const std::u16string& output_folder,
                  const std::u16string& pattern_folder);

}  // namespace m2v::convert
