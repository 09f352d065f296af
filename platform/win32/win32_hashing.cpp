#include "platform/win32/win32_hashing.h"

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>
// clang-format on

#include <algorithm>
#include <string>

namespace ks {

namespace {

// Both providers take a piece's length as a 32-bit count.
constexpr std::size_t kLargestPiece = 1u << 30;

template <typename Feed>
bool feedInPieces(const void* data, std::size_t size, Feed feed) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const std::size_t piece = std::min(size, kLargestPiece);
    if (!feed(bytes, static_cast<DWORD>(piece))) return false;
    bytes += piece;
    size -= piece;
  }
  return true;
}

class CryptoApiSha256 final : public Sha256 {
 public:
  CryptoApiSha256() {
    ok_ = CryptAcquireContextW(&provider_, nullptr, nullptr, PROV_RSA_AES,
                               CRYPT_VERIFYCONTEXT | CRYPT_SILENT) &&
          CryptCreateHash(provider_, CALG_SHA_256, 0, 0, &hash_);
  }
  ~CryptoApiSha256() override {
    if (hash_) CryptDestroyHash(hash_);
    if (provider_) CryptReleaseContext(provider_, 0);
  }
  CryptoApiSha256(const CryptoApiSha256&) = delete;
  CryptoApiSha256& operator=(const CryptoApiSha256&) = delete;

  void update(const void* data, std::size_t size) override {
    ok_ = ok_ && feedInPieces(data, size, [&](const std::uint8_t* piece, DWORD length) {
            return CryptHashData(hash_, piece, length, 0) != 0;
          });
  }
  bool finish(Sha256Digest& digest) override {
    DWORD length = static_cast<DWORD>(digest.size());
    ok_ = ok_ && CryptGetHashParam(hash_, HP_HASHVAL, digest.data(), &length, 0) &&
          length == digest.size();
    return ok_;
  }

 private:
  HCRYPTPROV provider_ = 0;
  HCRYPTHASH hash_ = 0;
  bool ok_ = false;
};

using OpenAlgorithmProvider = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE*, LPCWSTR, LPCWSTR, ULONG);
using CloseAlgorithmProvider = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, ULONG);
using CreateHash = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, BCRYPT_HASH_HANDLE*, PUCHAR, ULONG, PUCHAR,
                                     ULONG, ULONG);
using HashData = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
using FinishHash = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
using DestroyHash = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE);

bool succeeded(NTSTATUS status) {
  return status >= 0;
}

template <typename Function>
Function exported(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// bcrypt.dll from the system folder only, never one lying beside the setup.
HMODULE loadSystemBCrypt() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\bcrypt.dll";
  return LoadLibraryW(path.c_str());
}

}  // namespace

// The library and its SHA-256 provider, open as long as the adapter lives.
struct BCryptLibrary {
  HMODULE module = nullptr;
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  CloseAlgorithmProvider closeAlgorithm = nullptr;
  CreateHash createHash = nullptr;
  HashData hashData = nullptr;
  FinishHash finishHash = nullptr;
  DestroyHash destroyHash = nullptr;

  BCryptLibrary() = default;
  BCryptLibrary(const BCryptLibrary&) = delete;
  BCryptLibrary& operator=(const BCryptLibrary&) = delete;
  ~BCryptLibrary() {
    if (algorithm) closeAlgorithm(algorithm, 0);
    if (module) FreeLibrary(module);
  }

  bool open() {
    module = loadSystemBCrypt();
    if (!module) return false;
    const auto openAlgorithm =
        exported<OpenAlgorithmProvider>(module, "BCryptOpenAlgorithmProvider");
    closeAlgorithm = exported<CloseAlgorithmProvider>(module, "BCryptCloseAlgorithmProvider");
    createHash = exported<CreateHash>(module, "BCryptCreateHash");
    hashData = exported<HashData>(module, "BCryptHashData");
    finishHash = exported<FinishHash>(module, "BCryptFinishHash");
    destroyHash = exported<DestroyHash>(module, "BCryptDestroyHash");
    if (!openAlgorithm || !closeAlgorithm || !createHash || !hashData || !finishHash ||
        !destroyHash) {
      return false;
    }
    return succeeded(openAlgorithm(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
  }
};

namespace {

// The hash object's memory is BCrypt's own (Windows 7 and later).
class BCryptSha256 final : public Sha256 {
 public:
  explicit BCryptSha256(const BCryptLibrary& library) : library_(library) {
    ok_ = succeeded(library_.createHash(library_.algorithm, &hash_, nullptr, 0, nullptr, 0, 0));
  }
  ~BCryptSha256() override {
    if (hash_) library_.destroyHash(hash_);
  }
  BCryptSha256(const BCryptSha256&) = delete;
  BCryptSha256& operator=(const BCryptSha256&) = delete;

  void update(const void* data, std::size_t size) override {
    ok_ = ok_ && feedInPieces(data, size, [&](const std::uint8_t* piece, DWORD length) {
            return succeeded(library_.hashData(hash_, const_cast<PUCHAR>(piece), length, 0));
          });
  }
  bool finish(Sha256Digest& digest) override {
    ok_ = ok_ && succeeded(library_.finishHash(hash_, digest.data(),
                                               static_cast<ULONG>(digest.size()), 0));
    return ok_;
  }

 private:
  const BCryptLibrary& library_;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
  bool ok_ = false;
};

}  // namespace

Win32Hashing::Win32Hashing(Provider provider) {
  if (provider == Provider::CryptoApi) return;
  auto library = std::make_unique<BCryptLibrary>();
  if (library->open()) bcrypt_ = std::move(library);
}

Win32Hashing::~Win32Hashing() = default;

std::unique_ptr<Sha256> Win32Hashing::newSha256() {
  if (bcrypt_) return std::make_unique<BCryptSha256>(*bcrypt_);
  return std::make_unique<CryptoApiSha256>();
}

}  // namespace ks
