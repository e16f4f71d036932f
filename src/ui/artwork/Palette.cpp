// The editor's fonts (the colours are constants in the header).
#include "ui/artwork/Palette.h"

#include <QStringList>

namespace velmar::palette {

namespace {

QFont makeFont(const QString& family, int pixelSize, bool bold) {
    QFont f;
    f.setFamilies({family, QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    // Artwork must be identical run to run: full hinting keeps stems on whole pixels at small sizes.
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

} // namespace

QFont uiFont(int pixelSize, bool bold) {
    return makeFont(QStringLiteral("DejaVu Sans"), pixelSize, bold);
}

QFont condensedFont(int pixelSize, bool bold) {
    QFont f = makeFont(QStringLiteral("DejaVu Sans Condensed"), pixelSize, bold);
    f.setStretch(QFont::SemiCondensed);
    return f;
}

} // namespace velmar::palette
