// SysComboBox: the drop-down list of every page, which a passing mouse wheel cannot change.
#pragma once

#include <QComboBox>

namespace velmar {

// Every list of the pages sends what it chooses: the Home page's link lists copy a whole channel, the
// system dialog's gate lists, the channel pages' band-type, shelf-slope and crossover lists write to the
// processor at once. A wheel turned over the page on its way to somewhere else must not do that. The
// list takes the wheel only while it has the keyboard focus (as the system's own lists do); otherwise
// the event goes on to the parent, which may scroll.
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
