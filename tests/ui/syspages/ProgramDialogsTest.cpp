// The program dialogs: choosing a row only with the mouse, the refusals, and load, store and rename
// against velmar-sim over a real TCP link, each a success only once the processor answered, with the
// status line showing the program in use.
#include "SysAppRig.h"
#include "SysPagesHarness.h"

#include "ui/app/LanguageManager.h"
#include "ui/dialogs/MemoryLoad.h"
#include "ui/dialogs/MemorySave.h"
#include "ui/dialogs/SaveDlg.h"
#include "ui/dialogs/SysProgramList.h"
#include "ui/pages/GainDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <cstring>

using namespace velmar;
using namespace velmar::syspagestest;

namespace {

// A left click on row `row` (0..11) of the dialog's list, as the user gives it.
void clickRow(SysProgramDialog& dialog, int row) {
    SysProgramList* list = dialog.list();
    const QRect r = list->visualRect(list->model()->index(row, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}
void doubleClickRow(SysProgramDialog& dialog, int row) {
    SysProgramList* list = dialog.list();
    const QPoint p = list->visualRect(list->model()->index(row, 1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, p);
}

// A modal answer that renames to `name` and confirms.
std::function<int(QDialog&)> renameTo(const QString& name) {
    return [name](QDialog& d) {
        auto* rename = qobject_cast<CSaveDlg*>(&d);
        if (!rename) return int(QDialog::Rejected);
        rename->field()->setText(name);
        rename->accept();
        return int(QDialog::Accepted);
    };
}

std::array<uint8_t, 16> nameField(const char* text) {
    std::array<uint8_t, 16> field{};
    std::memcpy(field.data(), text, std::strlen(text));
    return field;
}

} // namespace

class ProgramDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void listsShowTheTwelveUserPrograms() {
        Harness h;
        std::strcpy(h.core().programNames[12], "MAIN HALL");
        CMemoryLoad dialog(h.app, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Load"));
        QCOMPARE(dialog.list()->rowCount(), 12);
        QCOMPARE(dialog.list()->item(0, 0)->text(), QStringLiteral("1"));
        QCOMPARE(dialog.list()->item(11, 0)->text(), QStringLiteral("12"));
        QCOMPARE(dialog.list()->rowName(11), QStringLiteral("MAIN HALL"));
        QCOMPARE(dialog.list()->rowName(0), QStringLiteral("     USER 1     "));
        QCOMPARE(dialog.list()->columnWidth(0), 65);
        QCOMPARE(dialog.list()->columnWidth(1), 300);
        QCOMPARE(dialog.list()->horizontalHeaderItem(1)->text(), QStringLiteral("Name"));
        QCOMPARE(dialog.selectionNumber(), 0);
    }

    void textsFollowTheLanguage() {
        Harness h;
        LanguageManager languages;
        QVERIFY(languages.apply(LanguageManager::kChinese));
        CMemoryLoad load(h.app, nullptr);
        CMemorySave save(h.app, nullptr);
        QCOMPARE(load.windowTitle(), QStringLiteral("调用"));
        QCOMPARE(save.windowTitle(), QStringLiteral("保存"));
        QCOMPARE(load.list()->horizontalHeaderItem(0)->text(), QStringLiteral("序号"));
        QCOMPARE(save.list()->horizontalHeaderItem(1)->text(), QStringLiteral("组名"));
        h.connectLink();
        load.OnOK();
        save.OnOK();
        QCOMPARE(h.messageTexts(), (QStringList{"请选择调用组", "请选择保存组"}));
    }

    void onlyAMouseClickChoosesARow() {
        Harness h;
        CMemoryLoad dialog(h.app, nullptr);
        dialog.show();
        clickRow(dialog, 2);
        QCOMPARE(dialog.selectionNumber(), 3);
        QTest::keyClick(dialog.list(), Qt::Key_Down);
        QTest::keyClick(dialog.list(), Qt::Key_End);
        QCOMPARE(dialog.selectionNumber(), 3);
        // What is highlighted is what OK acts on.
        QCOMPARE(dialog.list()->selectedRowNumbers(), QList<int>{2});
        QTest::mouseClick(dialog.list()->viewport(), Qt::RightButton, {},
                          dialog.list()->visualRect(dialog.list()->model()->index(7, 1)).center());
        QCOMPARE(dialog.selectionNumber(), 3);
        QCOMPARE(dialog.list()->selectedRowNumbers(), QList<int>{2});
    }

    void okWithoutARowAsksForOneAndStaysOpen() {
        Harness h;
        h.connectLink();
        CMemoryLoad dialog(h.app, nullptr);
        dialog.show();
        dialog.okButton()->click();
        QCOMPARE(h.messageTexts(), QStringList{"Please select one group"});
        QCOMPARE(h.messages.first().caption, QStringLiteral("Warning"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(h.core().scheduler.state, velmar::SchedState::Off);
    }

    void enterAndEscapeNeverCloseTheDialogs() {
        Harness h;
        h.connectLink();
        CMemorySave dialog(h.app, nullptr);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        clickRow(dialog, 4);
        dialog.okButton()->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(dialog.okButton(), key);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
        QVERIFY(h.messages.isEmpty());
    }

    void withoutALinkBothDialogsSaySoAndClose_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("text");
        QTest::newRow("load") << false << false << "Don't open the USB connection";
        QTest::newRow("save") << true << false << "Don't open the USB connection";
        QTest::newRow("load, Chinese") << false << true << "没打开USB联接";
        QTest::newRow("save, Chinese") << true << true << "没打开USB联接";
    }
    void withoutALinkBothDialogsSaySoAndClose() {
        QFETCH(bool, save);
        QFETCH(bool, chinese);
        QFETCH(QString, text);
        Harness h;
        h.core().activeLink = LinkType::Serial; // whatever link was used last
        LanguageManager languages;
        if (chinese) QVERIFY(languages.apply(LanguageManager::kChinese));
        std::unique_ptr<SysProgramDialog> dialog;
        if (save)
            dialog = std::make_unique<CMemorySave>(h.app, nullptr);
        else
            dialog = std::make_unique<CMemoryLoad>(h.app, nullptr);
        dialog->show();
        clickRow(*dialog, 0);
        dialog->OnOK();
        QCOMPARE(h.messageTexts(), QStringList{text});
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(h.core().scheduler.state, velmar::SchedState::Off);
        QCOMPARE(h.core().system.bytes[15], uint8_t(0));
    }

    void loadingAProgramReplacesTheImageAndNamesIt() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        SimDeviceState st = sim.device.state();
        st.programs[11].inputs[0].gain = 123;
        st.programs[11].outputs[5].delay = 900;
        st.names[12] = nameField("MAIN HALL");
        sim.device.setState(st);

        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        QCOMPARE(QString::fromLatin1(rig.core().programNames[12]), QStringLiteral("MAIN HALL"));

        CMemoryLoad dialog(rig.state(), &rig.window());
        dialog.show();
        clickRow(dialog, 11);
        dialog.okButton()->click();
        // Nothing is said before the processor's image has arrived.
        QVERIFY(rig.messages.isEmpty());
        QVERIFY(dialog.waiting());
        QCOMPARE(dialog.waitText(), QStringLiteral("Loading..."));
        QVERIFY(!dialog.okButton()->isEnabled() && !dialog.cancelButton()->isEnabled());
        QCOMPARE(rig.core().system.bytes[15], uint8_t(12));
        QVERIFY(rig.runUntil([&] { return !rig.messages.isEmpty(); }));
        QCOMPARE(rig.messageTexts(), QStringList{"Load successful"});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(rig.core().image.inputs[0].gain, 123);
        AppRig::deliverPosted();
        QCOMPARE(int(rig.core().image.outputs[5].delay), 900);
        QCOMPARE(sim.device.currentProgram(), uint8_t(12));
        QCOMPARE(rig.window().statusText(1), QStringLiteral("Program Name:MAIN HALL"));
    }

    void savingStoresEveryEditMadeBeforeIt() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        // An edit on the Gain page still on its way when Save is pressed.
        CGainDlg* gain = rig.window().gainPage();
        for (int i = 0; i < 5; ++i) gain->OnSpin(5, -1);
        const int edited = rig.core().image.outputs[1].gain;

        CMemorySave dialog(rig.state(), &rig.window());
        dialog.show();
        clickRow(dialog, 4);
        dialog.okButton()->click();
        QVERIFY(dialog.waiting());
        QCOMPARE(dialog.waitText(), QStringLiteral("Saving..."));
        QVERIFY(rig.messages.isEmpty());
        QVERIFY(rig.runUntil([&] { return !rig.messages.isEmpty(); }));
        QCOMPARE(rig.messageTexts(), QStringList{"Save successful"});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(rig.core().system.bytes[15], uint8_t(5));
        QCOMPARE(sim.device.currentProgram(), uint8_t(5));
        QCOMPARE(int(sim.device.storedProgram(5).outputs[1].gain), edited);
        AppRig::deliverPosted();
        QCOMPARE(rig.window().statusText(1), QStringLiteral("Program Name:     USER 5     "));
    }

    void renamingSendsTheSixteenByteNameAtOnce() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        CMemorySave dialog(rig.state(), &rig.window());
        dialog.show();
        rig.onModal = renameTo(QStringLiteral("FRONT FILL 15ch"));
        rig.sent.clear();
        doubleClickRow(dialog, 2);
        QCOMPARE(rig.modalsRun, QStringList{"velmar::CSaveDlg"});

        // Sent before the next tick, not through the scheduler.
        QCOMPARE(rig.sent.size(), size_t(1));
        const Bytes& frame = rig.sent.front();
        QCOMPARE(hexText(Bytes(frame.begin(), frame.begin() + 12)),
                 QStringLiteral("5A 5A 5A 01 53 A1 05 03 00 00 10 00"));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(frame.data() + 12), 15),
                 QByteArray("FRONT FILL 15ch"));
        QCOMPARE(int(frame[12 + 15]), 0);

