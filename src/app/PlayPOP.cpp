#include "app/PlayPOP.h"

#include "support/Trace.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

// The resources live in a static library: they must be named to be linked in.
static void Init_Sound_Resources() { Q_INIT_RESOURCE(lurcher_sounds); }

namespace {
const QString Pop_Resource = QStringLiteral(":/sounds/pop.wav");

QSoundEffect *Pop_Effect() {
  static QPointer<QSoundEffect> effect;
  if (!effect) {
    Init_Sound_Resources();
    // Owned by the application, so it goes when the program does.
    effect = new QSoundEffect(QCoreApplication::instance());
    effect->setSource(QUrl(QStringLiteral("qrc") + Pop_Resource));
  }
  return effect;
}
} // namespace

void PlayPOP() {
  try {
    if (!QCoreApplication::instance() || QMediaDevices::audioOutputs().isEmpty())
      return;
    Pop_Effect()->play();
  } catch (...) {
    Trace_String(QStringLiteral("PlayPOP, no sound"));
  }
}

QByteArray Pop_Sound() {
  Init_Sound_Resources();
  QFile file(Pop_Resource);
  if (!file.open(QIODevice::ReadOnly))
    return QByteArray();
  return file.readAll();
}
