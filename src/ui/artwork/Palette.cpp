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

QPalette applicationPalette() {
    QPalette p;
    p.setColor(QPalette::Window, kPage);
    p.setColor(QPalette::WindowText, kText);
    p.setColor(QPalette::Base, kWell);
    p.setColor(QPalette::AlternateBase, kPanel);
    p.setColor(QPalette::Text, kText);
    p.setColor(QPalette::PlaceholderText, kTextFaint);
    p.setColor(QPalette::Button, kControlFace);
    p.setColor(QPalette::ButtonText, kText);
    p.setColor(QPalette::BrightText, kDanger);
    p.setColor(QPalette::Highlight, kAccent);
    p.setColor(QPalette::HighlightedText, kTextOnLight);
    p.setColor(QPalette::Link, kAccent);
    p.setColor(QPalette::ToolTipBase, kPanelRaised);
    p.setColor(QPalette::ToolTipText, kText);
    p.setColor(QPalette::Light, kBorderLight);
    p.setColor(QPalette::Midlight, kControlFaceHover);
    p.setColor(QPalette::Mid, kBorder);
    p.setColor(QPalette::Dark, kShadow);
    p.setColor(QPalette::Shadow, kShadow);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, kTextFaint);
    p.setColor(QPalette::Disabled, QPalette::Button, kPanelRaised);
    return p;
}

} // namespace velmar::palette
