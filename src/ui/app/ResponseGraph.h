// The response graph the main window and the pages use: the one place that names its class.
#pragma once

#include "ui/graph/CFStatic.h"

namespace velmar {

using ResponseGraph = CFStatic;

} // namespace velmar
