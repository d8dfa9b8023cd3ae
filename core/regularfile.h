#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Every file the program reads comes through here: the tournament file and
// the clock's journal. Whatever else may stand at a file's name (a named pipe,
// a device, a folder, a file far too large) is refused at once, so no read can
// stall or swamp the program.
namespace orvandel {

enum class FileError {
    None,
    NotFound,   // nothing at the name, or a link to nothing
    NotRegular, // a folder, a named pipe, a device or a socket
    Unreadable, // a regular file that cannot be opened or read
    TooLarge,   // more bytes than the caller takes
};

struct FileRead {
    QByteArray bytes; // the whole file; valid only when error is None
    FileError error = FileError::None;
    QString detail; // what exactly was wrong, for a message
    bool ok() const { return error == FileError::None; }
};

// Reads `path` whole when it is a regular file (links followed) of at most
// `maxBytes`; never waits on a named pipe and never reads a device.
FileRead readRegularFile(const QString &path, qint64 maxBytes);

} // namespace orvandel
