// The program list of the load and save dialogs.
#include "ui/dialogs/SysProgramList.h"

#include "ui/artwork/Palette.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace velmar {

SysProgramList::SysProgramList(QWidget* parent) : QTableWidget(kRows, 2, parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFont(palette::uiFont(13));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(24);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = horizontalHeader();
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setFont(palette::uiFont(12, true));
    setColumnWidth(0, kIdWidth);
    setColumnWidth(1, kNameWidth);
    for (int r = 0; r < kRows; ++r) {
        auto* id = new QTableWidgetItem(QString::asprintf("%d", r + 1));
        id->setTextAlignment(Qt::AlignCenter);
        setItem(r, 0, id);
        auto* name = new QTableWidgetItem;
        name->setTextAlignment(Qt::AlignCenter);
        setItem(r, 1, name);
    }
    setStyleSheet(QStringLiteral("QTableWidget { gridline-color: %1; }").arg(palette::kBorder.name()));
}

QSize SysProgramList::sizeHint() const {
    const int w = kIdWidth + kNameWidth + 2 * frameWidth() + 2;
    const int h = horizontalHeader()->sizeHint().height() + kRows * verticalHeader()->defaultSectionSize() +
                  2 * frameWidth() + 2;
    return {w, h};
}

void SysProgramList::setHeaders(const QString& id, const QString& name) {
    setHorizontalHeaderLabels({id, name});
}

void SysProgramList::setRowName(int row, const QString& name) {
    if (QTableWidgetItem* cell = item(row, 1)) cell->setText(name);
}

QString SysProgramList::rowName(int row) const {
    const QTableWidgetItem* cell = item(row, 1);
    return cell ? cell->text() : QString();
}

QList<int> SysProgramList::selectedRowNumbers() const {
    QList<int> rows;
    for (int r = 0; r < kRows; ++r)
        if (item(r, 0) && item(r, 0)->isSelected()) rows << r;
    return rows;
}

void SysProgramList::mousePressEvent(QMouseEvent* event) {
    // Only the left button chooses; any other press would move the highlight without choosing.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        clearSelection();
        emit rowClicked(0);
        return;
    }
    emit rowClicked(index.row() + 1);
}

void SysProgramList::keyPressEvent(QKeyEvent* event) {
    // No key moves the highlight (or searches by typing): the dialog acts on the clicked row only.
    event->ignore();
}

void SysProgramList::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit rowDoubleClicked();
}

} // namespace velmar
