#pragma once
// The picture viewer TfPict and its opening operation ShowPicture live with the other shared
// window parts in ui/; the editors reach them by this name.

#include "ui/Pict.h"

namespace editors {
using ui::ShowPicture;
}  // namespace editors
