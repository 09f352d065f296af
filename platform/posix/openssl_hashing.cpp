#include "platform/posix/openssl_hashing.h"

#include <openssl/evp.h>

namespace ks {

namespace {

class EvpSha256 final : public Sha256 {
 public:
  EvpSha256() : context_(EVP_MD_CTX_new()) {
    ok_ = context_ != nullptr && EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) == 1;
  }
  ~EvpSha256() override { EVP_MD_CTX_free(context_); }
  EvpSha256(const EvpSha256&) = delete;
  EvpSha256& operator=(const EvpSha256&) = delete;

  void update(const void* data, std::size_t size) override {
    ok_ = ok_ && EVP_DigestUpdate(context_, data, size) == 1;
  }
  bool finish(Sha256Digest& digest) override {
    unsigned int length = 0;
    ok_ =
        ok_ && EVP_DigestFinal_ex(context_, digest.data(), &length) == 1 && length == digest.size();
    return ok_;
  }

 private:
  EVP_MD_CTX* context_;
  bool ok_ = false;
};

}  // namespace

std::unique_ptr<Sha256> OpensslHashing::newSha256() {
  return std::make_unique<EvpSha256>();
}

}  // namespace ks
