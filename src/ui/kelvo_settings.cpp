#include "ui/kelvo_settings.h"

#include <QDir>

namespace kelvo {

// The XDG rule: a relative XDG_CONFIG_HOME is ignored.
QString UserSettingsPath() {
  QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (config.isEmpty() || QDir::isRelativePath(config))
    config = QDir::homePath() + QStringLiteral("/.config");
  return config + QStringLiteral("/kelvo/kelvo.conf");
}

std::unique_ptr<QSettings> OpenUserSettings() {
  return std::make_unique<QSettings>(UserSettingsPath(), QSettings::IniFormat);
}

}  // namespace kelvo
