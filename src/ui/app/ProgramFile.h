// Program files: the whole parameter image as a 1600-byte ".vq" file in the "MusicFile" folder.
#pragma once

#include "core/CoreState.h"

#include <QString>

namespace velmar {

// The file side of Program > Import and Export, without dialogs or message boxes, so it can be tested
// on its own. The owner keeps one ProgramFile for the run (it remembers the last exported path). UI
// thread only: it changes the core's image and queues its write.
//
// A file is the image byte for byte: inputs A..D (160 bytes each), then outputs 1..8 (120 bytes each),
// no header and no checksum.
class ProgramFile {
public:
    enum class Result { Ok, WriteError, ReadError };

    static constexpr const char* kFolderName = "MusicFile";
    static constexpr const char* kExtension = ".vq";
    static constexpr const char* kFilter = "*.vq";

    // workingDirectory: the directory the application started in; the folder lives below it.
    explicit ProgramFile(const QString& workingDirectory);

    QString workingDirectory() const { return m_workingDirectory; }
    QString folderPath() const;
    // Creates the folder unless an entry of that name is already there. False if it could not.
    bool ensureFolder() const;

    // Where the dialogs start: the folder with the proposed name ".vq"; the export start follows the
    // last exported file of this run.
    QString importStartName() const;
    QString exportStartName() const { return m_exportStartName; }

    // The chosen path with ".vq" appended unless it already contains ".vq" anywhere.
    static QString withExtension(const QString& chosenPath);

    // Clamps the image, then writes its 1600 bytes to path (replacing the file only once every byte is
    // on disk). Remembers path as the next export start. WriteError when the file could not be written.
    Result exportImage(CoreState& s, const QString& path);

    // Reads the first 1600 bytes of path into importImage and the image, clamps the image, rebuilds the
    // curves (imageReplaced) and queues the image write of importImage as read. A file that cannot be
    // opened or holds fewer than 1600 bytes is ReadError and changes nothing; bytes after the first
    // 1600 are ignored.
    Result importImage(CoreState& s, const QString& path) const;

private:
    QString m_workingDirectory;
    QString m_exportStartName;
};

} // namespace velmar
