// Where UI tests write the images a person looks at: VELMAR_TEST_OUTPUT (set by ctest), else the cwd.
#pragma once

#include <QDir>
#include <QImage>
#include <QString>

namespace velmar::test {

inline QString renderOutputPath(const QString& fileName) {
    QString base = qEnvironmentVariable("VELMAR_TEST_OUTPUT");
    if (base.isEmpty()) base = QDir::currentPath();
    QDir dir(base);
    dir.mkpath(QStringLiteral("renders"));
    return dir.filePath(QStringLiteral("renders/") + fileName);
}

// Saves the image and returns whether the file was written.
inline bool saveRender(const QImage& image, const QString& fileName) {
    return image.save(renderOutputPath(fileName));
}

// Nearest-neighbour enlargement, so that single pixels can be judged by eye.
inline QImage magnified(const QImage& image, int factor) {
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace velmar::test
