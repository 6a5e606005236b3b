// make_survey realistic|stress OUTDIR [--layers N] [--seed N]
// Writes OUTDIR/survey.ddf and the pattern folder OUTDIR/PATDAT of the chosen size.

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "survey_maker.h"

int main(int argc, char** argv) {
  constexpr char kUsage[] = "usage: make_survey realistic|stress OUTDIR [--layers N] [--seed N]\n";
  if (argc < 3 || argc % 2 == 0) {
    std::cerr << kUsage;
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
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const long long value = std::atoll(argv[i + 1]);
    if (option == "--layers" && value >= 1) {
      shape.layers = static_cast<int>(value);
    } else if (option == "--seed" && value >= 1) {
      shape.seed = static_cast<std::uint64_t>(value);
    } else {
      std::cerr << "make_survey: " << option << " takes a positive number\n" << kUsage;
      return 2;
    }
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
