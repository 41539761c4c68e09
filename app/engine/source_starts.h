#pragma once
// What a search start writes into each source's work form before its first
// dispatch: the first listing work item, the counters and the search inputs in
// the form that source's site expects.
#include <string>
#include <vector>

#include "app/engine/search_inputs.h"
#include "platform/site_config.h"
#include "sources/framework/work_form.h"

namespace velmora {

// The order in which a search start starts the chosen sources: 7, 2, then
// the others by number. Numbers outside 1..7 and repeats are dropped.
std::vector<int> startOrder(const std::vector<int>& chosen);

// The address a source's start work item needs (empty when not configured).
const std::string& sourceAddress(const SiteConfig& sites, int source);

// Prepares source `source` for a run with the given inputs; `provinceBox` is
// the province box text as typed or picked.
void prepareSourceStart(int source, const SiteConfig& sites, const SearchInputs& inputs,
                        const std::string& provinceBox, WorkForm& form);

}  // namespace velmora
