#pragma once
// The Component Options page: fetches the version-info file (or finds it in
// the local archive folder), loads the catalog, pre-selects the required
// components and lets the user tick components in a tree.

#include <map>
#include <memory>

#include "download/download_notify_window.h"
#include "wizard/wizard_page.h"

namespace ks {

inline constexpr int kComponentOptionsTemplate = 1084;
inline constexpr int kIdcComponentTree = 1068;
inline constexpr int kIdcDescription = 1087;
inline constexpr int kIdcPackageSize = 1075;
inline constexpr int kIdcDownloadSize = 1076;
inline constexpr int kIdcAvailableLabel = 1102;
inline constexpr int kIdcRequiredLabel = 1103;
inline constexpr int kIdcInstalledVersion = 1098;
inline constexpr int kIdcAvailableVersion = 1099;
inline constexpr int kIdcRequiredVersion = 1100;
inline constexpr int kIdcVersionStatus = 1042;
inline constexpr int kBitmapTickBoxes = 126;
inline constexpr int kStateUnticked = 1;
inline constexpr int kStateTicked = 2;

inline constexpr const char* kVersionInfoAborted = "Download of Version Informations aborted.";

class ComponentOptionsPage final : public HeaderPage {
 public:
  explicit ComponentOptionsPage(SetupContext& context);
  ~ComponentOptionsPage() override;

  ActivateAnswer onActivate(Direction direction) override;
  void onLeave() override;
  void onTreeStateClick(int controlId, std::uintptr_t item) override;
  void onTreeSelection(int controlId, std::uintptr_t item) override;
  void onDestroy() override;

  // WM_DOWNLOAD_BEGIN and WM_DOWNLOAD_END of the version-info fetch.
  void onDownloadMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

 protected:
  void onInit() override;

 private:
  void startFetch();
  void startWorker();
  void onArrival();
  // cause: the lParam of the last WM_DOWNLOAD_END (kDownloadEndTooSlow, ...).
  void onFailure(std::intptr_t cause);
  void preselect(Component& component);
  void buildComponentTree();
  void showSelectionState();
  bool anySelected() const;

  std::shared_ptr<PageNotifyWindow> window_;
  std::map<std::uintptr_t, Component*> items_;
  // One fetch at a time: a fetch that the user left behind is ignored when it
  // ends, and a fetch wanted meanwhile starts then.
  bool fetchRunning_ = false;
  bool fetchWanted_ = false;
  bool fetchAbandoned_ = false;
};

}  // namespace ks
