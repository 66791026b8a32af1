#pragma once

#include "app/ControlOperations.h"
#include "collectors/RunView.h"

namespace velmora {

/// The window as one run's collector sees it. Every call is carried out on the UI thread; once the
/// run's token is cancelled, calls are dropped and rowCount/appendRow answer 0.
class WindowRunView : public RunView {
public:
    WindowRunView(std::shared_ptr<WindowBridge> bridge, std::shared_ptr<const CancelToken> token);

    void clearRows() override;
    int rowCount() override;
    int appendRow(const Text& number) override;
    void setCell(int row, int column, const Text& text) override;
    void setStatusText(const Text& text) override;
    void setBrowserAddress(const Text& address) override;
    void setWindowWidth(int width) override;
    void log(const Text& message) override;

private:
    ControlOperations operations_;
};

} // namespace velmora
