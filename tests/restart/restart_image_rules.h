// What the restart program's NE image must be, checked on a parsed image:
// one place for the rules, used by the image test and the corruption test.
#pragma once

#include <string>
#include <vector>

#include "ne_reader.h"

namespace restart_rules {

// The imports the program needs, as "MODULE.ordinal", sorted: InitTask for the
// task start-up, InitApp for the message queue, ExitWindows for the restart.
extern const std::vector<std::string> kImports;

// One line per property the image lacks; empty when it has them all.
std::vector<std::string> problems(const ne::Image& image);

}  // namespace restart_rules
