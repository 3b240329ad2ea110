#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <libical/ical.h>

#include <optional>

// Whether writing what libical read of a file gives the file back. libical reads some things
// that it never writes (components of X- or unknown names, in the calendar or inside an event),
// so a change written through it would drop them without a word: a file is changed only when
// every line of it comes back, compared as libical writes a line (names in upper case, values
// escaped as it escapes them), in any order.
namespace IcalRoundTrip {

// The file's lines as libical reads them (IcalSplitter::Handlers::line).
using Lines = QList<QByteArray>;

// Why `root`, which libical read from a file of `lines`, cannot be written back as the file:
// how many of its lines would be dropped, and the first. Nothing when none would.
std::optional<QString> dropped(const Lines& lines, icalcomponent* root);

}  // namespace IcalRoundTrip
