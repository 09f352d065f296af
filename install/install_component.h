#pragma once
// Installing one component whose package is present at its localPath: copy
// it into the installation folder, extract it there as a cabinet, or run it
// as an update program, as its installMethod says.

#include <string>

#include "app/setup_context.h"
#include "catalog/catalog_records.h"

namespace ks {

enum InstallMethod : int {
  INSTALL_METHOD_COPY = 1,
  INSTALL_METHOD_CABINET = 2,
  INSTALL_METHOD_RUN = 3,
};

// True when the package was installed; the page reports the result. Status
// texts go to the status line of the component's notifyWindow. A failure
// that has a reason of its own for the user ("Not enough disk space: ...")
// gives it in problem. Whatever the installation put into the installation
// folder is recorded and registered (install/installation_record.h), also
// after a failure half-way.
bool installComponent(SetupContext& context, Component& component, std::string* problem = nullptr);

}  // namespace ks
