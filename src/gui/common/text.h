#pragma once
// The core's texts are UTF-8; paths are byte strings whose display alone is decoded.
#include <QtCore/QFile>
#include <QtCore/QString>
#include <string>
#include <string_view>

namespace twn::gui {

inline QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

inline QString PathText(const std::string& path) {
  return QFile::decodeName(path.c_str());
}
inline std::string PathBytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace twn::gui
