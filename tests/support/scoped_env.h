#pragma once

// Sets or clears an environment variable for the life of the object, then puts back what
// was there before. Windows has no setenv: one object works on both platforms.

#include <optional>
#include <string>

namespace m2v::test {

class ScopedEnv {
 public:
  // A null `value` clears the variable.
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

  // Changes the variable again; the destructor still restores the value from before.
  void Set(const char* value);

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace m2v::test
