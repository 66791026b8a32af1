#pragma once

#include "app/MainWindow.h"
#include "app/MessageBox.h"
#include "app/RunControl.h"
#include "app/WindowBridge.h"
#include "app/WorkerEntries.h"
#include "collectors/RunSettings.h"
#include "text/Text.h"
#include "text/codePages.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>

class QPushButton;

namespace velmora::test {

/// The code page 936 form of a text written in the (UTF-8) source.
inline Text gbk(std::string_view utf8) {
    return utf8ToAnsi(utf8);
}

/// How long a test waits for something that happens at once when the code is right.
inline constexpr std::chrono::seconds kPatience{10};

/// The real window and run control, wired as the program wires them, with the browser pane on a
/// blank page (nothing leaves the machine) and the given worker entries.
class Shell {
public:
    explicit Shell(WorkerEntries entries = {});
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    /// The control with that object name, found the way a user's tool would find it.
    template <class Control> Control* find(const QString& name) const {
        return window->findChild<Control*>(name);
    }

    /// Clicks the start/stop button with the mouse.
    void pressStartStop() const;
    /// The start/stop button's caption.
    QString caption() const;
    /// The log box's text.
    QString logText() const;

    std::shared_ptr<RunSettings> settings;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<RunControl> runControl;
};

/// What a run could change in the window: what it shows, and how many of a worker's calls it carried out.
struct Screen {
    int rows = 0;
    QStringList cells; ///< row by row
    QString status;
    QString log;
    int width = 0;
    long servedCalls = 0; ///< a worker's calls carried out, the browser pane's address among them
    bool operator==(const Screen&) const = default;
};

/// The window's screen now.
Screen screenOf(const MainWindow& window);

/// The first part in which `after` differs from `before`, "" when none does.
QString screenChange(const Screen& before, const Screen& after);

/// Takes the place of the message box for its lifetime and records what would have been shown.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    QStringList captions;
    QStringList texts;
};

/// A one-way flag between threads; waiting on it runs no event loop.
class Flag {
public:
    void raise();
    bool isRaised() const;
    /// True once raised, waiting at most `bound`.
    bool waitRaised(std::chrono::milliseconds bound = kPatience) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool raised_ = false;
};

/// True once a caller on another thread waits for a call through `bridge`, waiting at most `bound`
/// without running the event loop (so the call stays queued).
bool waitForWaitingCaller(const WindowBridge& bridge, std::chrono::milliseconds bound = kPatience);

/// Runs `body` on a new thread while this (UI) thread keeps serving the window; returns when it is done.
void runOnWorker(const std::function<void()>& body);

/// A loopback TCP port that takes connections and never answers them.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    /// The listening port on 127.0.0.1.
    int port() const { return port_; }

    /// True once a client has connected, waiting at most `bound`.
    bool waitForConnection(std::chrono::milliseconds bound = kPatience) const;

private:
    int socket_ = -1;
    int port_ = 0;
};

} // namespace velmora::test
