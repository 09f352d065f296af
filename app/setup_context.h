#pragma once
// Everything one run of the setup works on: the ports, the setup state and the
// catalog. runSetup makes one; tests make their own.

#include "app/setup_state.h"
#include "catalog/catalog_records.h"
#include "platform/platform.h"

namespace ks {

struct SetupContext {
  Platform platform;
  SetupState state;
  VersionCatalog catalog;
};

}  // namespace ks
