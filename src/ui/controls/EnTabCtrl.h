// EnTabCtrl: the flat, coloured, gradient look of the main window's tab control.
#pragma once

#include "ui/controls/BaseTabCtrl.h"

namespace velmar {

// Draws tabs and borders from colours derived from the background colour and the button face. The
// look flags are one word shared by every EnTabCtrl of the application (the main window sets them).
// User-interface thread only, like the flags.
class EnTabCtrl : public BaseTabCtrl {
    Q_OBJECT

public:
    enum LookFlag : unsigned {
        Flat = 0x01,      // flat unselected tabs
        Color = 0x02,     // use the background colour
        Selection = 0x04, // highlight the selected tab
        Gradient = 0x08,  // gradient fill
        BackTabs = 0x10,  // borders around the unselected tabs too
    };

    explicit EnTabCtrl(QWidget* parent = nullptr);

    // The shared look; with enable false the flags become 0.
    static void SetCustomLook(bool enable, unsigned flags);
    static unsigned GetCustomLook();

    QColor GetTabColor(bool selected) const override;
    QColor GetTabTextColor(bool selected) const override;
    // The colour a tab's gradient ends in at its bottom.
    QColor GradientEndColor(bool selected) const;

    // light(c, f): each channel times f > 1, capped at 255. dark(c, f): each channel times 0 < f < 1,
    // truncated.
    static QColor Light(QColor c, double factor);
    static QColor Dark(QColor c, double factor);
    // The colour of the 2-pixel band starting at `line` of a gradient `height` pixels tall.
    static QColor GradientBand(QColor from, QColor to, int line, int height);

protected:
    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) override;
    void DrawMainBorder(QPainter& painter, const QRect& rect) override;
    void DrawItemBorder(QPainter& painter, int index, const QRect& rect, bool selected) override;

    // Colour depth of the screen; gradients need more than 15 bits per pixel.
    virtual int displayDepth() const;

private:
    QColor backgroundOrFace() const;
};

} // namespace velmar
