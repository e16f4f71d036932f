// The list of fields not confirmed by the processor.
#include "ui/dialogs/UnconfirmedDlg.h"

#include "core/FieldTable.h"
#include "core/ImageCompare.h"
#include "core/Verify.h"
#include "ui/artwork/Palette.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace velmar {

namespace {

// The fields of every unit still different, the processor's value first.
std::vector<FieldDifference> unconfirmedFields(const CoreState& s) {
    std::vector<UnitRef> units(UnconfirmedUnits(s, nullptr, 0));
    units.resize(UnconfirmedUnits(s, units.data(), units.size()));
    std::vector<FieldDifference> fields;
    for (const UnitRef& u : units)
        for (FieldDifference& d : CompareUnit(s.verify.device, s.image, u.kind, u.channel, u.unit))
            fields.push_back(std::move(d));
    return fields;
}

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

QStringList CUnconfirmedDlg::fieldLines(const CoreState& s) {
    QStringList lines;
    for (const FieldDifference& d : unconfirmedFields(s))
        lines << tr("%1 %2: processor %3, this computer %4")
                     .arg(text(FieldTable::ChannelName(d.channel)), text(FieldTable::FieldName(d.field)),
                          text(d.first), text(d.second));
    return lines;
}

CUnconfirmedDlg::CUnconfirmedDlg(AppState& app, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Not confirmed"));
    const CoreState& s = app.core;

    m_table = new QTableWidget(0, 5, this);
    m_table->setHorizontalHeaderLabels(
        {tr("Page"), tr("Channel"), tr("Field"), tr("Processor"), tr("This computer")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    for (const FieldDifference& d : unconfirmedFields(s)) {
        QString page;
        if (d.channel.kind == kKindOutput)
            page = tr("Output");
        else
            page = d.field.id == FieldId::Geq ? tr("Graphic EQ") : tr("Input");
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        const QStringList cells = {page, text(FieldTable::ChannelName(d.channel)),
                                   text(FieldTable::FieldName(d.field)), text(d.first), text(d.second)};
        for (int c = 0; c < cells.size(); ++c) m_table->setItem(row, c, new QTableWidgetItem(cells.at(c)));
    }
    m_table->resizeColumnsToContents();
    // Room around the texts, so values of different lengths still read as columns.
    for (int c = 0; c + 1 < m_table->columnCount(); ++c)
        m_table->setColumnWidth(c, std::max(m_table->columnWidth(c) + 24, 84));
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumSize(560, 220);

    auto* note = new QLabel(tr("The processor has not taken these values; they are sent again at every "
                               "verify read."),
                            this);
    note->setWordWrap(true);
    QPalette p = note->palette();
    p.setColor(QPalette::WindowText, palette::kTextDim);
    note->setPalette(p);

    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setMinimumSize(88, 30);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setSpacing(10);
    layout->addWidget(m_table);
    layout->addWidget(note);
    layout->addLayout(buttons);
}

} // namespace velmar
