#include "qt/Strings.h"

#include <QByteArray>

namespace scenova::qt {

QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToStdString(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString PathToQString(const std::string& path) {
    // Paths are kept as the file system gives them, byte for byte.
    return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}

std::string PathFromQString(const QString& path) {
    const QByteArray bytes = path.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace scenova::qt
