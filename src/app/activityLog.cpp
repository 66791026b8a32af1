#include "app/activityLog.h"

#include "app/ControlOperations.h"
#include "collectors/logLine.h"

namespace velmora {

void logMessage(ControlOperations& operations, const Text& message) {
    operations.appendText(&MainWindow::编辑框2shop, logLine(message) + "\r\n");
}

} // namespace velmora
