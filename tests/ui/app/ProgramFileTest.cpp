// Program files: names, the round trip, clamping on the way out and in, bad files, and the menu path
// with its dialogs and messages.
#include "support/TestApp.h"

#include "core/Encoder.h"
#include "core/Image.h"
#include "ui/app/ProgramFile.h"
#include "ui/pages/OutputDlg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace velmar;
using velmar::test::TestApp;

namespace {

QByteArray imageBytes(const DeviceImage& image) {
    return QByteArray(reinterpret_cast<const char*>(&image), qsizetype(kImageSize));
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An image that differs from the templates everywhere a page could edit.
void editImage(CoreState& s) {
    for (int i = 0; i < kInputCount; ++i) {
        s.image.inputs[i].gain = int16_t(100 + i);
        s.image.inputs[i].peq[3].freq = int16_t(1234 + i);
        s.image.inputs[i].geq[7] = int16_t(250 - i);
    }
    for (int o = 0; o < kOutputCount; ++o) {
        s.image.outputs[o].delay = int16_t(10 * o);
        s.image.outputs[o].routeMask = uint8_t(o & 0x0F);
        s.image.outputs[o].lpfFreq = int16_t(5000 + o);
    }
}

} // namespace

class ProgramFileTest : public QObject {
    Q_OBJECT

private slots:
    void extensionIsAddedOnlyWhenMissing_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("used");
        QTest::newRow("plain name") << "/p/MusicFile/setup"
                                    << "/p/MusicFile/setup.vq";
        QTest::newRow("already .vq") << "/p/setup.vq"
                                     << "/p/setup.vq";
        QTest::newRow(".vq inside the name") << "/p/a.vq.bak"
                                             << "/p/a.vq.bak";
        QTest::newRow(".vq in a folder name") << "/p/x.vqfiles/setup"
                                              << "/p/x.vqfiles/setup";
        QTest::newRow("other extension") << "/p/setup.txt"
                                         << "/p/setup.txt.vq";
    }
    void extensionIsAddedOnlyWhenMissing() {
        QFETCH(QString, chosen);
        QFETCH(QString, used);
        QCOMPARE(ProgramFile::withExtension(chosen), used);
    }

    void exportThenImportLeavesTheImageUnchanged() {
        QTemporaryDir dir;
        CoreState s;
        InitCoreState(s);
        editImage(s);
        s.image.inputs[1].gain = 999; // out of range: clamped before it is written
        ProgramFile files(dir.path());
        const QString path = dir.filePath("setup.vq");
        QCOMPARE(files.exportImage(s, path), ProgramFile::Result::Ok);
        QCOMPARE(s.image.inputs[1].gain, 360);
        const QByteArray written = readFile(path);
        QCOMPARE(written.size(), 1600);
        QCOMPARE(written, imageBytes(s.image));
        QCOMPARE(files.exportStartName(), path);

        const QByteArray exported = imageBytes(s.image);
        ResetImage(s);
        QVERIFY(imageBytes(s.image) != exported);
        QCOMPARE(files.importImage(s, path), ProgramFile::Result::Ok);
        QCOMPARE(imageBytes(s.image), exported);
        QCOMPARE(imageBytes(s.importImage), exported);
        QCOMPARE(s.scheduler.state, SchedState::ImageWrite);
    }

    void importClampsTheImageButSendsTheFileAsRead() {
        QTemporaryDir dir;
        CoreState s;
        InitCoreState(s);
        DeviceImage raw = s.image;
        raw.inputs[0].gain = 999;
        raw.outputs[2].peq[1].q = 400;
        const QString path = dir.filePath("raw.vq");
        QVERIFY(writeFile(path, imageBytes(raw)));
        bool curvesRebuilt = false;
        s.hooks.imageReplaced = [&] { curvesRebuilt = true; };
        QCOMPARE(ProgramFile(dir.path()).importImage(s, path), ProgramFile::Result::Ok);
        QCOMPARE(s.image.inputs[0].gain, 360);
        QCOMPARE(s.image.outputs[2].peq[1].q, 0);
        QCOMPARE(s.importImage.inputs[0].gain, 999);
        QCOMPARE(s.importImage.outputs[2].peq[1].q, 400);
        QVERIFY(curvesRebuilt);
    }

    void badFilesChangeNothing_data() {
        QTest::addColumn<int>("size"); // -1: no file at all, -2: a directory
        QTest::newRow("empty") << 0;
        QTest::newRow("one byte short") << 1599;
        QTest::newRow("missing") << -1;
        QTest::newRow("a directory") << -2;
    }
    void badFilesChangeNothing() {
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = dir.filePath("bad.vq");
        if (size >= 0) QVERIFY(writeFile(path, QByteArray(size, char(0x11))));
        if (size == -2) QVERIFY(QDir(dir.path()).mkdir("bad.vq"));
        CoreState s;
        InitCoreState(s);
        editImage(s);
        const QByteArray before = imageBytes(s.image);
        const QByteArray importBefore = imageBytes(s.importImage);
        const SchedState pending = s.scheduler.state;
        QCOMPARE(ProgramFile(dir.path()).importImage(s, path), ProgramFile::Result::ReadError);
        QCOMPARE(imageBytes(s.image), before);
        QCOMPARE(imageBytes(s.importImage), importBefore);
        QCOMPARE(s.scheduler.state, pending);
    }

