#pragma once
// Reading the query keys both query forms share, each with the record's current value as default.
#include <string>

#include "model/profile_section.h"
#include "model/query_record.h"

namespace vpk {

// The keys of "divers" (numbered queries carry them too); "runfile" only for the wizard.
void ReadSharedQueryKeys(const ProfileSection& section, QueryReader reader, QueryRecord& query);
// The wizard's destination when a query has none: the last entry of its destination history.
std::string WizardDestinationDefault(const std::string& settingsFile);

}  // namespace vpk
