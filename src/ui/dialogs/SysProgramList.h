// SysProgramList: the twelve-row list of the processor's user programs in the load and save dialogs.
#pragma once

#include <QTableWidget>

namespace velmar {

// Two centred columns, "ID" (65 pixels) and "Name" (300 pixels), full-row selection and grid lines,
// one row per user program 1..12. Only the mouse chooses a row: the list takes no keyboard focus, so
// arrow keys can never move the highlighted row away from the row the dialog will act on. A press on a
// row reports rowClicked(row + 1); a press below the rows clears the highlight and reports
// rowClicked(0). A double click reports rowDoubleClicked after the press has chosen the row.
// Owned by its dialog; UI thread only.
class SysProgramList : public QTableWidget {
    Q_OBJECT

public:
    static constexpr int kRows = 12;
    static constexpr int kIdWidth = 65;
    static constexpr int kNameWidth = 300;

    explicit SysProgramList(QWidget* parent = nullptr);

    void setHeaders(const QString& id, const QString& name);
    void setRowName(int row, const QString& name);
    QString rowName(int row) const;
    // Rows highlighted now, ascending.
    QList<int> selectedRowNumbers() const;

    QSize sizeHint() const override;

signals:
    void rowClicked(int number); // 1..12, 0 for a press that chose nothing
    void rowDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace velmar
