#pragma once
// One download through the engine exactly as the Download and Install page
// runs it: a worker thread of its own, the status callback on, every text
// and message reaching the page through the UI thread (this thread).

#include <string>

namespace ks::bench {

// True when the worker reported success (WM_DOWNLOAD_END with 1).
// withTexts false leaves the status callback off (as for the version-info
// file), to show what the texts cost.
bool fetchThroughEngine(const std::string& url, const std::string& path, bool withTexts = true);

}  // namespace ks::bench
