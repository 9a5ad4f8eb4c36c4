#include "platform/desktop/desktop_platform.h"

#include "platform/desktop/local_clock.h"

std::string DesktopPlatform::dateText() { return localDateText(); }
std::string DesktopPlatform::timeText() { return localTimeText(); }
