#pragma once
// Driving another program's windows from outside, as a user (or a screen
// reader) would: finding its windows, reading their texts and states,
// pressing buttons with posted messages, clicking with synthetic mouse input,
// and messages that carry a pointer through memory of the other process.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace ks::gui {

// A program started with CreateProcessW; ended when the object goes.
class Process {
 public:
  explicit Process(const std::wstring& commandLine);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  HANDLE handle() const { return info_.hProcess; }
  DWORD id() const { return info_.dwProcessId; }
  // The exit code once the program has ended within timeout.
  std::optional<DWORD> waitForExit(DWORD timeoutMs);
  // Until the program waits for input with nothing left to handle.
  void settle();

 private:
  PROCESS_INFORMATION info_{};
};

// Polls until done() holds; false when timeoutMs passed first.
bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000);

// A visible top-level window of the process with that caption and, when
// control is not 0, a child of that id; null when there is none.
HWND findWindow(DWORD processId, const std::wstring& caption, int control = 0);
// Waits for such a window.
HWND waitForWindow(DWORD processId, const std::wstring& caption, int control = 0);

std::wstring windowText(HWND window);
std::wstring controlText(HWND dialog, int controlId);
bool controlEnabled(HWND dialog, int controlId);
bool controlVisible(HWND dialog, int controlId);
bool controlChecked(HWND dialog, int controlId);

// Posted, so a modal window the click opens does not hold the driver.
void click(HWND dialog, int controlId);
void setControlText(HWND dialog, int controlId, const std::wstring& text);
// A left click at a point of the screen, by mouse input.
void mouseClick(POINT screen);

// Memory in another process for a message that carries a pointer.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size);
  ~RemoteMemory();
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  void* address() const { return address_; }
  bool write(const void* data, std::size_t size, std::size_t offset = 0);
  bool read(void* data, std::size_t size, std::size_t offset = 0);

 private:
  HANDLE process_;
  void* address_;
};

// The window's pixels as the screen shows them: 24-bit rows from the top,
// blue, green, red.
struct Capture {
  int width = 0;
  int height = 0;
  std::string pixels;
  COLORREF at(int x, int y) const;
};
Capture captureScreen(const RECT& area);
// The window brought to the front and captured whole.
Capture captureWindow(HWND window);
// Writes the capture as a PNG file.
bool writePng(const Capture& capture, const std::wstring& path);

}  // namespace ks::gui
