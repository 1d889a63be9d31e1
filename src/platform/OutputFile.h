// A file that output goes to, counted as written only when every byte reached it.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <memory>

namespace kavel {

// A regular file (or a new one) is written beside its place and put there when complete,
// so a failed write leaves what was there before. A device or a pipe (/dev/stdout,
// /dev/full) is written in place. Nothing that is not a regular file is ever removed or
// replaced.
class OutputFile {
  public:
    explicit OutputFile(const QString& fileName);
    ~OutputFile();  // an output never committed is discarded
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False with Error() when the file cannot be opened for writing.
    bool Open();
    QIODevice* Device();
    // Flushes and closes (and puts a regular file in its place); false with Error() when
    // any write failed. The output is complete only when this answers true.
    bool Commit();
    QString Error() const { return error_; }
    QString FileName() const { return fileName_; }

  private:
    QString fileName_;
    QString error_;
    std::unique_ptr<QSaveFile> replaced_;
    std::unique_ptr<QFile> inPlace_;
};

// Why a write failed: the device's own text, else the system's for the saved errno.
QString Reason(const QIODevice& device, int savedErrno);

// Writes bytes to a file through OutputFile; false with the reason in error.
bool WriteOutputFile(const QString& fileName, const QByteArray& bytes, QString* error);

}  // namespace kavel