        QCOMPARE(dialog.list()->rowName(2), QStringLiteral("FRONT FILL 15ch"));
        QCOMPARE(QString::fromLatin1(rig.core().programNames[3]), QStringLiteral("FRONT FILL 15ch"));
        QCOMPARE(rig.core().system.bytes[15], uint8_t(3));
        QVERIFY(rig.runUntil([&] { return sim.name(3) == QStringLiteral("FRONT FILL 15ch"); }));
        AppRig::deliverPosted();
        QCOMPARE(rig.window().statusText(1), QStringLiteral("Program Name:FRONT FILL 15ch"));
        QVERIFY(dialog.isVisible()); // renaming does not close the Save dialog
    }

    // No answer, a lost link, the backstop: the result is "failed" and the dialog keeps its choice.
    void aStoreNobodyAnswersFailsAndTheDialogStaysOpen() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        sim.endpoint.faults().setSilent(true);
        CMemorySave dialog(rig.state(), &rig.window());
        dialog.show();
        clickRow(dialog, 6);
        dialog.okButton()->click();
        dialog.reject(); // the close box while waiting
        QVERIFY(dialog.isVisible());
        QVERIFY(rig.runUntil([&] { return !rig.messages.isEmpty(); }, 15000));
        QCOMPARE(rig.messageTexts(), QStringList{"Save failed"});
        QCOMPARE(rig.messages.first().caption, QStringLiteral("Warning"));
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.waiting());
        QVERIFY(dialog.okButton()->isEnabled());
        QCOMPARE(dialog.selectionNumber(), 7);
        QCOMPARE(dialog.list()->selectedRowNumbers(), QList<int>{6});
        QCOMPARE(sim.device.currentProgram(), uint8_t(0));
        QCOMPARE(rig.core().system.bytes[15], uint8_t(0));
    }

    void aLoadWhoseLinkIsLostFailsAndKeepsTheProgramNumber() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        sim.endpoint.faults().setSilent(true);
        CMemoryLoad dialog(rig.state(), &rig.window());
        dialog.show();
        clickRow(dialog, 2);
        dialog.okButton()->click();
        QVERIFY(dialog.waiting());
        rig.app().links().closeLink();
        QTRY_VERIFY(!rig.messages.isEmpty());
        QCOMPARE(rig.messageTexts(), QStringList{"Load failed"});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.selectionNumber(), 3);
        QCOMPARE(rig.core().system.bytes[15], uint8_t(0));
    }

    void aWaitEndsAtItsBackstopEvenWhenTheCoreSaysNothing() {
        Harness h;
        h.connectLink();
        LanguageManager languages;
        QVERIFY(languages.apply(LanguageManager::kChinese));
        CMemorySave dialog(h.app, nullptr);
        dialog.setWaitLimitMs(50);
        dialog.show();
        clickRow(dialog, 0);
        dialog.OnOK();
        QCOMPARE(dialog.waitText(), QStringLiteral("正在保存..."));
        QTRY_COMPARE(h.messageTexts(), QStringList{"保存失败"});
        QVERIFY(dialog.isVisible());
        // Withdrawn: no store goes out later behind the failure.
        QCOMPARE(h.core().scheduler.storeProgram, uint8_t(0));
    }

    void aRenameIsReadBackAndSaysWhenItWasNotConfirmed() {
        SimProcessor sim;
        QVERIFY2(sim.start(), sim.error.c_str());
        AppRig rig;
        QVERIFY(rig.connectTcp(sim.port()));
        CMemorySave dialog(rig.state(), &rig.window());
        dialog.show();
        rig.onModal = renameTo(QStringLiteral("STAGE"));
        doubleClickRow(dialog, 1);
        QVERIFY(rig.runUntil([&] { return rig.core().scheduler.nameProgram == 0; }));
        AppRig::deliverPosted();
        QVERIFY(rig.messages.isEmpty());

        // A processor that takes nothing more: three tries, then one message.
        sim.endpoint.faults().setSilent(true);
        rig.onModal = renameTo(QStringLiteral("NEVER"));
        doubleClickRow(dialog, 3);
        QVERIFY(rig.runUntil([&] { return !rig.messages.isEmpty(); }, 15000));
        rig.runUntil([] { return false; }, 300);
        QCOMPARE(rig.messageTexts(), QStringList{"Program name not confirmed"});
    }

    void aCancelledRenameChangesNothing() {
        Harness h;
        h.connectLink();
        CMemorySave dialog(h.app, nullptr);
        dialog.show();
        h.onModal = [](QDialog& d) {
            qobject_cast<CSaveDlg*>(&d)->field()->setText(QStringLiteral("NEVER"));
            return int(QDialog::Rejected);
        };
        doubleClickRow(dialog, 0);
        QCOMPARE(h.modalsRun.size(), 1);
        QCOMPARE(QString::fromLatin1(h.core().programNames[1]), QStringLiteral("     USER 1     "));
        QCOMPARE(dialog.list()->rowName(0), QStringLiteral("     USER 1     "));
        QVERIFY(h.frames.empty());
        QVERIFY(h.posts.empty());
    }

    // A processor's name with bytes the field cannot show: OK without a change writes nothing back.
    void okOnAnUnchangedNameRewritesNothing() {
        Harness h;
        std::memcpy(h.core().programNames[5], "CH\xB5IR 2", 8);
        CMemorySave dialog(h.app, nullptr);
        dialog.show();
        h.onModal = [](QDialog& d) {
            auto* rename = qobject_cast<CSaveDlg*>(&d);
            if (!rename) return int(QDialog::Rejected);
            rename->accept(); // the field shows "CH?IR 2"; the user presses OK
            return int(QDialog::Accepted);
        };
        doubleClickRow(dialog, 4);
        QCOMPARE(QByteArray(h.core().programNames[5]), QByteArray("CH\xB5IR 2"));
        QCOMPARE(h.core().system.bytes[15], uint8_t(0));
        QVERIFY(h.posts.empty());
    }

    void aRenameWithoutALinkStillChangesTheTable() {
        Harness h;
        CMemorySave dialog(h.app, nullptr);
        dialog.show();
        h.onModal = renameTo(QStringLiteral("Stage left"));
        doubleClickRow(dialog, 6);
        QCOMPARE(QString::fromLatin1(h.core().programNames[7]), QStringLiteral("Stage left"));
        QCOMPARE(h.core().system.bytes[15], uint8_t(7));
        QCOMPARE(h.posts, (std::vector<PostedMessage>{{kMsgRefresh, 0, 255}}));
        QVERIFY(h.frames.empty());
    }

    void theRenameFieldTakesFifteenPlainCharacters() {
        Harness h;
        CSaveDlg rename(h.app, nullptr, QStringLiteral("     USER 4     "));
        QCOMPARE(rename.windowTitle(), QStringLiteral("Dialog"));
        QCOMPARE(rename.field()->text(), QStringLiteral("     USER 4    ")); // 15 of its 16 characters
        rename.field()->clear();
        for (QChar c : QStringLiteral("Zone B – Bühne 1234567")) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(rename.field(), &press);
        }
        QVERIFY(rename.field()->text().size() <= 15);
        for (QChar c : rename.field()->text()) QVERIFY(c.unicode() >= 0x20 && c.unicode() < 0x7F);
        QCOMPARE(CSaveDlg::nameBytes(QStringLiteral("Bühne")), QByteArray("B?hne"));
        QCOMPARE(CSaveDlg::nameBytes(QStringLiteral("0123456789ABCDEFGH")), QByteArray("0123456789ABCDE"));
    }
};

QTEST_MAIN(ProgramDialogsTest)
#include "ProgramDialogsTest.moc"
