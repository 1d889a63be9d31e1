// What HTML content and addresses become when script adds them to a task: the control's own
// object tag removed, a base tag so that relative references resolve against the host page,
// blank lines collapsed; relative addresses resolved against the host page's folder.
#pragma once

#include <QString>

namespace kavel {

// Every match of a pattern replaced, and the first match (empty when none); patterns are
// PCRE2 (Qt's regular expressions), always without regard to case. A pattern that does not
// compile changes nothing and finds nothing.
QString RegexReplaceAll(const QString& subject, const QString& pattern, const QString& replacement);
QString RegexFirstMatch(const QString& subject, const QString& pattern);

// "%XX" bytes, "%%" and "+" decoded, the bytes read as UTF-8.
QString PercentDecode(const QString& text);

// HTML content as the task keeps it; baseUrl is the host page's folder.
QString CleanHtmlContent(const QString& html, const QString& baseUrl);
// The same for the content of a picture item and of the background picture.
QString NormalizeImageContent(const QString& html, const QString& baseUrl);
// An address as the task keeps it: with a scheme unchanged; otherwise resolved against the
// host page's folder (a leading "/" too), "/./" and "/x/../" folded.
QString NormalizeItemUrl(const QString& address, const QString& baseUrl);

// The folder of an address, always ending in "/" or "\" (an empty address gives "/").
QString UrlDirectory(const QString& address);
// The address without any of the schemes that addresses name ("http://", "file://", ...).
QString StripUrlSchemes(const QString& address);

}  // namespace kavel
