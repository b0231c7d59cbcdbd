#include "host/validation/Check.h"

namespace validation {

std::vector<Check> allChecks() {
    std::vector<Check> checks;
    for (auto&& group : {lifecycleChecks(), textChecks(), processingChecks(), automationChecks(),
                         realtimeChecks(), localeChecks(), editorChecks()}) {
        checks.insert(checks.end(), group.begin(), group.end());
    }
    return checks;
}

} // namespace validation
