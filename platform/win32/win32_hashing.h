#pragma once
// Hashing on Windows' own providers: BCrypt (CNG) where the system has it,
// loaded from the system folder at run time; the older CryptoAPI
// (PROV_RSA_AES) where it doesn't.

#include <memory>

#include "platform/hashing.h"

namespace ks {

struct BCryptLibrary;

class Win32Hashing final : public Hashing {
 public:
  enum class Provider {
    Best,       // BCrypt, or CryptoAPI when BCrypt is missing
    CryptoApi,  // CryptoAPI only, as on a system without BCrypt
  };
  explicit Win32Hashing(Provider provider = Provider::Best);
  ~Win32Hashing() override;
  Win32Hashing(const Win32Hashing&) = delete;
  Win32Hashing& operator=(const Win32Hashing&) = delete;

  std::unique_ptr<Sha256> newSha256() override;
  // True when the computations come from BCrypt.
  bool usesBCrypt() const { return bcrypt_ != nullptr; }

 private:
  std::unique_ptr<BCryptLibrary> bcrypt_;
};

}  // namespace ks
