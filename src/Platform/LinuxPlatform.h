#pragma once

#include "Pipeline/PlatformParts.h"

// The platform parts of a Linux desktop: PulseAudio capture, device list and output,
// pocketsphinx recognition, espeak-ng speech, libcanberra event sounds, XInput2 global keys
// on X11 (none elsewhere), the freedesktop file manager, a folder of iCalendar files, a V4L2
// camera and the desktop portal's (else logind's) sleep inhibitor. Call once the application
// object exists.
PlatformParts makeLinuxPlatform();
