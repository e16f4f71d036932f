// XPButton: a two-state (off/on) bitmap button, each state with normal, hover and pressed faces.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace velmar {

// Shows one of six bitmaps: the "on" or "off" set by IsOn(), and within it the pressed face while the
// button is held down under the mouse, the hover face while the mouse is over it, else the normal face.
// The button takes the size of the face it shows; no caption is drawn; a missing face leaves the area
// unpainted. The level meters use it with the lit image three times and the unlit image three times.
//
// It takes no keyboard focus (it draws no focus mark). Owned by its parent; user-interface thread only.
class XPButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit XPButton(QWidget* parent = nullptr);

    // Faces by bitmap number (ui/artwork/Artwork.h); 0 or an unknown number leaves that face empty.
    // Returns false if a non-zero number has no artwork. Redraws at once.
    bool SetBitmaps(int onNormal, int onHover, int onPressed, int offNormal, int offHover, int offPressed);
    void SetBitmaps(const QPixmap& onNormal, const QPixmap& onHover, const QPixmap& onPressed,
                    const QPixmap& offNormal, const QPixmap& offHover, const QPixmap& offPressed);

    // Which set is shown; redraws at once when it changes.
    void SetOn(bool on);
    bool IsOn() const { return m_on; }

    // The hand cursor over the button (on by default); the arrow when off.
    void SetHandCursor(bool hand);
    bool IsHovering() const { return m_hover; }

    // The face the next paint will show (may be null).
    const QPixmap& currentFace() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void fitToFace();

    QPixmap m_onFaces[3];  // normal, hover, pressed
    QPixmap m_offFaces[3]; // normal, hover, pressed
    bool m_on = false;
    bool m_hover = false;
};

} // namespace velmar
