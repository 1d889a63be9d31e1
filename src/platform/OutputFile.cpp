#include "platform/OutputFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace kavel {

namespace {

// A name that exists and is no regular file (after following links): a device or a pipe.
bool IsSpecialFile(const QString& fileName) {
    struct stat info {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0) return false;
    return !S_ISREG(info.st_mode);
}

}  // namespace

QString Reason(const QIODevice& device, int savedErrno) {
    const QString text = device.errorString();
    if (!text.isEmpty() && text != QLatin1String("Unknown error")) return text;
    return savedErrno != 0 ? QString::fromLocal8Bit(std::strerror(savedErrno))
                           : QStringLiteral("the device did not take every byte");
}

OutputFile::OutputFile(const QString& fileName) : fileName_(fileName) {}

OutputFile::~OutputFile() {
    if (replaced_) replaced_->cancelWriting();
}

bool OutputFile::Open() {
    if (IsSpecialFile(fileName_)) {
        inPlace_ = std::make_unique<QFile>(fileName_);
        if (inPlace_->open(QIODevice::WriteOnly)) return true;
        error_ = QString("cannot write \"%1\": %2").arg(fileName_, inPlace_->errorString());
        inPlace_.reset();
        return false;
    }
    replaced_ = std::make_unique<QSaveFile>(fileName_);
    if (replaced_->open(QIODevice::WriteOnly)) return true;
    error_ = QString("cannot write \"%1\": %2").arg(fileName_, replaced_->errorString());
    replaced_.reset();
    return false;
}

QIODevice* OutputFile::Device() {
    if (replaced_) return replaced_.get();
    return inPlace_.get();
}

bool OutputFile::Commit() {
    if (replaced_) {
        // The last buffered bytes are written first: a failure there keeps its reason
        // (a full disk), which the commit that follows would not tell.
        errno = 0;
        const bool flushed = replaced_->flush();
        const QString reason = Reason(*replaced_, errno);
        const bool ok = replaced_->commit() && flushed;
        if (!ok) {
            error_ = QString("could not write \"%1\" to its end: %2")
                         .arg(fileName_, flushed ? replaced_->errorString() : reason);
        }
        replaced_.reset();
        return ok;
    }
    if (!inPlace_) {
        if (error_.isEmpty()) error_ = QString("\"%1\" was not opened").arg(fileName_);
        return false;
    }
    // Writes that failed on the way left the device in error; so may the final flush.
    const bool flushed = inPlace_->error() == QFileDevice::NoError && inPlace_->flush();
    inPlace_->close();
    const bool ok = flushed && inPlace_->error() == QFileDevice::NoError;
    if (!ok) {
        error_ = QString("could not write \"%1\" to its end: %2")
                     .arg(fileName_, inPlace_->errorString());
    }
    inPlace_.reset();
    return ok;
}

bool WriteOutputFile(const QString& fileName, const QByteArray& bytes, QString* error) {
    OutputFile file(fileName);
    if (!file.Open()) {
        if (error) *error = file.Error();
        return false;
    }
    errno = 0;
    if (file.Device()->write(bytes) != bytes.size()) {
        const int reason = errno;
        if (error) {
            *error =
                QString("could not write \"%1\": %2").arg(fileName, Reason(*file.Device(), reason));
        }
        return false;
    }
    if (!file.Commit()) {
        if (error) *error = file.Error();
        return false;
    }
    return true;
}

}  // namespace kavel
