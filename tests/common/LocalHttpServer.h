// A real HTTP server for the online tests and the benchmark: one thread in
// the calling process, listening on 127.0.0.1 at a free port, serving one
// connection at a time. It records every request and answers each with the
// reply set last; a connection that does not begin like an HTTP request is
// closed at once. No test framework is needed (the benchmark uses it too).
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "base/Owners.h"

class LocalHttpServer {
public:
    struct Request {
        std::string method;
        std::string path;
        std::string headers; // the header lines as sent, each ending in CRLF
        std::string body;
        // The value of the first header named name (any case), "" if none.
        std::string Header(const std::string& name) const;
        bool HasHeader(const std::string& name) const;
    };

    struct Reply {
        enum Kind {
            answer, // status 200 with body, then the connection is closed
            raw, // body exactly as given, no status line, then closed
            cut, // status 200 announcing more than body, then closed
            silent, // the request is read and never answered
            hangUp, // closed at once without reading or answering
        };
        Kind kind = answer;
        std::string body;
    };

    // Starts listening on the given port (0: a free one); Port() is 0 when
    // that failed. The environment's HTTP proxy settings are cleared for
    // the process, so the client reaches 127.0.0.1 directly.
    explicit LocalHttpServer(unsigned short wantedPort = 0);
    // Stops the thread and closes every socket (a silent reply ends too).
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    unsigned short Port() const { return port; }
    // "127.0.0.1".
    static const wchar_t* Host() { return L"127.0.0.1"; }

    // The reply to every request from now on (initially an answer "OK.").
    void SetReply(const Reply& reply);
    void Answer(const std::string& body) { SetReply({Reply::answer, body}); }

    std::vector<Request> Requests() const;
    size_t RequestCount() const;
    // The last request; an empty one when none came.
    Request LastRequest() const;
    void ClearRequests();

    // A port on 127.0.0.1 where nothing listens (bound, then released).
    static unsigned short FreePort();

private:
    static DWORD WINAPI ThreadProc(void* self);
    void Serve();
    void Handle(UINT_PTR client);

    UINT_PTR listener;
    unsigned short port = 0;
    KernelHandle thread;
    volatile LONG stopping = 0;
    mutable std::mutex lock;
    Reply reply;
    std::vector<Request> requests;
};
