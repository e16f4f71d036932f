// The program rename dialog.
#include "ui/dialogs/SaveDlg.h"

#include "ui/artwork/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace velmar {

CSaveDlg::CSaveDlg(AppState&, QWidget* parent, const QString& currentName) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dialog"));
    auto* label = new QLabel(tr("Name"), this);
    m_field = new QLineEdit(this);
    m_field->setMaxLength(kMaxChars);
    m_field->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x20-\\x7E]{0,%1}").arg(kMaxChars)), m_field));
    m_field->setText(QString::fromLatin1(nameBytes(currentName)));
    m_initial = m_field->text();
    m_field->selectAll();
    m_field->setMinimumWidth(220);
    m_field->setFont(palette::uiFont(13));
    m_ok = new QPushButton(tr("OK"), this);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_ok->setDefault(true);
    for (QPushButton* b : {m_ok, m_cancel}) b->setMinimumSize(88, 30);
    connect(m_ok, &QPushButton::clicked, this, &CSaveDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_field, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setSpacing(14);
    layout->addLayout(row);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_field->setFocus();
}

QByteArray CSaveDlg::nameBytes(const QString& text) {
    QByteArray bytes;
    for (QChar c : text) {
        if (bytes.size() >= kMaxChars) break;
        const char16_t u = c.unicode();
        bytes.append(u >= 0x20 && u <= 0x7E ? char(u) : '?');
    }
    return bytes;
}

void CSaveDlg::accept() {
    m_name = QString::fromLatin1(nameBytes(m_field->text()));
    QDialog::accept();
}

} // namespace velmar
