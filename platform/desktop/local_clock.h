// The local date and time in the forms of the traffic log's header.
#pragma once

#include <string>

std::string localDateText();  // "dd-MM-yyyy"
std::string localTimeText();  // "hh:mm:ss", hours 0..23
