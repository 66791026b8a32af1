#pragma once

#include <QObject>

#include <memory>

namespace velmora::test {

// The Qt Test classes of this program, one per subject.
std::unique_ptr<QObject> makeMainWindowTest();
std::unique_ptr<QObject> makeControlOperationsTest();
std::unique_ptr<QObject> makeRunControlTest();
std::unique_ptr<QObject> makeActivityLogTest();
std::unique_ptr<QObject> makeShellPartsTest();
std::unique_ptr<QObject> makeSaveActionTest();
std::unique_ptr<QObject> makeCollectionRunTest();
std::unique_ptr<QObject> makeStopDrillTest();

} // namespace velmora::test
