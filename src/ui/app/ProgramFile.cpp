// Program-file export and import.
#include "ui/app/ProgramFile.h"

#include "core/Scheduler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace velmar {

ProgramFile::ProgramFile(const QString& workingDirectory)
    : m_workingDirectory(workingDirectory), m_exportStartName(importStartName()) {}

QString ProgramFile::folderPath() const {
    return QDir(m_workingDirectory).filePath(QString::fromLatin1(kFolderName));
}

bool ProgramFile::ensureFolder() const {
    // Any entry of that name counts, as a file in its place is the user's and not ours to replace.
    if (QFileInfo::exists(folderPath())) return true;
    return QDir(m_workingDirectory).mkdir(QString::fromLatin1(kFolderName));
}

QString ProgramFile::importStartName() const {
    return QDir(folderPath()).filePath(QString::fromLatin1(kExtension));
}

QString ProgramFile::withExtension(const QString& chosenPath) {
    const QString ext = QString::fromLatin1(kExtension);
    return chosenPath.contains(ext) ? chosenPath : chosenPath + ext;
}

ProgramFile::Result ProgramFile::exportImage(CoreState& s, const QString& path) {
    m_exportStartName = path;
    ClampImage(s.image);
    // Written beside the target and renamed over it at the end, so a full disk or a lost drive never
    // leaves a truncated program where a good one was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return Result::WriteError;
    const auto* bytes = reinterpret_cast<const char*>(&s.image);
    if (file.write(bytes, qint64(kImageSize)) != qint64(kImageSize)) {
        file.cancelWriting();
        return Result::WriteError;
    }
    return file.commit() ? Result::Ok : Result::WriteError;
}

ProgramFile::Result ProgramFile::importImage(CoreState& s, const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Result::ReadError;
    // Read in full before anything is touched: a short file leaves the image as it was.
    DeviceImage read{};
    auto* bytes = reinterpret_cast<char*>(&read);
    qint64 total = 0;
    while (total < qint64(kImageSize)) {
        const qint64 n = file.read(bytes + total, qint64(kImageSize) - total);
        if (n <= 0) break;
        total += n;
    }
    if (total != qint64(kImageSize)) return Result::ReadError;

    std::memcpy(&s.importImage, &read, kImageSize);
    std::memcpy(&s.image, &read, kImageSize);
    ClampImage(s.image);
    if (s.hooks.imageReplaced) s.hooks.imageReplaced();
    // The processor gets the file's bytes as read, not the clamped copy.
    QueueImageWrite(s, 0);
    return Result::Ok;
}

} // namespace velmar
