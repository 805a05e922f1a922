#pragma once
// One running instance per user: the first process to claim a name becomes
// the primary and listens; a later one is secondary, delivers a message to
// the primary (which brings its window forward) and exits.
//
// The claim is an abstract Unix socket named after the instance name and
// the user id, so two users never collide and a crashed primary leaves
// nothing behind (the name vanishes with the process).  Binding the name is
// atomic, so of two processes starting together exactly one wins.  Peer
// credentials are checked both ways: a socket of another user is never
// taken for the primary, and messages from other users are ignored.

#include "quellix/platform/event.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace quellix::platform {

class SingleInstance {
public:
    enum class Role {
        Primary,    // this process owns the name
        Secondary,  // another process of this user owns it
        Unavailable // neither could be established: start normally
    };
    using MessageHandler = std::function<void(std::string message)>;

    // Longest message delivered; longer ones are cut.
    static constexpr std::size_t kMaxMessageBytes = 256;

    static std::unique_ptr<SingleInstance> acquire(std::string_view name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Role role() const { return role_; }
    bool isPrimary() const { return role_ == Role::Primary; }

    // Primary: starts the listener thread; `handler` runs on that thread for
    // each delivered message (in arrival order) and must not touch the UI -
    // it posts to the UI thread's dispatcher.  Messages delivered before this
    // call wait in the socket's queue.  Call at most once.
    void listen(MessageHandler handler);

    // Secondary: sends `message` to the primary.  True once the primary's
    // handler has run for it (bounded by a few seconds of waiting).
    bool notifyPrimary(std::string_view message);

    // The abstract socket name used for `name` by the current user.
    static std::string socketName(std::string_view name);

private:
    SingleInstance(Role role, int fd) : role_(role), fd_(fd) {}
    void serve();
    void serveClient(int client);

    Role role_;
    int fd_; // listening socket (primary) or connection (secondary)
    MessageHandler handler_;
    Event stop_{Event::Reset::Manual};
    std::thread listener_;
};

} // namespace quellix::platform
