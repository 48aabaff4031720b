// The "/uninstall" flow: the question, the registry clean-up and the final
// message, which names what only an administrator may take away.
#pragma once

namespace app {

void RunUninstallFlow();

} // namespace app
