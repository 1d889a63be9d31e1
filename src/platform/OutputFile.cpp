#include "platform/OutputFile.h"

#include <sys/stat.h>

namespace kavel {

namespace {

// A name that exists and is no regular file (after following links): a device or a pipe.
bool IsSpecialFile(const QString& fileName) {
    struct stat info {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0) return false;
    return !S_ISREG(info.st_mode);
}

}  // namespace

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
        const bool ok = replaced_->commit();
        if (!ok) {
            error_ = QString("could not write \"%1\" to its end: %2")
                         .arg(fileName_, replaced_->errorString());
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
    if (file.Device()->write(bytes) != bytes.size()) {
        if (error) {
            *error =
                QString("could not write \"%1\": %2").arg(fileName, file.Device()->errorString());
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
