// BaseTabCtrl: tab items, their layout, selection and the painting order of the three draw modes.
#include "ui/controls/BaseTabCtrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>

namespace velmar {

namespace {
constexpr int kRowTop = 2; // the tabs start 2 pixels below the top, room for the taller selected tab
constexpr int kRowLeft = 2;
constexpr int kTextPadding = 6;   // each side of a tab's text
constexpr int kImageAdvance = 19; // an image moves the text this far right
} // namespace

BaseTabCtrl::BaseTabCtrl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

int BaseTabCtrl::InsertItem(int index, const QString& text, int image) {
    index = std::clamp(index, 0, int(m_items.size()));
    m_items.insert(index, Item{text, image});
    if (m_current < 0)
        m_current = 0;
    else if (index <= m_current)
        ++m_current;
    m_layoutValid = false;
    update();
    return index;
}

bool BaseTabCtrl::DeleteItem(int index) {
    if (index < 0 || index >= m_items.size()) return false;
    m_items.removeAt(index);
    if (m_items.isEmpty())
        m_current = -1;
    else if (index < m_current || m_current >= m_items.size())
        --m_current;
    m_layoutValid = false;
    update();
    return true;
}

void BaseTabCtrl::DeleteAllItems() {
    m_items.clear();
    m_current = -1;
    m_layoutValid = false;
    update();
}

QString BaseTabCtrl::GetItemText(int index) const {
    return index >= 0 && index < m_items.size() ? m_items.at(index).text : QString();
}

void BaseTabCtrl::SetImageList(const QList<QPixmap>& images) {
    m_images = images;
    m_layoutValid = false;
    update();
}

QPixmap BaseTabCtrl::itemImage(int index) const {
    const int image = m_items.at(index).image;
    return image >= 0 && image < m_images.size() ? m_images.at(image) : QPixmap();
}

int BaseTabCtrl::SetCurSel(int index) {
    if (index < 0 || index >= m_items.size()) return -1;
    const int previous = m_current;
    m_current = index;
    update();
    return previous;
}

void BaseTabCtrl::SetBackgroundColor(QColor colour) {
    m_background = colour;
    update();
}

bool BaseTabCtrl::SetDrawMode(int mode) {
    if (mode < 0 || mode > 2) {
        qWarning("BaseTabCtrl: draw mode %d refused", mode);
        return false;
    }
    m_drawMode = mode;
    m_layoutValid = false;
    update();
    return true;
}

QColor BaseTabCtrl::buttonFace() const {
    return palette().color(QPalette::Button);
}
QColor BaseTabCtrl::windowText() const {
    return palette().color(QPalette::WindowText);
}

QColor BaseTabCtrl::GetTabColor(bool) const {
    return buttonFace();
}
QColor BaseTabCtrl::GetTabTextColor(bool) const {
    return windowText();
}

int BaseTabCtrl::tabRowHeight() const {
    return fontMetrics().height() + 8;
}

void BaseTabCtrl::layoutTabs() const {
    if (m_layoutValid) return;
    m_rects.clear();
    const QFontMetrics metrics = fontMetrics();
    QList<int> widths;
    int total = 0;
    for (int i = 0; i < m_items.size(); ++i) {
        const int textWidth = metrics.horizontalAdvance(m_items.at(i).text);
        int w = textWidth + 2 * kTextPadding;
        if (!itemImage(i).isNull()) w += kImageAdvance;
        if (m_drawMode != 2) {
            // The style draws the tab shapes and wants its own padding around the label.
            QStyleOptionTab option;
            option.initFrom(this);
            option.text = m_items.at(i).text;
            option.shape = QTabBar::RoundedNorth;
            const int space = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
            const QSize content(textWidth + space + (itemImage(i).isNull() ? 0 : kImageAdvance),
                                metrics.height());
            w = std::max(w, style()->sizeFromContents(QStyle::CT_TabBarTab, &option, content, this).width());
        }
        widths.append(w);
        total += w;
    }
    const int available = width() - 2 * kRowLeft;
    const int height = tabRowHeight();
    int x = kRowLeft;
    for (int i = 0; i < widths.size(); ++i) {
        int w = widths.at(i);
        // Too many tabs for one row: every tab gives up the same share of its width.
        if (total > available && available > 0) w = std::max(8, int(qint64(w) * available / total));
        m_rects.append(QRect(x, kRowTop, w, height));
        x += w;
    }
    m_layoutValid = true;
}

QRect BaseTabCtrl::GetItemRect(int index) const {
    layoutTabs();
    return index >= 0 && index < m_rects.size() ? m_rects.at(index) : QRect();
}

QRect BaseTabCtrl::displayRect() const {
    const int top = kRowTop + tabRowHeight() + 2;
    return QRect(0, top, width(), std::max(0, height() - top));
}

QSize BaseTabCtrl::sizeHint() const {
    layoutTabs();
    const int w = m_rects.isEmpty() ? 200 : m_rects.last().right() + 1 + kRowLeft;
    return QSize(w, kRowTop + tabRowHeight() + 100);
}

QSize BaseTabCtrl::minimumSizeHint() const {
    return QSize(40, kRowTop + tabRowHeight() + 4);
}

void BaseTabCtrl::select(int index) {
    if (index < 0 || index >= m_items.size() || index == m_current) return;
    m_current = index;
    update();
    emit selectionChanged(index);
}

void BaseTabCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    layoutTabs();
    const QPoint at = event->position().toPoint();
    // The selected tab is drawn on top and taller, so it wins where it overlaps.
    if (m_current >= 0 && m_rects.value(m_current).adjusted(0, -2, 0, 2).contains(at)) {
        event->accept();
        return;
    }
    for (int i = 0; i < m_rects.size(); ++i) {
        if (m_rects.at(i).contains(at)) {
            select(i);
            event->accept();
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

void BaseTabCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left && m_current > 0)
        select(m_current - 1);
    else if (event->key() == Qt::Key_Right && m_current + 1 < m_items.size())
        select(m_current + 1);
    else
        return QWidget::keyPressEvent(event);
    event->accept();
}

void BaseTabCtrl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) m_layoutValid = false;
    QWidget::changeEvent(event);
}

