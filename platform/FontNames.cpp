#include "platform/FontNames.h"

#include "platform/CodePages.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <array>
#include <utility>

namespace {

// Windows faces and the installed faces that stand in for them. Liberation
// Sans, Serif and Mono share the advance widths of Arial, Times New Roman and
// Courier New, so texts keep their lengths.
constexpr std::array<std::pair<const char*, const char*>, 16> kSubstitutes{{
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"MS Serif", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"Lucida Console", "Liberation Mono"},
    {"Tahoma", "DejaVu Sans"},
    {"Verdana", "DejaVu Sans"},
    {"Trebuchet MS", "DejaVu Sans"},
    {"Georgia", "DejaVu Serif"},
    {"Fixedsys", "DejaVu Sans Mono"},
}};

constexpr const char* kFallbackFamily = "DejaVu Sans";

bool FontDatabaseAvailable() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

QString ResolveFontFamily(std::string_view faceName) {
  const QString face = AnsiToQString(faceName).trimmed();
  for (const auto& [windowsFace, installed] : kSubstitutes)
    if (face.compare(QLatin1String(windowsFace), Qt::CaseInsensitive) == 0) return QString::fromLatin1(installed);
  if (!face.isEmpty() && FontDatabaseAvailable()) {
    for (const QString& family : QFontDatabase::families())
      if (family.compare(face, Qt::CaseInsensitive) == 0) return family;
  }
  return QString::fromLatin1(kFallbackFamily);
}
