// The stand-in dialog frame.
#include "ui/dialogs/PlaceholderDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace velmar {

PlaceholderDialog::PlaceholderDialog(AppState& app, QWidget* parent) : QDialog(parent), m_app(app) {
    m_text = new QLabel(this);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setMinimumSize(360, 120);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
}

void PlaceholderDialog::setBody(const QString& caption, const QString& text) {
    setWindowTitle(caption);
    m_text->setText(text);
}

} // namespace velmar
