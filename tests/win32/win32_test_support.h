#pragma once
// Small helpers of the Windows adapter tests.

#include <windows.h>

#include <string>

namespace ks::test {

// A fresh folder whose path has a blank and characters beyond ASCII (by
// default also beyond the ANSI code page), removed with its content when the
// object goes.
class WideTempFolder {
 public:
  explicit WideTempFolder(const std::wstring& marker = L"\u00e4\u00f6\u00fc \u65e5");
  ~WideTempFolder();
  WideTempFolder(const WideTempFolder&) = delete;
  WideTempFolder& operator=(const WideTempFolder&) = delete;
  // The folder as UTF-8 (what the core holds) and as UTF-16.
  const std::string& path() const { return path_; }
  const std::wstring& widePath() const { return widePath_; }
  std::string at(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
  std::wstring widePath_;
};

// The text of a file as bytes; empty when it can't be read.
std::string fileBytes(const std::wstring& path);

}  // namespace ks::test
