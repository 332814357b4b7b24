// Placeholder until the real implementation lands.
#include "platform/collate.h"

namespace mt {
Collator::Collator() = default;
Collator::~Collator() = default;
int Collator::compare(std::string_view a, std::string_view b) const { return a.compare(b); }
}  // namespace mt
