#pragma once
// One download through the setup's own worker, exactly as the Download and
// Install page runs it: a worker thread, the status callback on, every text
// reaching the view on this thread.

#include <cstdint>
#include <memory>

#include "app/setup_state.h"
#include "catalog/catalog_records.h"
#include "platform/adapter_set.h"
#include "platform/page_view.h"
#include "platform/platform.h"
#include "tools/unattended_questions.h"

namespace ks::tool {

// The adapters' ports with their Internet client, whose questions nobody
// answers (a password is declined).
class FetchPorts {
 public:
  explicit FetchPorts(const AdapterSet& adapters)
      : internet_(adapters.makeInternet(dialogs_)), ports_(adapters.ports) {
    ports_.internet = internet_.get();
  }
  const Platform& ports() const { return ports_; }

 private:
  UnattendedQuestions dialogs_;
  std::unique_ptr<InternetApi> internet_;
  Platform ports_;
};

struct FetchResult {
  bool ok = false;
  // The lParam of the worker's WM_DOWNLOAD_END (kDownloadEndHashMismatch, ...).
  std::intptr_t cause = 0;
};

// Fetches the component's URL at urlIndex into its localPath through the
// ports' Internet client, file system and hashing (a digest in the
// component is checked).
FetchResult fetchThroughEngine(Component& component, const SetupState& state, const Platform& ports,
                               PageView& view);

}  // namespace ks::tool
