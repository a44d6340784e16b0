// On Windows the SDK declares this part of the platform: see KoWindows.h.
#include "KoWindows.h"
