#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace scenova::qt {

// The one place where text crosses between the component (UTF-8
// std::string) and Qt (QString). A malformed UTF-8 sequence becomes U+FFFD.
QString ToQString(std::string_view utf8);
std::string ToStdString(const QString& text);

// A file path for Qt's file and URL classes, and back.
QString PathToQString(const std::string& path);
std::string PathFromQString(const QString& path);

}  // namespace scenova::qt
