// The drop-down list of every page and the system dialog.
#include "ui/pages/SysComboBox.h"

#include <QStandardItemModel>
#include <QWheelEvent>

namespace velmar {

SysComboBox::SysComboBox(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void SysComboBox::setItemEnabled(int index, bool enabled) {
    auto* items = qobject_cast<QStandardItemModel*>(model());
    if (!items || index < 0 || index >= count()) return;
    if (QStandardItem* item = items->item(index)) item->setEnabled(enabled);
}

bool SysComboBox::isItemEnabled(int index) const {
    auto* items = qobject_cast<QStandardItemModel*>(model());
    if (!items || index < 0 || index >= count()) return false;
    const QStandardItem* item = items->item(index);
    return item && item->isEnabled();
}

void SysComboBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace velmar
