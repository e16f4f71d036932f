// Reading and writing program files.
#include "ctl/ProgramFile.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstring>

namespace velmar::ctl {

bool ProgramFile::Read(const std::string& path, DeviceImage& image, std::string& error,
                       uint64_t* extraBytes) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    const QByteArray bytes = file.read(static_cast<qint64>(kImageSize));
    if (bytes.size() != static_cast<qsizetype>(kImageSize)) {
        error = file.error() != QFileDevice::NoError
                    ? file.errorString().toStdString()
                    : "the file holds " + std::to_string(bytes.size()) + " bytes, a program file 1600";
        return false;
    }
    std::memcpy(&image, bytes.constData(), kImageSize);
    if (extraBytes) {
        const qint64 size = file.size();
        *extraBytes = size > static_cast<qint64>(kImageSize) ? static_cast<uint64_t>(size) - kImageSize : 0;
    }
    return true;
}

bool ProgramFile::Write(const std::string& path, const DeviceImage& image, std::string& error) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    const auto* bytes = reinterpret_cast<const char*>(&image);
    if (file.write(bytes, static_cast<qint64>(kImageSize)) != static_cast<qint64>(kImageSize) ||
        !file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace velmar::ctl
