#pragma once

#include "Pipeline/PlatformParts.h"

// The platform parts of a Linux desktop: PulseAudio capture, Qt Multimedia device list and output,
// pocketsphinx recognition, espeak-ng speech, libcanberra event sounds, XInput2 global keys
// on X11 (none elsewhere), the freedesktop file manager, a folder of iCalendar files and a
// V4L2 camera. Call once the application object exists.
PlatformParts makeLinuxPlatform();
