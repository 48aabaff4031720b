// Looking up a default action by its label.
#include "default_actions.h"

#include "../os/os.h"

namespace config {

const DefaultAction* FindDefaultAction(const char* label)
{
    for (const DefaultAction& action : kDefaultActions) {
        if (os::lstrcmpiA(label, action.label) == 0)
            return &action;
    }
    return nullptr;
}

} // namespace config
