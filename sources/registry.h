#pragma once
// The sources this build carries, by number, with their sites' addresses.
#include "app/engine/run_control.h"
#include "platform/site_config.h"

namespace velmora {

SourceSet makeSources(const SiteConfig& sites);

}  // namespace velmora
