#include "platform/PageImages.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include "platform/OutputFile.h"

namespace kavel {

namespace {

// Jobs written so far into each folder by this process, by the folder's absolute path.
QHash<QString, int>& JobsPerFolder() {
    static QHash<QString, int> jobs;
    return jobs;
}

// Removes what an earlier run wrote: only names this output gives its pages.
bool RemoveEarlierPages(const QDir& folder, QString* error) {
    static const QRegularExpression pageName(QStringLiteral("^page-\\d+(-\\d+)?\\.png$"));
    const QFileInfoList entries =
        folder.entryInfoList({QStringLiteral("page-*.png")}, QDir::Files | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        if (!pageName.match(entry.fileName()).hasMatch()) continue;
        if (!QFile::remove(entry.absoluteFilePath())) {
            *error = QString("cannot remove the earlier page \"%1\"").arg(entry.absoluteFilePath());
            return false;
        }
    }
    return true;
}

}  // namespace

int BeginPageImageJob(const QString& dir, QString* error) {
    QString reason;
    if (!QDir().mkpath(dir)) {
        reason = QString("cannot create the folder \"%1\"").arg(dir);
    } else {
        const QDir folder(dir);
        int& jobs = JobsPerFolder()[folder.absolutePath()];
        if (jobs > 0 || RemoveEarlierPages(folder, &reason)) return ++jobs;
    }
    if (error) *error = reason;
    return 0;
}

QString PageImageFileName(const QString& dir, int job, int page) {
    const QString name =
        job > 1 ? QString("page-%1-%2.png").arg(page).arg(job) : QString("page-%1.png").arg(page);
    return QDir(dir).filePath(name);
}

bool WritePageImage(const QImage& image, const QString& fileName, QString* error) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        if (error) *error = QString("cannot encode the page picture \"%1\"").arg(fileName);
        return false;
    }
    return WriteOutputFile(fileName, png, error);
}

}  // namespace kavel
