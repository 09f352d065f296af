#include "download/file_digest.h"

#include <cstdint>
#include <memory>

namespace ks {

namespace {

// Large enough that the hashing, not the calls, sets the pace.
constexpr std::uint32_t kReadBlockBytes = 1024 * 1024;

class OpenFile {
 public:
  OpenFile(FileSystem& files, const std::string& path)
      : files_(files), handle_(files.openForReading(path)) {}
  ~OpenFile() {
    if (handle_ >= 0) files_.closeHandle(handle_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  std::int32_t handle() const { return handle_; }

 private:
  FileSystem& files_;
  std::int32_t handle_;
};

}  // namespace

bool sha256OfFile(FileSystem& files, Hashing& hashing, const std::string& path,
                  Sha256Digest& digest) {
  const OpenFile file(files, path);
  const std::unique_ptr<Sha256> sha256 = hashing.newSha256();
  if (file.handle() < 0 || !sha256) return false;
  const auto block = std::make_unique_for_overwrite<char[]>(kReadBlockBytes);
  for (;;) {
    const std::int32_t got = files.readHandle(file.handle(), block.get(), kReadBlockBytes);
    if (got < 0) return false;
    if (got == 0) break;
    sha256->update(block.get(), static_cast<std::size_t>(got));
  }
  return sha256->finish(digest);
}

}  // namespace ks
