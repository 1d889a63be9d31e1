// Host name lookups for the resource policy, off the GUI thread: each name is resolved once
// on a thread of its own, and the answer comes back on the GUI thread through a timer.
#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace kavel {

class HostLookup : public QObject {
  public:
    // Called on the GUI thread with whether the host has an address of this machine or of a
    // private network.
    using Answer = std::function<void(const QString& host, bool isPrivate)>;

    explicit HostLookup(Answer answer);
    // Starts resolving a host unless it already is; its answer comes through Answer.
    void Start(const QString& host);
    // The answer for a host resolved before.
    std::optional<bool> Known(const QString& host) const;

  private:
    struct Shared;
    void Collect();

    Answer answer_;
    std::shared_ptr<Shared> shared_;
    QHash<QString, bool> known_;
    QSet<QString> pending_;
    QTimer poll_;
};

}  // namespace kavel
