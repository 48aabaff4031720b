// The seam's pointers, each bound at link time to the real Windows function
// (through the import thunk, so no start-up code is needed to fill them).
#include "os.h"

namespace os {

#define LICHTAUS_OS_DEFINE(name) constinit decltype(&::name) name = &::name;
LICHTAUS_OS_FUNCTIONS(LICHTAUS_OS_DEFINE)
#undef LICHTAUS_OS_DEFINE

} // namespace os
