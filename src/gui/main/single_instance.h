#pragma once
// One windowed program per settings folder. The folder's instance lock decides who runs; the
// one that runs also listens on a local socket named after the folder, so that a second start
// on the same folder can ask it to come to the front instead of starting.
#include <QtCore/QObject>
#include <string>

#include "platform/instance_lock.h"

class QLocalServer;
class QLocalSocket;

namespace twn::gui {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Outcome {
    /// We hold the folder and listen for activation requests.
    First,
    /// Another windowed program holds the folder and was asked to come to the front.
    ActivatedOther,
    /// The folder is held by something that does not answer: twn-cli's schedule or run.
    HeldElsewhere,
    /// The folder or its lock file cannot be made or locked; see Error().
    Failed,
  };

  explicit SingleInstance(QObject* parent = nullptr);
  ~SingleInstance() override;

  /// Takes `settings_folder`'s lock, or asks its holder to come to the front. Once.
  Outcome Start(const std::string& settings_folder);
  /// The error behind Failed; 0 otherwise.
  platform::TError Error() const { return error_; }
  /// The local socket name for `settings_folder`: the user id and a hash of the folder.
  static QString ServerName(const std::string& settings_folder);

 signals:
  /// Another start on our folder asks us to come to the front.
  void ActivateRequested();

 private:
  Outcome Listen(const QString& name);
  bool AskHolderToActivate(const QString& name);
  void Accept();
  void Read(QLocalSocket* socket);

  platform::TInstanceLock lock_;
  platform::TError error_ = 0;
  QLocalServer* server_ = nullptr;
};

}  // namespace twn::gui
