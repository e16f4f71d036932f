// ScreenshotTour: renders the main window on every tab of every configuration in every language, and
// each dialog and menu, to PNG files named after what they show.
#pragma once

#include <QString>
#include <QStringList>

class QImage;

namespace velmar {

class CVelmarApp;
class SimDevice;

// Works on an initialised application with no link open (see readProcessor); leaves it in English,
// configuration 7, on the Home tab. File names: "cfg7-en-tab03-geq-a.png", "dialog-connect-zh.png",
// "menu-en-device.png", "message-en-warning.png", "verify-en-synced.png". The sync indicator's states are
// staged in the core's verify state, which is put back afterwards. UI thread only.
class ScreenshotTour {
public:
    ScreenshotTour(CVelmarApp& app, const QString& directory);

    // Reads a processor's identification, program names and whole image through the core's reply
    // parser, as a connection's first exchange does, so the pages show its setup rather than the
    // flat start image. The link itself stays closed. False if the processor does not answer.
    bool readProcessor(SimDevice& device);

    // Writes every image; false if the directory cannot be made or an image cannot be written.
    bool run();
    const QStringList& written() const { return m_written; }
    const QString& error() const { return m_error; }

private:
    bool save(const QImage& image, const QString& name);
    bool tourWindow(const QString& language);
    bool tourDialogs(const QString& language);
    bool tourMenus(const QString& language);
    bool tourVerify(const QString& language);

    CVelmarApp& m_app;
    QString m_directory;
    QStringList m_written;
    QString m_error;
};

} // namespace velmar
