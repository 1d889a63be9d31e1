#include "TestSupport.h"

#include <QFile>

#include "platform/SettingsStore.h"

namespace kavel::test {

namespace {
std::shared_ptr<RecordingMessages>& Current() {
    static std::shared_ptr<RecordingMessages> recorder;
    return recorder;
}
}  // namespace

std::shared_ptr<RecordingMessages> InstallRecorder(bool answerOk) {
    Current() = std::make_shared<RecordingMessages>(answerOk);
    SetMessages(Current());
    return Current();
}

RecordingMessages& Recorder() {
    if (!Current()) InstallRecorder();
    return *Current();
}

ScopedSettingsFolder::ScopedSettingsFolder() {
    SetSettingsBaseFolder(dir_.path());
}
ScopedSettingsFolder::~ScopedSettingsFolder() {
    SetSettingsBaseFolder(QString());
}

QString SourceDir() {
    const QByteArray dir = qgetenv("KAVEL_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(".") : QString::fromLocal8Bit(dir);
}

QByteArray ReadFile(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace kavel::test
