// SysComboBox: a drop-down list that a passing mouse wheel cannot change.
#pragma once

#include <QComboBox>

namespace velmar {

// The Home page's link lists copy a whole channel when their choice changes, and the system dialog's
// gate lists send at once: a wheel turned over the page on its way to somewhere else must not do that.
// The list takes the wheel only while it has the keyboard focus (as the system's own lists do).
// Owned by its parent; UI thread only.
class SysComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit SysComboBox(QWidget* parent = nullptr);

    // Enables or disables (greys out, makes unselectable) item `index`.
    void setItemEnabled(int index, bool enabled);
    bool isItemEnabled(int index) const;

protected:
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace velmar
