#pragma once
// Windows handles that are closed when they go out of scope.

#include <windows.h>

#include <utility>

namespace ks {

// A handle released by Close(handle) when it isn't Invalid.
template <typename Handle, auto Close, auto Invalid>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, Invalid());
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != Invalid(); }
  void reset() {
    if (valid()) Close(std::exchange(handle_, Invalid()));
  }
  // Hands the handle over without closing it.
  Handle release() { return std::exchange(handle_, Invalid()); }

 private:
  Handle handle_ = Invalid();
};

inline HANDLE invalidFileHandle() {
  return INVALID_HANDLE_VALUE;
}
inline HANDLE nullHandle() {
  return nullptr;
}
inline HKEY nullKey() {
  return nullptr;
}

// A file, a find or a snapshot handle (INVALID_HANDLE_VALUE when none).
using UniqueFile = UniqueHandle<HANDLE, CloseHandle, invalidFileHandle>;
using UniqueFind = UniqueHandle<HANDLE, FindClose, invalidFileHandle>;
// A process or thread handle (null when none).
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandle, nullHandle>;
using UniqueKey = UniqueHandle<HKEY, RegCloseKey, nullKey>;

}  // namespace ks
