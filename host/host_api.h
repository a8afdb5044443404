// Visibility of host symbols. The plug-in is built with hidden visibility;
// everything it imports from the host must stay default-visible.
#pragma once
#define HOST_API __attribute__((visibility("default")))
