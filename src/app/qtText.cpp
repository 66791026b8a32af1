#include "app/qtText.h"

#include "text/codePages.h"

namespace velmora {

Text toText(const QString& text) {
    return wideToText(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()),
                      kCodePageGbk);
}

QString toQString(const Text& text) {
    const std::u16string wide = textToWide(text, kCodePageGbk);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

} // namespace velmora
