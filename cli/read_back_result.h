#pragma once
// What a read-back pass gave, for every front of the companion (`read` and `serve`): its settings, what it saw
// besides them, and each failed query in words.

#include <string>

#include "cli/preset.h"
#include "cli/settings.h"
#include "device/read_back_pass.h"
#include "protocol/command_codes.h"

namespace sw::cli {

// How a query is named in messages ("layout", "row 1"...).
const char* queryLabel(protocol::QueryCode query);

// The panel's four outcomes of a query, in words, and a reply that answered another query; empty when the query
// got its own answer.
std::string failureOf(const device::QueryStep& step);

SettingsRequest settingsOf(const device::ReadBackValues& values);

ReadFacts factsOf(const device::ReadBackValues& values);

}  // namespace sw::cli
