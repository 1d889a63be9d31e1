#include "platform/CupsJob.h"

#include <cups/cups.h>

#include <memory>

#include "platform/Variant.h"

namespace kavel {

namespace {

// Documents go to the scheduler in pieces of this size.
constexpr qint64 kChunkSize = 64 * 1024;

// IPP job-state values.
constexpr int kJobCanceled = 7;
constexpr int kJobAborted = 8;

// The scheduler's own text for the last request, without its closing full stop; for the
// one refusal users meet most, words of our own.
QString StatusReason() {
    const ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS) {
        return QStringLiteral("the printer is not accepting jobs");
    }
    QString text = QString::fromUtf8(cupsLastErrorString()).trimmed();
    if (text.isEmpty()) text = QString::fromUtf8(ippErrorString(status));
    if (text.endsWith('.')) text.chop(1);
    return text;
}

QString ReasonText(const QString& keyword) {
    static const std::pair<const char*, const char*> kTexts[] = {
        {"job-canceled-by-user", "a user cancelled it"},
        {"job-canceled-by-operator", "an operator cancelled it"},
        {"job-canceled-at-device", "the printer cancelled it"},
        {"aborted-by-system", "the print system aborted it"},
        {"document-format-error", "the printer could not read the document"},
        {"document-unprintable-error", "the document cannot be printed on this printer"},
        {"unsupported-document-format", "the printer does not take this kind of document"},
    };
    for (const auto& [name, text] : kTexts) {
        if (keyword == QLatin1String(name)) return QString::fromLatin1(text);
    }
    return keyword;
}

struct JobState {
    int state = 0;
    QStringList reasons;
    QString message;
};

using IppMessage = std::unique_ptr<ipp_t, decltype(&ippDelete)>;

// The job's state as the scheduler has it now; nothing when it cannot be asked (the job
// was accepted, so that is no reason to call it failed).
std::optional<JobState> ReadJobState(const QByteArray& queue, int job) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0,
                     "/printers/%s", queue.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const kWanted[] = {"job-state", "job-state-reasons",
                                          "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr,
                  kWanted);
    const IppMessage response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"), &ippDelete);
    if (!response || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) return std::nullopt;

    JobState state;
    if (ipp_attribute_t* a = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM)) {
        state.state = ippGetInteger(a, 0);
    }
    if (ipp_attribute_t* a =
            ippFindAttribute(response.get(), "job-state-reasons", IPP_TAG_KEYWORD)) {
        for (int i = 0; i < ippGetCount(a); ++i) {
            state.reasons << QString::fromUtf8(ippGetString(a, i, nullptr));
        }
    }
    if (ipp_attribute_t* a =
            ippFindAttribute(response.get(), "job-printer-state-message", IPP_TAG_TEXT)) {
        state.message = QString::fromUtf8(ippGetString(a, 0, nullptr));
    }
    return state;
}

}  // namespace

std::optional<QString> JobStateProblem(int state, const QStringList& reasons,
                                       const QString& message) {
    if (state != kJobCanceled && state != kJobAborted) return std::nullopt;
    QStringList why;
    for (const QString& reason : reasons) {
        if (reason != QLatin1String("none")) why << ReasonText(reason);
    }
    if (!message.trimmed().isEmpty()) why << message.trimmed();
    QString problem =
        state == kJobCanceled ? QStringLiteral("was cancelled") : QStringLiteral("was aborted");
    if (!why.isEmpty()) problem += ": " + why.join("; ");
    return problem;
}

void SubmitCupsJob(const QString& queue, const QString& title, CupsFormat format,
                   const CupsOptions& options, QIODevice& document, const QString& job) {
    const QByteArray name = queue.toUtf8();
    const QByteArray jobTitle = title.toUtf8();
    const auto fail = [&job](const QString& what) { throw KavelError(job + " " + what); };

    cups_option_t* cupsOptions = nullptr;
    int count = 0;
    for (const auto& [option, value] : options) {
        count = cupsAddOption(option.constData(), value.constData(), count, &cupsOptions);
    }
    const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(), count,
                                 cupsOptions);
    cupsFreeOptions(count, cupsOptions);
    if (id == 0) fail("was refused: " + StatusReason());

    // From here on a failed job is cancelled, so that nothing half-sent prints later.
    const auto cancel = [&] { cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), id, 0); };
    const char* mime = format == CupsFormat::Pdf ? CUPS_FORMAT_PDF : CUPS_FORMAT_RAW;
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), id, jobTitle.constData(), mime, 1) !=
        HTTP_STATUS_CONTINUE) {
        const QString reason = StatusReason();
        cancel();
        fail("was refused: " + reason);
    }
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = document.read(chunk.data(), chunk.size());
        if (read == 0) break;
        if (read < 0 || cupsWriteRequestData(CUPS_HTTP_DEFAULT, chunk.constData(),
                                             static_cast<size_t>(read)) != HTTP_STATUS_CONTINUE) {
            const QString reason = read < 0 ? document.errorString() : StatusReason();
            cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
            cancel();
            fail("could not be sent: " + reason);
        }
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        const QString reason = StatusReason();
        cancel();
        fail("was refused: " + reason);
    }

    if (const auto state = ReadJobState(name, id)) {
        if (const auto problem = JobStateProblem(state->state, state->reasons, state->message)) {
            fail(*problem);
        }
    }
}

}  // namespace kavel
