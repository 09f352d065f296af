#pragma once
// One download through the engine exactly as the Download and Install page
// runs it: a worker thread of its own, the status callback on, every text
// and message reaching the page through the UI thread (this thread).

#include <optional>
#include <string>

#include "platform/hashing.h"

namespace ks::bench {

struct FetchOptions {
  // False leaves the status callback off (as for the version-info file), to
  // show what the texts cost.
  bool withTexts = true;
  // When set, the file is checked as a package with this digest is.
  std::optional<Sha256Digest> sha256;
};

// True when the worker reported success (WM_DOWNLOAD_END with 1).
// lastProgress, when given, gets the progress line as the transfer left it.
bool fetchThroughEngine(const std::string& url, const std::string& path,
                        const FetchOptions& options = {}, std::string* lastProgress = nullptr);

}  // namespace ks::bench
