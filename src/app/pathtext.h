// Small text helpers the window's files share: Qt and standard strings,
// Windows paths and quoting for the batch line.
#pragma once

#include "platform.h"

#include <QString>
#include <string>

namespace vorn {

inline std::string u8(const QString& s) {
    return s.toStdString();
}
inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// A failure that says `text`, and what a failure says.
inline platform::Status failure(const QString& text,
                                platform::Status::Fault fault = platform::Status::Fault::Other) {
    return platform::Status::failure(u8(text), fault);
}
inline QString reasonOf(const platform::Status& s) {
    return qs(s.error);
}

// A path or name quoted for the batch line; "" with `error` set when it
// cannot be made safe.
QString quoted(const QString& text, QString& error);
// The directory part of a Windows path, with its backslash.
QString parentDir(const QString& winPath);
// The bare name at the end of a Windows path.
QString bareName(const QString& winPath);
// Why a file could not be written or read, without the path the platform
// repeats in front of it: the status line has room for a few lines only.
QString failureReason(const QString& winPath, const std::string& error);

} // namespace vorn
