// The message framing of the browser's debugging pipe: UTF-8 JSON messages, each ended by
// one NUL byte.
#pragma once

#include <QByteArray>
#include <vector>

namespace kavel {

// Splits the byte stream from the browser into messages. A message longer than the limit is
// not kept: only its start is, marked oversized, so that its request can be failed without
// the process holding an unbounded reply.
class CdpMessageSplitter {
  public:
    struct Message {
        QByteArray text;  // the whole message, or its first bytes when oversized
        bool oversized = false;
    };

    explicit CdpMessageSplitter(qsizetype maxMessage) : max_(maxMessage) {}
    void Feed(const char* data, qsizetype size, std::vector<Message>& out);

  private:
    qsizetype max_;
    QByteArray current_;
    bool dropping_ = false;
};

// The request id at the start of a reply ({"id":12,...}), as the browser writes it; 0 when
// the text does not start that way.
int LeadingReplyId(const QByteArray& text);

}  // namespace kavel
