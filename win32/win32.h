// <windows.h> for this layer. The core's service methods share names with
// the system's character-set macros; this layer calls the "A" entry points by
// their own names, so the macros go.
#pragma once

#include <windows.h>

#undef AddFontResource
#undef RemoveFontResource
#undef GetTempPath
#undef MessageBox