void BaseTabCtrl::resizeEvent(QResizeEvent* event) {
    m_layoutValid = false;
    QWidget::resizeEvent(event);
}

void BaseTabCtrl::warnMissingOverride(const char* what) {
    if (m_warned) return;
    m_warned = true;
    qWarning("BaseTabCtrl: %s must be supplied by a subclass for draw mode %d", what, m_drawMode);
}

void BaseTabCtrl::DrawItem(QPainter&, int, const QRect&, bool) {
    warnMissingOverride("DrawItem");
}
void BaseTabCtrl::DrawMainBorder(QPainter&, const QRect&) {
    warnMissingOverride("DrawMainBorder");
}
void BaseTabCtrl::DrawItemBorder(QPainter&, int, const QRect&, bool) {
    warnMissingOverride("DrawItemBorder");
}

void BaseTabCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    layoutTabs();
    // The strip behind the tabs takes the background colour (the button face when none is set).
    const QRect display = displayRect();
    painter.fillRect(QRect(0, 0, width(), display.top()),
                     m_background.isValid() ? m_background : buttonFace());
    if (m_drawMode == 2)
        paintOwnerDrawn(painter);
    else
        paintStyled(painter, m_drawMode == 1);
}

void BaseTabCtrl::paintOwnerDrawn(QPainter& painter) {
    DrawMainBorder(painter, displayRect().adjusted(0, -2, 0, 0));
    for (int i = int(m_rects.size()) - 1; i >= 0; --i) {
        if (i == m_current) continue;
        const QRect r = m_rects.at(i).adjusted(0, 0, 0, -2);
        DrawItem(painter, i, r, false);
        DrawItemBorder(painter, i, r, false);
    }
    if (m_current >= 0 && m_current < m_rects.size()) {
        const QRect r = m_rects.at(m_current).adjusted(0, -2, 0, 2);
        DrawItem(painter, m_current, r, true);
        DrawItemBorder(painter, m_current, r, true);
    }
}

void BaseTabCtrl::paintStyled(QPainter& painter, bool ownerDrawnItems) {
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = displayRect().adjusted(0, -2, 0, 0);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
    auto drawTab = [&](int i) {
        QStyleOptionTab tab;
        tab.initFrom(this);
        tab.rect = m_rects.at(i);
        tab.shape = QTabBar::RoundedNorth;
        // Tabs squeezed to share the width show their text elided, as a QTabBar does.
        const QPixmap image = itemImage(i);
        if (!image.isNull()) {
            tab.icon = QIcon(image);
            tab.iconSize = image.deviceIndependentSize().toSize();
        }
        tab.text = m_items.at(i).text;
        const int textWidth = style()->subElementRect(QStyle::SE_TabBarTabText, &tab, this).width();
        tab.text = fontMetrics().elidedText(tab.text, Qt::ElideRight, textWidth);
        if (i == m_current) tab.state |= QStyle::State_Selected;
        tab.position = m_items.size() == 1       ? QStyleOptionTab::OnlyOneTab
                       : i == 0                  ? QStyleOptionTab::Beginning
                       : i + 1 == m_items.size() ? QStyleOptionTab::End
                                                 : QStyleOptionTab::Middle;
        style()->drawControl(QStyle::CE_TabBarTabShape, &tab, &painter, this);
        if (ownerDrawnItems)
            DrawItem(painter, i, m_rects.at(i), i == m_current);
        else
            style()->drawControl(QStyle::CE_TabBarTabLabel, &tab, &painter, this);
    };
    // The style's shapes overlap their right neighbour, so they go left to right as a QTabBar draws them.
    for (int i = 0; i < m_rects.size(); ++i)
        if (i != m_current) drawTab(i);
    if (m_current >= 0 && m_current < m_rects.size()) drawTab(m_current);
}

} // namespace velmar
