// The channel pages' style sheet, built from the palette.
#include "ui/pages/PageStyle.h"

#include "ui/artwork/Palette.h"

namespace velmar {

QString ChannelPageStyleSheet() {
    using namespace palette;
    const auto c = [](const QColor& colour) { return colour.name(); };
    return QStringLiteral("QLineEdit { background: %1; color: %2; border: 1px solid %3; border-radius: 2px;"
                          " padding: 0px 4px; selection-background-color: %4; selection-color: %5; }"
                          "QLineEdit:focus { border-color: %4; }"
                          "QLineEdit:read-only { background: %6; color: %2; }"
                          "QPushButton { background: %7; color: %2; border: 1px solid %3; border-radius: 3px;"
                          " padding: 2px 8px; }"
                          "QPushButton:hover { background: %8; }"
                          "QPushButton:pressed { background: %3; }"
                          "QPushButton:focus { border-color: %4; }"
                          "QPushButton#bandBypass { padding: 0px; color: %9; background: %6; }"
                          "QPushButton#bandBypass:hover { background: %7; }"
                          "QPushButton#bandBypass:checked { background: %11; color: %10; border-color: %12; }"
                          "QPushButton#eqBypass:checked { background: %10; color: %5; border-color: %10; }")
        .arg(c(kWell), c(kText), c(kBorder), c(kAccent), c(kTextOnLight), c(kPanelRaised), c(kControlFace),
             c(kControlFaceHover), c(kTextDim), c(kCaution), c(kCautionDim), c(kCaution.darker(150)));
}

} // namespace velmar
