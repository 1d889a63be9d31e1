// Jobs handed to the CUPS scheduler and checked to their end: the job created, every byte of
// the document written, the document closed, and the job's state read back once submitted.
// A job counts as printed only when every step succeeded and the scheduler has neither
// aborted nor cancelled it.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace kavel {

// Job options by name and value, in the order given (for example "copies", "2").
using CupsOptions = std::vector<std::pair<QByteArray, QByteArray>>;

enum class CupsFormat { Pdf, Raw };

// Sends the document, from its position to its end, as one job named `title` on the queue.
// Raises KavelError when the scheduler refuses the job, the document cannot be sent whole,
// or the job is aborted or cancelled by the time it is submitted; the text starts with
// `job` (for example: The print job on "Q") and says why.
void SubmitCupsJob(const QString& queue, const QString& title, CupsFormat format,
                   const CupsOptions& options, QIODevice& document, const QString& job);

// Why a job in this state did not print, as it ends the sentence "The print job on "Q" ...";
// nothing when the job is on its way or done (pending, held, processing, stopped with its
// printer, completed). `state` is the IPP job-state (3 pending ... 9 completed), `reasons`
// its job-state-reasons keywords, `message` what the printer last said about it.
std::optional<QString> JobStateProblem(int state, const QStringList& reasons,
                                       const QString& message);

}  // namespace kavel
