#include "html/ContentAdjust.h"

#include <QHash>
#include <QRegularExpression>

namespace kavel {

namespace {

const char* const kSchemes[] = {"file://",   "https://",  "http://", "ftp://",   "news://",
                                "telnet://", "gopher://", "wais://", "mailto://"};

// Patterns are compiled once and kept: the same few serve every item.
const QRegularExpression& Compiled(const QString& pattern) {
    static QHash<QString, QRegularExpression> cache;
    auto found = cache.find(pattern);
    if (found == cache.end()) {
        found = cache.insert(
            pattern, QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption));
    }
    return *found;
}

}  // namespace

QString RegexReplaceAll(const QString& subject, const QString& pattern,
                        const QString& replacement) {
    const QRegularExpression& re = Compiled(pattern);
    if (!re.isValid()) return subject;
    QString result;
    qsizetype last = 0;
    // The replacement is taken as it stands: no group references.
    for (auto it = re.globalMatch(subject); it.hasNext();) {
        const auto m = it.next();
        result += QStringView(subject).mid(last, m.capturedStart() - last);
        result += replacement;
        last = m.capturedEnd();
    }
    result += QStringView(subject).mid(last);
    return result;
}

QString RegexFirstMatch(const QString& subject, const QString& pattern) {
    const QRegularExpression& re = Compiled(pattern);
    return re.isValid() ? re.match(subject).captured(0) : QString();
}

QString PercentDecode(const QString& text) {
    const QByteArray in = text.toUtf8();
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 1 < in.size() && in[i + 1] == '%') {
            out += '%';
            ++i;
        } else if (c == '%' && i + 2 < in.size() &&
                   isxdigit(static_cast<unsigned char>(in[i + 1])) &&
                   isxdigit(static_cast<unsigned char>(in[i + 2]))) {
            out += static_cast<char>(in.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += c;
        }
    }
    return QString::fromUtf8(out);
}

QString CleanHtmlContent(const QString& html, const QString& baseUrl) {
    // The control's own object tag would create a control inside the hidden browser.
    QString text = RegexReplaceAll(html,
                                   "<object(.*?)(\\n*\\r*)(.*?)B1D7F3E8-E39D-4DF8-BA3E-"
                                   "48B6D88EECEA(.*?)(\\n*\\r*)(.*?)object>",
                                   QString());
    static const QString base = "<base +href *=(.*?)>";
    const QString tag = RegexFirstMatch(text, base);
    if (!tag.isEmpty()) {
        const QString decoded = PercentDecode(tag);
        if (!decoded.isEmpty()) text = RegexReplaceAll(text, base, decoded);
    } else {
        // Relative references of the fragment resolve against the host page's folder.
        text = "<base href=\"" + baseUrl + "\"/>" + text;
    }
    return RegexReplaceAll(text, "\\n[\\s ]*\\r", QString());
}

QString NormalizeImageContent(const QString& html, const QString& baseUrl) {
    return CleanHtmlContent(html, baseUrl);
}

QString NormalizeItemUrl(const QString& address, const QString& baseUrl) {
    const QString lower = address.toLower();
    for (const char* scheme : kSchemes) {
        if (lower.contains(QLatin1String(scheme))) return address;
    }
    if (baseUrl.isEmpty()) return address;
    // A leading "/" resolves against the page's folder, not the server's root.
    QString url = baseUrl + (address.startsWith('/') ? address.mid(1) : address);
    url.replace("/./", "/");
    while (url.contains("/../")) {
        const qsizetype before = url.size();
        url = RegexReplaceAll(url, "/[^/\\.]*/\\.\\./", "/");
        if (url.size() == before) break;
    }
    return url;
}

QString UrlDirectory(const QString& address) {
    QString result;
    if (address.endsWith('/') || address.endsWith('\\')) {
        result = address;
    } else if (QString(address).remove("///").contains('/') &&
               QString(address).remove("//").contains('/')) {
        result = address.left(std::max(address.lastIndexOf('/'), address.lastIndexOf('\\')) + 1);
    } else {
        result = address + "/";
    }
    if (!result.endsWith('/') && !result.endsWith('\\')) result += '/';
    return result;
}

QString StripUrlSchemes(const QString& address) {
    QString result = address;
    for (const char* scheme : kSchemes) result.remove(QLatin1String(scheme));
    return result;
}

}  // namespace kavel
