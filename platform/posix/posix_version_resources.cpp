#include "platform/posix/posix_version_resources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>

#include "platform/pe/pe_icons.h"
#include "platform/pe/pe_resources.h"
#include "platform/posix/unique_fd.h"

namespace ks {

namespace {

// An open regular file, read at offsets.
class FileSource : public pe::ByteSource {
 public:
  FileSource(UniqueFd file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
  std::uint64_t size() const override { return size_; }

  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    if (offset > size_ || out.size() > size_ - offset) return false;
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t got = ::pread(file_.get(), out.data() + done, out.size() - done,
                                  static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;  // an error, or the file shrank under us
      done += static_cast<std::size_t>(got);
    }
    return true;
  }

 private:
  UniqueFd file_;
  std::uint64_t size_;
};

// Opens a regular file for the PE reader. O_NONBLOCK: opening a FIFO must not
// wait for a writer; it is refused.
std::optional<FileSource> openProgramFile(const std::string& path) {
  UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!file.valid()) return std::nullopt;
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return std::optional<FileSource>(std::in_place, std::move(file),
                                   static_cast<std::uint64_t>(info.st_size));
}

}  // namespace

bool PosixVersionResources::readVersionInfo(const std::string& path,
                                            std::vector<std::uint8_t>& block) {
  std::optional<FileSource> source = openProgramFile(path);
  return source && pe::readVersionResource(*source, block);
}

bool PosixVersionResources::readFirstIcon(const std::string& path,
                                          std::vector<std::uint8_t>& iconFile) {
  std::optional<FileSource> source = openProgramFile(path);
  return source && pe::readFirstIconFile(*source, iconFile);
}

}  // namespace ks
