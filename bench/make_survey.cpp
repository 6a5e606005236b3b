// make_survey realistic|stress OUTDIR [--layers N]
// Writes OUTDIR/survey.ddf and the pattern folder OUTDIR/PATDAT of the chosen size.

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "survey_maker.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::cerr << "usage: make_survey realistic|stress OUTDIR [--layers N]\n";
    return 2;
  }
  const std::string kind = argv[1];
  m2v::bench::SurveyShape shape;
  if (kind == "realistic") {
    shape = m2v::bench::RealisticShape();
  } else if (kind == "stress") {
    shape = m2v::bench::StressShape();
  } else {
    std::cerr << "make_survey: unknown size " << kind << "\n";
    return 2;
  }
  if (argc == 5) {
    if (std::string(argv[3]) != "--layers" || std::atoi(argv[4]) < 1) {
      std::cerr << "make_survey: --layers takes a positive number\n";
      return 2;
    }
    shape.layers = std::atoi(argv[4]);
  }
  try {
    const std::filesystem::path out = argv[2];
    m2v::bench::MakeSurvey(shape, out / "survey.ddf", out / "PATDAT");
  } catch (const std::exception& error) {
    std::cerr << "make_survey: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
