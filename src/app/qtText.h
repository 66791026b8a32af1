#pragma once

#include "text/Text.h"

#include <QString>

namespace velmora {

// Every text crosses between the window (QString) and the core (code page 936) here, through the
// project's own converter, so that both sides agree on what an unconvertible character becomes.

/// The code page 936 form of a window text; characters it cannot hold become "?".
Text toText(const QString& text);

/// A code page 936 text for the window; invalid byte sequences become U+FFFD.
QString toQString(const Text& text);

} // namespace velmora
