// The local channel through which a second Uninstaller of the same product
// asks the first one to close its window (in place of closing any window of
// the product's window class).
#pragma once

#include <QLocalServer>
#include <QObject>

#include <functional>
#include <string>

class TInstanceChannel : public QObject {
  Q_OBJECT

 public:
  explicit TInstanceChannel(QObject* parent = nullptr);

  // The channel of a product: a socket in the user's runtime folder named
  // after the product ("Uninstall-<name>-<hash of the name>").
  static QString ChannelPath(const std::string& productName);
  // Asks the Uninstaller listening for the product to close and waits until
  // it has done so (at most a few seconds). False when none is listening.
  static bool RequestClose(const std::string& productName);

  // Listens for close requests of the product, taking over a channel left by
  // an Uninstaller that ended without closing it; onClose runs for each
  // request. False when the channel cannot be opened.
  bool Listen(const std::string& productName, std::function<void()> onClose);

 private:
  void Accept();

  QLocalServer server_;
  std::function<void()> onClose_;
};
