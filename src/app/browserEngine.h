#pragma once

#include <QByteArray>

namespace velmora {

/// The switches the embedded browser engine gets besides any the user set: software drawing, no
/// traffic of its own, and for the superuser no sandbox (the engine refuses to start in one as root).
QByteArray chromiumFlags(bool superuser);

/// Readies the browser engine; call once before the QApplication is created.
void prepareBrowserEngine();

} // namespace velmora
