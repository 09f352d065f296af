#include "app/run_log.h"

#include <atomic>
#include <chrono>
#include <ctime>

#include "app/printable_text.h"

namespace ks {

namespace {

std::atomic<RunLog*> openLog{nullptr};

// The local time to the millisecond. std::localtime shares one result per
// process: the caller holds the log's lock.
std::string timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  char text[64] = "";
  if (const std::tm* local = std::localtime(&seconds)) {
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  }
  char withMillis[80];
  std::snprintf(withMillis, sizeof withMillis, "%s.%03d", text, static_cast<int>(millis));
  return withMillis;
}

// Line breaks become " / "; no other control character reaches the file.
std::string oneLine(std::string_view text) {
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      line += " / ";
    } else {
      line += isControlCharacter(c) ? '?' : c;
    }
  }
  return line;
}

}  // namespace

bool RunLog::open(const std::string& path) {
  std::lock_guard lock(mutex_);
  file_.open(path, std::ios::out | std::ios::trunc);
  if (!file_) return false;
  path_ = path;
  openLog.store(this);
  return true;
}

RunLog::~RunLog() {
  RunLog* self = this;
  openLog.compare_exchange_strong(self, nullptr);
  std::lock_guard lock(mutex_);
}

void RunLog::write(std::string_view text) {
  std::lock_guard lock(mutex_);
  if (!file_) return;
  file_ << timestamp() << ' ' << oneLine(text) << '\n';
  file_.flush();
}

void logLine(std::string_view text) {
  if (RunLog* log = openLog.load()) log->write(text);
}

std::string runLogPath() {
  RunLog* log = openLog.load();
  return log ? log->path() : std::string();
}

}  // namespace ks
