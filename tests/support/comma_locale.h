#pragma once
// A numeric locale whose decimal separator is a comma, built on the fly with localedef so that
// tests do not depend on which locales the machine has installed.
#include <string>

namespace twn::test {

/// Switches LC_NUMERIC to a comma locale for the object's lifetime. ok() is false (and nothing
/// changes) when the locale cannot be built; tests then skip.
class ScopedCommaLocale {
 public:
  ScopedCommaLocale();
  ~ScopedCommaLocale();
  ScopedCommaLocale(const ScopedCommaLocale&) = delete;
  ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  std::string old_locale_;
};

}  // namespace twn::test
