#pragma once
// Hashing on OpenSSL's EVP interface (the library libcurl brings along),
// which uses the processor's SHA instructions where it has them.

#include "platform/hashing.h"

namespace ks {

class OpensslHashing final : public Hashing {
 public:
  std::unique_ptr<Sha256> newSha256() override;
};

}  // namespace ks
