#pragma once

#include "text/Text.h"
#include "text/localDate.h"

namespace velmora {

/// The stamp of a log line, "Wen, 9-Mar-2016 8:5:3 GMT": the local time, not converted to UTC,
/// always marked " GMT", with the same English names whatever the machine's language.
Text timeStamp(const LocalDateTime& t);

/// One log line without its line end: the stamp of `at`, "===>>>" and the message.
Text logLine(const Text& message, const LocalDateTime& at);

/// One log line without its line end, stamped with the local time now.
Text logLine(const Text& message);

} // namespace velmora
