#pragma once

#include <string>
#include <vector>

namespace m2v::platform {

// Makes sure a file `name` exists in one of `folders` (drive-form, without a trailing "\"):
// where it already is, in whichever folder, it is left alone; otherwise it is created empty
// in the first folder that can hold it, missing folder levels included. So a program whose
// own folder cannot be written keeps its marker in the next folder, and every later run finds
// it there. The path of the file; empty when no folder could hold it.
std::u16string PlaceMarker(const std::vector<std::u16string>& folders, const std::u16string& name);

}  // namespace m2v::platform
