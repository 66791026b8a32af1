#pragma once

#include <QString>

#include <functional>

namespace velmora {

/// The program's message box: a caption, a text and one OK button, modal for the whole program and
/// with no owner window. Tests put a presenter in its place so that nothing waits for a click.
class MessageBox {
public:
    using Presenter = std::function<void(const QString& caption, const QString& text)>;

    /// Shows the box and returns when it is closed; UI thread only.
    static void show(const QString& caption, const QString& text);

    /// Replaces the box by `presenter`; an empty presenter brings the real box back.
    static void setPresenter(Presenter presenter);
};

} // namespace velmora
