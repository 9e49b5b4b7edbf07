// Winsock 2 must come before windows.h, which would bring in the old one.
#include <winsock2.h>

#include <windows.h>
#include <ws2tcpip.h>

#include "LocalHttpServer.h"

#include <cstdlib>
#include <cstring>

namespace {

// How long one exchange may take at most on the server's side, so that a
// broken client never holds the server thread for good.
constexpr DWORD exchangeBudgetMs = 30000;

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// Waits until the socket can be read, 50 ms at a time, while the server
// runs and the budget lasts.
bool WaitReadable(SOCKET s, volatile LONG& stopping, ULONGLONG deadline)
{
    while (!stopping && GetTickCount64() < deadline) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s, &set);
        timeval wait = {0, 50000};
        int ready = select(0, &set, nullptr, nullptr, &wait);
        if (ready < 0)
            return false;
        if (ready > 0)
            return true;
    }
    return false;
}

bool SendAll(SOCKET s, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        int chunk = static_cast<int>(data.size() - sent > 65536 ? 65536 : data.size() - sent);
        int n = send(s, data.data() + sent, chunk, 0);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

void ClearProxy(const wchar_t* name)
{
    SetEnvironmentVariableW(name, nullptr);
    std::wstring assignment = std::wstring(name) + L"=";
    _wputenv(assignment.c_str());
}

} // namespace

std::string LocalHttpServer::Request::Header(const std::string& name) const
{
    size_t at = 0;
    while (at < headers.size()) {
        size_t end = headers.find("\r\n", at);
        if (end == std::string::npos)
            end = headers.size();
        std::string line = headers.substr(at, end - at);
        size_t colon = line.find(':');
        if (colon != std::string::npos && SameText(line.substr(0, colon), name)) {
            size_t from = line.find_first_not_of(' ', colon + 1);
            return from == std::string::npos ? std::string() : line.substr(from);
        }
        at = end + 2;
    }
    return {};
}

bool LocalHttpServer::Request::HasHeader(const std::string& name) const
{
    std::string probe = "\r\n" + headers;
    for (size_t at = 0; (at = probe.find("\r\n", at)) != std::string::npos; at += 2) {
        if (SameText(probe.substr(at + 2, name.size()), name) && probe.compare(at + 2 + name.size(), 1, ":") == 0)
            return true;
    }
    return false;
}

LocalHttpServer::LocalHttpServer(unsigned short wantedPort) : listener(INVALID_SOCKET)
{
    reply.body = "OK.";
    for (const wchar_t* name : {L"http_proxy", L"HTTP_PROXY", L"https_proxy", L"HTTPS_PROXY"})
        ClearProxy(name);
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(wantedPort);
    int length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 16) != 0
        || getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(s);
        return;
    }
    listener = s;
    thread.Reset(CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr));
    if (thread)
        port = ntohs(address.sin_port);
}

LocalHttpServer::~LocalHttpServer()
{
    InterlockedExchange(&stopping, 1);
    if (thread)
        WaitForSingleObject(thread.Get(), INFINITE);
    if (listener != INVALID_SOCKET)
        closesocket(listener);
    WSACleanup();
}

void LocalHttpServer::SetReply(const Reply& next)
{
    std::lock_guard<std::mutex> hold(lock);
    reply = next;
}

std::vector<LocalHttpServer::Request> LocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> hold(lock);
    return requests;
}

size_t LocalHttpServer::RequestCount() const
{
    std::lock_guard<std::mutex> hold(lock);
    return requests.size();
}

LocalHttpServer::Request LocalHttpServer::LastRequest() const
{
    std::lock_guard<std::mutex> hold(lock);
    return requests.empty() ? Request() : requests.back();
}

void LocalHttpServer::ClearRequests()
{
    std::lock_guard<std::mutex> hold(lock);
    requests.clear();
}

unsigned short LocalHttpServer::FreePort()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 0;
    unsigned short found = 0;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            found = ntohs(address.sin_port);
        closesocket(s);
    }
    WSACleanup();
    return found;
}

DWORD WINAPI LocalHttpServer::ThreadProc(void* self)
{
    static_cast<LocalHttpServer*>(self)->Serve();
    return 0;
}

void LocalHttpServer::Serve()
{
    SOCKET s = static_cast<SOCKET>(listener);
    while (!stopping) {
        if (!WaitReadable(s, stopping, GetTickCount64() + 1000))
            continue;
        SOCKET client = accept(s, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        Handle(client);
        closesocket(client);
    }
}

void LocalHttpServer::Handle(UINT_PTR clientSocket)
{
    SOCKET client = static_cast<SOCKET>(clientSocket);
    Reply now;
    {
        std::lock_guard<std::mutex> hold(lock);
        now = reply;
    }
    if (now.kind == Reply::hangUp)
        return;
    DWORD sendTimeout = 5000;
    setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout), sizeof sendTimeout);

    // The request: its head up to the blank line, then as many body bytes
    // as its Content-Length announces.
    const ULONGLONG deadline = GetTickCount64() + exchangeBudgetMs;
    std::string received;
    size_t headEnd = std::string::npos;
    size_t bodyBytes = 0;
    char chunk[4096];
    while (headEnd == std::string::npos || received.size() < headEnd + 4 + bodyBytes) {
        if (!WaitReadable(client, stopping, deadline))
            return;
        int n = recv(client, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        received.append(chunk, static_cast<size_t>(n));
        // Not HTTP at all (a TLS handshake, say): dropped at once rather
        // than waited on, since such a client waits for an answer too.
        if (received[0] < 'A' || received[0] > 'Z')
            return;
        if (headEnd == std::string::npos && (headEnd = received.find("\r\n\r\n")) != std::string::npos) {
            Request head;
            head.headers = received.substr(0, headEnd + 2);
            bodyBytes = strtoul(head.Header("Content-Length").c_str(), nullptr, 10);
        }
    }
    if (headEnd == std::string::npos)
        return;
    Request request;
    size_t lineEnd = received.find("\r\n");
    std::string line = received.substr(0, lineEnd);
    size_t space1 = line.find(' ');
    size_t space2 = line.find(' ', space1 == std::string::npos ? line.size() : space1 + 1);
    request.method = line.substr(0, space1);
    if (space1 != std::string::npos)
        request.path = line.substr(space1 + 1, space2 == std::string::npos ? std::string::npos : space2 - space1 - 1);
    request.headers = lineEnd < headEnd ? received.substr(lineEnd + 2, headEnd - lineEnd) : std::string();
    request.body = received.substr(headEnd + 4);
    {
        std::lock_guard<std::mutex> hold(lock);
        requests.push_back(request);
    }

    switch (now.kind) {
    case Reply::answer:
    case Reply::cut: {
        size_t announced = now.body.size() + (now.kind == Reply::cut ? 4096 : 0);
        std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(announced)
            + "\r\nConnection: close\r\n\r\n";
        if (!SendAll(client, head + now.body))
            return;
        break;
    }
    case Reply::raw:
        if (!SendAll(client, now.body))
            return;
        break;
    case Reply::silent:
    case Reply::hangUp:
        break;
    }
    // Closing gracefully: the client has all that was sent before the
    // connection ends (a silent reply waits here for the client to give up).
    if (now.kind != Reply::silent)
        shutdown(client, SD_SEND);
    while (WaitReadable(client, stopping, deadline)) {
        if (recv(client, chunk, sizeof chunk, 0) <= 0)
            break;
    }
}
