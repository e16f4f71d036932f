// xSkinButton: a push, check or radio button whose face is a bitmap chosen by the mouse state.
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>

namespace velmar {

// The face is the normal, down, over, disabled or focus bitmap; the caption (text()) is drawn over it.
// Qt's button machinery gives the capture behaviour: pressing shows the down face, dragging off
// releases it, dragging back presses it again, releasing outside clicks nothing, a double click presses
// like a single one, and Space toggles a check box or checks a radio button.
//
// Owned by its parent widget; user-interface thread only.
class xSkinButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class Kind { Push, CheckBox, Radio };
    enum DrawMode { Copy = 0, Stretch = 1, Tile = 2 };

    explicit xSkinButton(QWidget* parent = nullptr, Kind kind = Kind::Push);
    explicit xSkinButton(const QString& caption, QWidget* parent = nullptr, Kind kind = Kind::Push);

    // The button kind the dialog template would give: check boxes toggle, radio buttons check
    // themselves and uncheck their auto-exclusive siblings.
    void SetKind(Kind kind);
    Kind GetKind() const { return m_kind; }

    // Faces by bitmap number (ui/artwork/Artwork.h); 0 means none. The disabled face falls back to the
    // normal one, and so does the down face. The mask's non-white pixels make the button's shape, and
    // faces are drawn through it. drawMode: 0 copy from the origin, 1 stretch, 2 tile (clamped to 0..2).
    // border non-zero draws a raised edge (sunken while pressed); margin > 0 draws a focus rectangle
    // inset by it while focused. Returns false if a non-zero number has no artwork (that face is none).
    bool SetSkin(int normal, int down, int over, int disabled = 0, int focus = 0, int mask = 0,
                 int drawMode = 0, int border = 0, int margin = 0);
    // The same with images; null pixmaps mean none.
    void SetSkin(const QPixmap& normal, const QPixmap& down, const QPixmap& over,
                 const QPixmap& disabled = QPixmap(), const QPixmap& focus = QPixmap(),
                 const QImage& mask = QImage(), int drawMode = 0, int border = 0, int margin = 0);

    // Check state of check boxes and radio buttons; a push button refuses to be checked.
    void SetCheck(bool checked);
    bool GetCheck() const { return isChecked(); }

    void SetToolTipText(const QString& text) { setToolTip(text); }

    // Caption look. The defaults are Arial at a 22-pixel cell, red, and blue while hovering.
    void SetTextColors(QColor normal, QColor hover);
    QColor GetTextColor() const { return m_textColour; }
    QColor GetHoverTextColor() const { return m_hoverTextColour; }
    void SetCaptionFont(const QFont& font);

    bool IsHovering() const { return m_hover; }
    int GetDrawMode() const { return m_drawMode; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void init(Kind kind);
    void drawFace(QPainter& painter, const QPixmap& face) const;
    void drawCaption(QPainter& painter, QPoint offset, QColor colour) const;

    Kind m_kind = Kind::Push;
    QPixmap m_normal;
    QPixmap m_down;
    QPixmap m_over;
    QPixmap m_disabled;
    QPixmap m_focus;
    QRegion m_shape;
    int m_drawMode = Copy;
    int m_border = 0;
    int m_focusMargin = 0;
    bool m_hover = false;
    QColor m_textColour;
    QColor m_hoverTextColour;
    QFont m_captionFont;
};

} // namespace velmar
