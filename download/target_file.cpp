#include "download/target_file.h"

namespace ks {

bool TargetFile::create(const std::string& path) {
  file_.reset(std::fopen(path.c_str(), "wb"));
  failed_ = false;
  return file_ != nullptr;
}

bool TargetFile::write(const char* data, std::size_t size) {
  if (size != 0 && std::fwrite(data, 1, size, file_.get()) != size) failed_ = true;
  return !failed_;
}

bool TargetFile::close() {
  if (!file_) return !failed_;
  const bool closed = std::fclose(file_.release()) == 0;
  return closed && !failed_;
}

}  // namespace ks
