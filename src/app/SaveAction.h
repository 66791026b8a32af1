#pragma once

namespace velmora {

class MainWindow;

/// The handler of the save button: asks for a file and a format, then writes the table's rows as
/// they stand, also during a run. A failure is shown in a message box and leaves the file that was
/// there before untouched; a success is written to the activity log. UI thread only.
void saveData(MainWindow& window);

} // namespace velmora
