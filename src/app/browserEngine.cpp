#include "app/browserEngine.h"

#include <QCoreApplication>

#include <unistd.h>

namespace velmora {

QByteArray chromiumFlags(bool superuser) {
    QByteArray flags = "--disable-gpu --disable-background-networking --disable-component-update";
    if (superuser) {
        flags += " --no-sandbox";
    }
    return flags;
}

void prepareBrowserEngine() {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.isEmpty()) {
        flags += ' ';
    }
    flags += chromiumFlags(geteuid() == 0);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    // The browser engine shares the GL contexts of the widgets; Qt needs this before the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace velmora
