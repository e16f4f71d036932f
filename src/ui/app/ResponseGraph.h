// The response graph the main window and the pages use: the one place that names its class.
#pragma once

#include "ui/app/GraphPlaceholder.h"

namespace velmar {

using ResponseGraph = GraphPlaceholder;

} // namespace velmar
