#include "install/install_worker.h"

#include <system_error>
#include <utility>

#include "app/paths.h"
#include "install/install_component.h"
#include "platform/file_system.h"

namespace ks {

bool InstallWorker::start(SetupContext& context, Component& component,
                          std::shared_ptr<DownloadNotifyWindow> window) {
  wait();
  problem_.clear();
  try {
    thread_ = std::thread([this, &context, &component, window = std::move(window)] {
      const bool installed = installComponent(context, component, &problem_);
      if (context.state.mode == SETUP_MODE_INTERNET && context.state.deleteAfterInstall) {
        const SplitPath package = splitAtLastSeparator(component.localPath);
        context.platform.fileSystem->deleteFile(package.folder, package.name);
      }
      window->sendMessage(WM_INSTALL_END, installed ? 1 : 0, 0);
    });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void InstallWorker::wait() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

}  // namespace ks
