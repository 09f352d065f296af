#include "platform/win32/win32_ui_dispatcher.h"

#include <memory>

namespace ks {

namespace {

constexpr const wchar_t* kWindowClass = L"KestrovaSetupDispatcher";
// wParam kSentWork: lParam points at the sender's function, which waits.
// wParam kPostedWork: lParam owns a function made by post().
constexpr UINT kRunWork = WM_APP + 1;
constexpr WPARAM kSentWork = 0;
constexpr WPARAM kPostedWork = 1;

LRESULT CALLBACK dispatcherProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kRunWork) return DefWindowProcW(window, message, wParam, lParam);
  if (wParam == kSentWork) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
  } else {
    const std::unique_ptr<std::function<void()>> work(
        reinterpret_cast<std::function<void()>*>(lParam));
    (*work)();
  }
  return 0;
}

void registerWindowClass() {
  static const ATOM registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = dispatcherProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass);
  }();
  (void)registered;
}

}  // namespace

Win32UiDispatcher::Win32UiDispatcher() : uiThread_(std::this_thread::get_id()) {
  registerWindowClass();
  window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

Win32UiDispatcher::~Win32UiDispatcher() {
  // Work posted but never run is released, not run.
  MSG message;
  while (PeekMessageW(&message, window_, kRunWork, kRunWork, PM_REMOVE)) {
    if (message.wParam == kPostedWork) {
      delete reinterpret_cast<std::function<void()>*>(message.lParam);
    }
  }
  DestroyWindow(window_);
}

void Win32UiDispatcher::send(const std::function<void()>& fn) {
  if (std::this_thread::get_id() == uiThread_) {
    fn();
    return;
  }
  SendMessageW(window_, kRunWork, kSentWork, reinterpret_cast<LPARAM>(&fn));
}

void Win32UiDispatcher::post(std::function<void()> fn) {
  auto work = std::make_unique<std::function<void()>>(std::move(fn));
  if (PostMessageW(window_, kRunWork, kPostedWork, reinterpret_cast<LPARAM>(work.get()))) {
    work.release();  // the message owns it now
  }
}

bool Win32UiDispatcher::dispatchOne() {
  MSG message;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  TranslateMessage(&message);
  DispatchMessageW(&message);
  return true;
}

// PeekMessageW also runs the work other threads send, so every wake-up of
// MsgWaitForMultipleObjectsEx ends in a look at done().
bool Win32UiDispatcher::runUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (dispatchOne()) continue;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return done();
    const auto wait = static_cast<DWORD>(std::min<long long>(left.count(), INFINITE - 1));
    MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return true;
}

void Win32UiDispatcher::runPending() {
  while (dispatchOne()) {
  }
}

}  // namespace ks
