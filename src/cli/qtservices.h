#pragma once
// The Qt side of tarven-cli: the display as a PNG or BMP file and the
// windows' charts drawn offscreen. Qt is started on first use only.
#include "cli/cli.h"

namespace tarven::cli {

Services qtServices();

} // namespace tarven::cli
