// The key pre-filter: Enter and Escape take an entry's value without closing or pressing anything, Tab
// stays put, and keys of other windows pass untouched.
#include "ui/app/KeyboardFilter.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace velmar;

namespace {

// A dialog with a default button and two entries, the filter installed as the dialogs install it.
struct FilteredDialog {
    QDialog dialog;
    QLineEdit* first = new QLineEdit(&dialog);
    QLineEdit* second = new QLineEdit(&dialog);
    QPushButton* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    int accepted = 0;
    int rejected = 0;
    int clicked = 0;

    FilteredDialog() {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(ok);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, [this] { ++clicked; });
        QObject::connect(&dialog, &QDialog::accepted, &dialog, [this] { ++accepted; });
        QObject::connect(&dialog, &QDialog::rejected, &dialog, [this] { ++rejected; });
        new KeyboardFilter(&dialog);
        dialog.show();
        dialog.activateWindow();
        first->setFocus();
    }
};

} // namespace

class KeyboardFilterTest : public QObject {
    Q_OBJECT

private slots:
    void enterAndEscapeMoveTheFocusToTheWindowAndCloseNothing_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void enterAndEscapeMoveTheFocusToTheWindowAndCloseNothing() {
        QFETCH(int, key);
        FilteredDialog d;
        QVERIFY(QTest::qWaitForWindowExposed(&d.dialog));
        QTRY_VERIFY(d.first->hasFocus());
        QTest::keyClick(d.first, Qt::Key(key));
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(d.accepted + d.rejected + d.clicked, 0);
        QVERIFY(!d.first->hasFocus()); // leaving the entry is what makes it take its value
        QCOMPARE(QApplication::focusWidget(), &d.dialog);
    }

    void tabDoesNotMoveBetweenControls() {
        FilteredDialog d;
        QVERIFY(QTest::qWaitForWindowExposed(&d.dialog));
        QTRY_VERIFY(d.first->hasFocus());
        QTest::keyClick(d.first, Qt::Key_Tab);
        QVERIFY(d.first->hasFocus());
        QTest::keyClick(d.first, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(d.first->hasFocus());
    }

    void otherKeysAndOtherWindowsPassUntouched() {
        FilteredDialog d;
        QVERIFY(QTest::qWaitForWindowExposed(&d.dialog));
        QTRY_VERIFY(d.first->hasFocus());
        QTest::keyClicks(d.first, QStringLiteral("12.5"));
        QCOMPARE(d.first->text(), QStringLiteral("12.5"));

        // A window of its own (a pop-up, another dialog) keeps its Enter.
        QDialog other;
        auto* otherOk = new QPushButton(QStringLiteral("OK"), &other);
        otherOk->setDefault(true);
        QObject::connect(otherOk, &QPushButton::clicked, &other, &QDialog::accept);
        auto* entry = new QLineEdit(&other);
        other.show();
        QSignalSpy accepted(&other, &QDialog::accepted);
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
    }

    void theFilterGoesWithItsWindow() {
        QPointer<KeyboardFilter> filter;
        {
            QDialog dialog;
            filter = new KeyboardFilter(&dialog);
        }
        QVERIFY(filter.isNull());
        QLineEdit alone;
        alone.show();
        QTest::keyClicks(&alone, QStringLiteral("7"));
        QCOMPARE(alone.text(), QStringLiteral("7"));
    }
};

QTEST_MAIN(KeyboardFilterTest)
#include "KeyboardFilterTest.moc"
