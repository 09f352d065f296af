#pragma once
// The local file a download writes. It is written as NAME.part in the folder
// of NAME, created only once the server has answered, block by block through
// the file system port, and renamed over NAME only when the transfer is
// complete and checked (commit). Beside it, NAME.part.source names the URL
// it comes from (without a user name or password) and what the server said
// of the whole file, so that a transfer that broke off can be continued by
// the next attempt at the same URL while the server still has that file,
// and never by one at another URL.
//
// A transfer that broke off keeps both (keep); one that ends any other way
// removes both, so NAME stays as it was and no partial file ever carries its
// name.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/paths.h"
#include "platform/file_system.h"

namespace ks {

// The name a download is written under until it is complete.
std::string partialNameOf(const std::string& name);

// The folder a download's path lies in and its name: the text before and
// after the last separator; the root for a file directly in it, and ""
// (the current folder) for a bare name.
SplitPath targetParts(const std::string& path);

// What the answer that started NAME.part said of the whole file.
struct PartialOrigin {
  std::int64_t total = -1;  // its size; -1 when not announced
  std::string validator;    // its strong ETag, else its Last-Modified; "" for neither
};

// Whether text can be a validator: one that can be sent back as it is in a
// header line (printable ASCII, not empty).
bool isValidatorText(const std::string& text);

// What an earlier transfer of url into path left in NAME.part to be
// continued: no bytes when there is none, or it came from another URL.
struct Resumable {
  std::uint64_t bytes = 0;
  PartialOrigin origin;
};
Resumable resumableOf(FileSystem& files, const std::string& path, const std::string& url);
std::uint64_t resumableBytes(FileSystem& files, const std::string& path, const std::string& url);

class TargetFile {
 public:
  explicit TargetFile(FileSystem& files) : files_(files) {}
  // A file neither committed nor kept is removed.
  ~TargetFile();
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // Starts NAME.part for path anew, from url and an answer that said origin
  // of the file (a stale one is replaced); false when it can't be created.
  bool create(const std::string& path, const std::string& url, const PartialOrigin& origin = {});
  // Continues NAME.part for path after its first `bytes` bytes; false (and
  // the partial file removed) when it doesn't hold exactly that many.
  bool append(const std::string& path, std::uint64_t bytes);
  // False when not every byte reached the file (e.g. the disk is full).
  bool write(const char* data, std::size_t size);
  // Writes what is buffered and closes NAME.part, which can then be read at
  // partialPath(); false (and the partial file removed) when a write failed
  // on the way or now.
  bool close();
  std::string partialPath() const;
  // Closes NAME.part if that isn't done and renames it over NAME; false
  // (and the partial file removed) when that fails.
  bool commit();
  // The transfer broke off: NAME.part and its source stay for the next
  // attempt at the same URL.
  void keep();
  // Removes NAME.part and its source now, also when they were left by an
  // earlier transfer to path and this one never opened them.
  void discard(const std::string& path);

 private:
  void start(const std::string& path);
  bool flush();
  void closeHandle();
  void removeFiles();

  FileSystem& files_;
  std::string folder_;
  std::string name_;
  std::int32_t handle_ = -1;
  std::unique_ptr<char[]> buffer_;
  std::size_t buffered_ = 0;
  bool failed_ = false;
  bool closed_ = false;  // closed whole, ready to be checked and committed
  // NAME.part (and its source) is this object's to remove when it goes.
  bool owned_ = false;
};

}  // namespace ks
