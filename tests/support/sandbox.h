// Every test works in a folder of its own: a fresh prefix with a C: drive on
// Linux, a fresh folder under C:\ on Windows. It is the current folder while
// the test runs, so that a relative path lands inside it. Removed when the test ends.
#pragma once

#include <string>

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // A Windows folder inside the sandbox, ending with a backslash (e.g. "C:\il3-test-1234\").
  const std::string& Win() const { return win_; }
  // The host path of that folder (equal to Win() on Windows).
  const std::string& Host() const { return host_; }
  // The prefix folder on Linux (empty on Windows).
  const std::string& Prefix() const { return prefix_; }

  // Whole-file helpers on Windows paths inside the sandbox.
  std::string Read(const std::string& winPath) const;
  void Write(const std::string& winPath, const std::string& bytes) const;
  bool Exists(const std::string& winPath) const;
  void SetReadOnly(const std::string& winPath, bool readOnly) const;

 private:
  std::string win_, host_, prefix_, previous_;
};

// True when the Windows build runs under Wine, whose profile functions differ
// from Windows in a few documented places (tests that pin Windows there skip).
bool SousWine();

// Resets the per-run state of the services (caches, version class, error variables).
void ResetServices();
