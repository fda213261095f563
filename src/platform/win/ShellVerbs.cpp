#include "platform/ShellVerbs.h"

#include <shlobj.h>
#include <windows.h>

namespace qm::platform {

// The registry keys written by the program are the verbs.
bool PublishVerb(const ShellVerb&) {
    return true;
}
void WithdrawVerb(std::u16string_view) {}

void NotifyAssociationsChanged() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

} // namespace qm::platform
