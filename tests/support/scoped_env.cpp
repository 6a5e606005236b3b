#include "support/scoped_env.h"

#include <stdlib.h>

#include <cstdlib>

namespace m2v::test {

namespace {

void SetVariable(const std::string& name, const char* value) {
#ifdef _WIN32
  // Windows keeps no empty variable: an empty value removes it, which reads as unset.
  _putenv_s(name.c_str(), value != nullptr ? value : "");
#else
  if (value != nullptr) {
    setenv(name.c_str(), value, 1);
  } else {
    unsetenv(name.c_str());
  }
#endif
}

}  // namespace

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) previous_ = old;
  SetVariable(name_, value);
}

ScopedEnv::~ScopedEnv() { SetVariable(name_, previous_ ? previous_->c_str() : nullptr); }

void ScopedEnv::Set(const char* value) { SetVariable(name_, value); }

}  // namespace m2v::test
