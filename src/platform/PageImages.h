// Pictures of pages written into a folder (the PNG output of the built-in printer and of
// previews). Within one process the jobs written into a folder are numbered: job 1's
// pages are page-1.png, page-2.png, ..., job n's page-1-n.png, page-2-n.png, ..., as the
// n-th PDF of a run is named. The first job of a process in a folder removes the page
// pictures that an earlier run left there, so that no page of another run passes for one
// of this run.
#pragma once

#include <QImage>
#include <QString>

namespace kavel {

// Starts a job in the folder (made as needed): its number, or 0 with the reason in error.
int BeginPageImageJob(const QString& dir, QString* error);
// The file of page `page` (1-based) of job `job` in the folder.
QString PageImageFileName(const QString& dir, int job, int page);
// Writes a page picture as PNG, checked to its end; false with the reason in error.
bool WritePageImage(const QImage& image, const QString& fileName, QString* error);

}  // namespace kavel
