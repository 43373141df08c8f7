#include "platform/qtui/QtShellServices.h"

#include "platform/SysUtils.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool QtShellServices::OpenDocument(const std::string& target) {
  if (!IsShellOpenable(target)) return false;
  // A link or a file: URL opens as it is; a path opens as its absolute file URL.
  const QString text = QString::fromStdString(target);
  const bool isPath = FileExists(target) && !text.startsWith("file:", Qt::CaseInsensitive);
  const QUrl url = isPath ? QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath()) : QUrl(text);
  return QDesktopServices::openUrl(url);
}

std::string QtShellServices::DefaultBrowserCommand() {
  return DesktopDefaultHandlerCommand("x-scheme-handler/http");
}