    void aLongerFileIsReadFromItsFirst1600Bytes() {
        QTemporaryDir dir;
        CoreState s;
        InitCoreState(s);
        editImage(s);
        const QByteArray image = imageBytes(s.image);
        const QString path = dir.filePath("long.vq");
        QVERIFY(writeFile(path, image + QByteArray(400, char(0x7F))));
        ResetImage(s);
        QCOMPARE(ProgramFile(dir.path()).importImage(s, path), ProgramFile::Result::Ok);
        QCOMPARE(imageBytes(s.image), image);
    }

    void exportToAnUnwritablePlaceFails() {
        QTemporaryDir dir;
        CoreState s;
        InitCoreState(s);
        ProgramFile files(dir.path());
        QCOMPARE(files.exportImage(s, dir.filePath("no/such/folder/x.vq")), ProgramFile::Result::WriteError);
    }

    void folderIsCreatedOnceAndAFileOfThatNameIsLeftAlone() {
        QTemporaryDir dir;
        ProgramFile files(dir.path());
        QCOMPARE(files.folderPath(), QDir(dir.path()).filePath("MusicFile"));
        QCOMPARE(files.importStartName(), QDir(dir.path()).filePath("MusicFile/.vq"));
        QVERIFY(files.ensureFolder());
        QVERIFY(QFileInfo(files.folderPath()).isDir());
        QVERIFY(files.ensureFolder());

        QTemporaryDir other;
        QVERIFY(writeFile(QDir(other.path()).filePath("MusicFile"), "mine"));
        QVERIFY(ProgramFile(other.path()).ensureFolder());
        QCOMPARE(readFile(QDir(other.path()).filePath("MusicFile")), QByteArray("mine"));
    }

    // The menu path: folder, dialog start names, ".vq", the messages.
    void exportAndImportThroughTheMenus() {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        {
            TestApp t;
            CVelmarDlg& w = t.window();
            editImage(t.core());
            const QString folder = QDir(dir.path()).filePath("MusicFile");
            t.fileAnswers << QDir(folder).filePath("setup");
            w.action(CVelmarDlg::Command::Export)->trigger();
            QVERIFY(QFileInfo(folder).isDir());
            QCOMPARE(t.fileRequests.size(), 1);
            QVERIFY(t.fileRequests[0].save);
            QCOMPARE(t.fileRequests[0].startName, QDir(folder).filePath(".vq"));
            QCOMPARE(t.fileRequests[0].filter, QStringLiteral("*.vq"));
            const QString file = QDir(folder).filePath("setup.vq");
            QCOMPARE(readFile(file), imageBytes(t.core().image));
            QCOMPARE(t.messageTexts(), QStringList{"Exporting data completed"});
            QCOMPARE(t.messages.last().caption, QStringLiteral("Warning"));

            // The next export starts from the file just written; a cancelled dialog does nothing.
            w.action(CVelmarDlg::Command::Export)->trigger();
            QCOMPARE(t.fileRequests[1].startName, file);
            QCOMPARE(t.messages.size(), 1);

            const QByteArray exported = imageBytes(t.core().image);
            ResetImage(t.core());
            w.SelectTab(13);
            const int refreshes = w.outputPage()->refreshCount();
            t.fileAnswers << file;
            w.action(CVelmarDlg::Command::Import)->trigger();
            QVERIFY(!t.fileRequests[2].save);
            QCOMPARE(t.fileRequests[2].startName, QDir(folder).filePath(".vq"));
            QCOMPARE(imageBytes(t.core().image), exported);
            QCOMPARE(w.outputPage()->refreshCount(), refreshes + 1);
            QCOMPARE(t.core().scheduler.state, SchedState::ImageWrite);
            QCOMPARE(t.messages.last().text, QStringLiteral("Importing data completed"));

            // A short file is refused and the image stays.
            const QString shortFile = QDir(folder).filePath("short.vq");
            QVERIFY(writeFile(shortFile, QByteArray(100, 0)));
            t.fileAnswers << shortFile;
            w.action(CVelmarDlg::Command::Import)->trigger();
            QCOMPARE(imageBytes(t.core().image), exported);
            QCOMPARE(t.messages.last().text, QStringLiteral("MusicFile read Error"));

            // In Chinese the completion messages are Chinese, the errors stay English.
            w.SetLanguage(1);
            t.fileAnswers << file;
            w.action(CVelmarDlg::Command::Import)->trigger();
            QCOMPARE(t.messages.last().text, QStringLiteral("导入数据完成"));
            t.fileAnswers << QDir(folder).filePath("b");
            w.action(CVelmarDlg::Command::Export)->trigger();
            QCOMPARE(t.messages.last().text, QStringLiteral("导出数据完成"));
            t.fileAnswers << dir.filePath("missing/x.vq");
            w.action(CVelmarDlg::Command::Export)->trigger();
            QCOMPARE(t.messages.last().text, QStringLiteral("MusicFile Write Error"));
            t.fileAnswers << shortFile;
            w.action(CVelmarDlg::Command::Import)->trigger();
            QCOMPARE(t.messages.last().text, QStringLiteral("MusicFile read Error"));
        }
        QDir::setCurrent(previous);
    }
};

QTEST_MAIN(ProgramFileTest)
#include "ProgramFileTest.moc"
