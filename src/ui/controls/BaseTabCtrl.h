// BaseTabCtrl: the main window's tab control, a row of tabs over a display area, drawn by its subclasses.
#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace velmar {

// A single row of tabs along the top and a display area below them; the pages are ordinary children
// that the owner places over the display area. Tabs are as wide as their text plus padding and share
// the width when they do not fit (the drawn text is then elided).
//
// Draw modes: 0 the style draws everything; 1 the style draws the frame and tab shapes and DrawItem
// the tab contents; 2 everything is drawn by DrawMainBorder, DrawItem and DrawItemBorder (the unselected
// tabs from the last to the first, the selected tab last and 2 pixels taller at top and bottom).
//
// "System" colours are taken from the widget's palette: button face = QPalette::Button, window text =
// QPalette::WindowText. Owned by its parent; user-interface thread only.
class BaseTabCtrl : public QWidget {
    Q_OBJECT

public:
    explicit BaseTabCtrl(QWidget* parent = nullptr);

    // Tabs. InsertItem returns the new tab's index; image is an index into the image list or -1.
    int InsertItem(int index, const QString& text, int image = -1);
    bool DeleteItem(int index);
    void DeleteAllItems();
    int GetItemCount() const { return int(m_items.size()); }
    QString GetItemText(int index) const;
    void SetImageList(const QList<QPixmap>& images);

    // The selected tab; SetCurSel does not notify and returns the previous selection (-1 if the index
    // is out of range, changing nothing).
    int GetCurSel() const { return m_current; }
    int SetCurSel(int index);

    // Geometry: a tab's rectangle, the height of the tab row and the display area below it.
    QRect GetItemRect(int index) const;
    int tabRowHeight() const;
    QRect displayRect() const;

    // Background behind the tabs; an invalid colour (the default) means the button face.
    void SetBackgroundColor(QColor colour);
    QColor GetBackgroundColor() const { return m_background; }
    bool hasBackgroundColor() const { return m_background.isValid(); }
    // 0..2; any other value is refused (returns false) and the mode stays.
    bool SetDrawMode(int mode);
    int GetDrawMode() const { return m_drawMode; }

    // Tab colours: BaseTabCtrl gives the button face and the window text.
    virtual QColor GetTabColor(bool selected) const;
    virtual QColor GetTabTextColor(bool selected) const;

    QColor buttonFace() const;
    QColor windowText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user chose another tab (mouse or arrow keys); not emitted by SetCurSel.
    void selectionChanged(int index);

protected:
    // Drawing hooks of draw modes 1 and 2. BaseTabCtrl's own versions draw nothing and warn once: a
    // subclass that asks for owner drawing must supply them.
    virtual void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected);
    virtual void DrawMainBorder(QPainter& painter, const QRect& rect);
    virtual void DrawItemBorder(QPainter& painter, int index, const QRect& rect, bool selected);

    struct Item {
        QString text;
        int image = -1;
    };
    const Item& item(int index) const { return m_items.at(index); }
    QPixmap itemImage(int index) const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutTabs() const;
    void paintStyled(QPainter& painter, bool ownerDrawnItems);
    void paintOwnerDrawn(QPainter& painter);
    void select(int index);
    void warnMissingOverride(const char* what);

    QList<Item> m_items;
    QList<QPixmap> m_images;
    int m_current = -1;
    QColor m_background;
    int m_drawMode = 0;
    bool m_warned = false;
    mutable QList<QRect> m_rects;
    mutable bool m_layoutValid = false;
};

} // namespace velmar
