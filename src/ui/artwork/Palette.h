// The one place for the editor's colours and fonts: artwork, controls and pages all take them from here.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace velmar::palette {

// Surfaces, darkest first. The page background is what the Home diagram and every page are painted on;
// panels are the raised zones (channel strips, the matrix), wells are the recessed fader slots.
inline constexpr QColor kWell{12, 14, 17};
inline constexpr QColor kPage{24, 27, 32};
inline constexpr QColor kPanel{33, 37, 44};
inline constexpr QColor kPanelRaised{44, 49, 58};
inline constexpr QColor kControlFace{58, 64, 75};
inline constexpr QColor kControlFaceHover{70, 77, 90};

// Lines: hairline borders of panels and controls, their light top-left edge, the diagram's wiring.
inline constexpr QColor kBorder{62, 69, 80};
inline constexpr QColor kBorderLight{92, 101, 115};
inline constexpr QColor kShadow{6, 7, 9};
inline constexpr QColor kWire{120, 132, 148};
inline constexpr QColor kWireDim{74, 82, 94};

// Text.
inline constexpr QColor kText{226, 230, 236};
inline constexpr QColor kTextDim{148, 157, 170};
inline constexpr QColor kTextFaint{96, 104, 116};
inline constexpr QColor kTextOnLight{16, 18, 22};

// Meaning. Accent marks what is selected or being edited; the input colour marks gain controls, the
// delay colour delay controls, so a fader says what it moves before it is read.
inline constexpr QColor kAccent{64, 182, 232};
inline constexpr QColor kGainColour{64, 182, 232};
inline constexpr QColor kDelayColour{236, 164, 64};
inline constexpr QColor kSignalOn{58, 204, 112};
inline constexpr QColor kSignalOnDim{28, 70, 44};
inline constexpr QColor kCaution{242, 196, 64};
inline constexpr QColor kCautionDim{72, 60, 24};
inline constexpr QColor kDanger{236, 78, 70};
inline constexpr QColor kDangerDim{74, 30, 28};
inline constexpr QColor kOff{78, 84, 94};

// The main window's tab strip. Its colour rules make the selected tab white with window-text letters
// and derive the other tabs and their letters from the background colour (90 % and 10 % of it), which
// reads well only on a light base. So the tab control gets this "system" palette of its own and a
// silver background instead of pure white: a light strip, not a glaring one, over the dark pages.
inline constexpr QColor kTabButtonFace{196, 201, 209};
inline constexpr QColor kTabWindowText{16, 18, 22};
inline constexpr QColor kTabBackground{178, 184, 194};

// Fonts. Latin text uses DejaVu Sans, Chinese falls back to WenQuanYi Micro Hei; sizes are in pixels so
// that artwork drawn in code comes out the same on every screen.
QFont uiFont(int pixelSize, bool bold = false);
QFont condensedFont(int pixelSize, bool bold = false);

// The application palette built from the colours above (for QApplication::setPalette with the Fusion
// style), so standard widgets - edits, lists, push buttons - match the artwork.
QPalette applicationPalette();

} // namespace velmar::palette
