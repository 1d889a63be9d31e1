#include "platform/CdpMessages.h"

#include <algorithm>
#include <cstring>

namespace kavel {

namespace {
constexpr qsizetype kKeptOfOversized = 64;
}

void CdpMessageSplitter::Feed(const char* data, qsizetype size, std::vector<Message>& out) {
    while (size > 0) {
        const char* nul = static_cast<const char*>(std::memchr(data, '\0', size_t(size)));
        const qsizetype take = nul ? nul - data : size;
        if (!dropping_) {
            if (current_.size() + take > max_) {
                // Keep the start, which names the request, and drop the rest as it comes.
                const qsizetype room = std::max<qsizetype>(0, kKeptOfOversized - current_.size());
                if (room > 0) current_.append(data, std::min(room, take));
                dropping_ = true;
            } else {
                current_.append(data, take);
            }
        }
        if (!nul) return;
        out.push_back({current_, dropping_});
        current_.clear();
        dropping_ = false;
        data += take + 1;
        size -= take + 1;
    }
}

int LeadingReplyId(const QByteArray& text) {
    static const QByteArray prefix = "{\"id\":";
    if (!text.startsWith(prefix)) return 0;
    qint64 id = 0;
    for (qsizetype i = prefix.size(); i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        id = id * 10 + (text[i] - '0');
        if (id > 0x7fffffff) return 0;
    }
    return static_cast<int>(id);
}

}  // namespace kavel
