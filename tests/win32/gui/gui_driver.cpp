#include "tests/win32/gui/gui_driver.h"

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace ks::gui {

namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kSettleMs = 10000;

struct Search {
  DWORD processId;
  const std::wstring* caption;
  int control;
  HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
  if (windowText(window) != *search.caption) return TRUE;
  if (search.control != 0 && !GetDlgItem(window, search.control)) return TRUE;
  search.found = window;
  return FALSE;
}

void appendBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void appendChunk(std::string& out, const char* kind, const std::string& data) {
  appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(kind, 4) + data;
  out += typed;
  appendBigEndian(out,
                  static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                                   static_cast<uInt>(typed.size()))));
}

}  // namespace

Process::Process(const std::wstring& commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info_)) {
    info_ = {};
  }
}

Process::~Process() {
  if (!started()) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

std::optional<DWORD> Process::waitForExit(DWORD timeoutMs) {
  if (!started() || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return {};
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void Process::settle() {
  if (started()) WaitForInputIdle(info_.hProcess, kSettleMs);
}

bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() > deadline) return done();
    Sleep(kPollMs);
  }
  return true;
}

HWND findWindow(DWORD processId, const std::wstring& caption, int control) {
  Search search{processId, &caption, control};
  EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND waitForWindow(DWORD processId, const std::wstring& caption, int control) {
  HWND found = nullptr;
  waitUntil([&] { return (found = findWindow(processId, caption, control)) != nullptr; });
  return found;
}

std::wstring windowText(HWND window) {
  wchar_t text[1024] = L"";
  SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

std::wstring controlText(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  return control ? windowText(control) : std::wstring();
}

bool controlEnabled(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  return control && IsWindowEnabled(control);
}

bool controlVisible(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  return control && IsWindowVisible(control);
}

bool controlChecked(HWND dialog, int controlId) {
  return SendDlgItemMessageW(dialog, controlId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void click(HWND dialog, int controlId) {
  PostMessageW(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

void setControlText(HWND dialog, int controlId, const std::wstring& text) {
  SendDlgItemMessageW(dialog, controlId, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void mouseClick(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

RemoteMemory::RemoteMemory(HANDLE process, std::size_t size)
    : process_(process),
      address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}

RemoteMemory::~RemoteMemory() {
  if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteMemory::write(const void* data, std::size_t size, std::size_t offset) {
  return address_ &&
         WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
}

bool RemoteMemory::read(void* data, std::size_t size, std::size_t offset) {
  return address_ &&
         ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
}

COLORREF Capture::at(int x, int y) const {
  const std::size_t offset = (static_cast<std::size_t>(y) * width + x) * 3;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(pixels[offset + i]); };
  return RGB(byte(2), byte(1), byte(0));
}

Capture captureScreen(const RECT& area) {
  Capture capture;
  capture.width = area.right - area.left;
  capture.height = area.bottom - area.top;
  if (capture.width <= 0 || capture.height <= 0) return {};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const std::size_t stride = (static_cast<std::size_t>(capture.width) * 3 + 3) & ~std::size_t{3};
  for (int y = 0; y < capture.height; ++y) {
    capture.pixels.append(static_cast<const char*>(bits) + y * stride,
                          static_cast<std::size_t>(capture.width) * 3);
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

Capture captureWindow(HWND window) {
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
    WaitForInputIdle(process, kSettleMs);
    CloseHandle(process);
  }
  RECT area{};
  GetWindowRect(window, &area);
  return captureScreen(area);
}

bool writePng(const Capture& capture, const std::wstring& path) {
  std::string rows;
  for (int y = 0; y < capture.height; ++y) {
    rows += '\0';  // no filter
    for (int x = 0; x < capture.width; ++x) {
      const COLORREF colour = capture.at(x, y);
      rows += static_cast<char>(GetRValue(colour));
      rows += static_cast<char>(GetGValue(colour));
      rows += static_cast<char>(GetBValue(colour));
    }
  }
  uLongf size = compressBound(static_cast<uLong>(rows.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    return false;
  }
  packed.resize(size);
  std::string header;
  appendBigEndian(header, static_cast<std::uint32_t>(capture.width));
  appendBigEndian(header, static_cast<std::uint32_t>(capture.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", packed);
  appendChunk(png, "IEND", "");
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out << png;
  return static_cast<bool>(out);
}

}  // namespace ks::gui
