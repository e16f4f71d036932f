// PagePanel: a titled, framed zone of a channel page ("GAIN / POL", "EQ", "XOVER", ...).
#pragma once

#include <QWidget>

namespace velmar {

// Draws a raised panel with its caption in a band along the top; the page places its controls inside
// with fixed geometry, below ContentTop(). Owned by its page; user-interface thread only.
class PagePanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTitleHeight = 20;

    explicit PagePanel(QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    const QString& Title() const { return m_title; }
    // First y below the caption for controls. A panel without a title has no caption band.
    int ContentTop() const { return m_title.isEmpty() ? 8 : kTitleHeight + 6; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
};

} // namespace velmar
