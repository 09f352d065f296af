#pragma once
// The log of a run: every page shown, status line, message, URL tried with
// the server's answer, and the outcome, one line each with the local time.
// The program's main opens it (a file the user named, or the log of the last
// run); any thread may write to it. Without an open log, lines go nowhere.

#include <fstream>
#include <mutex>
#include <string>
#include <string_view>

namespace ks {

class RunLog {
 public:
  // Opens (replacing) the file and makes it the log that logLine writes to;
  // false when it can't be written.
  bool open(const std::string& path);
  ~RunLog();
  const std::string& path() const { return path_; }

  // "2026-12-07 22:40:01.123 text", one line (line breaks in text become
  // " / ").
  void write(std::string_view text);

 private:
  std::mutex mutex_;
  std::ofstream file_;
  std::string path_;
};

// Writes a line to the open run log, if any.
void logLine(std::string_view text);

// The path of the open run log; "" when there is none.
std::string runLogPath();

}  // namespace ks
