#include "online/HttpClient.h"

#include <climits>
#include <cstring>
#include <utility>

#include "base/internal/DllHeap.h"
#include "online/internal/InternetHandle.h"

namespace {

const wchar_t userAgent[] = L"Mozilla/4.0 (Corvenna Software)";
const wchar_t formContentType[] = L"Content-Type: application/x-www-form-urlencoded";

// The answer's bytes as they arrive: the block grows by doubling up to the
// most the caller wants, so a short answer never costs a block of maxBytes.
class AnswerBytes {
public:
    explicit AnswerBytes(unsigned maxBytes) : limit(maxBytes) { }

    size_t Count() const { return count; }
    size_t Room() const { return limit - count; }
    const unsigned char* Data() const { return block.Get(); }

    // A place for up to want more bytes; null when the memory is not there.
    unsigned char* Reserve(size_t want)
    {
        if (count + want > capacity) {
            size_t grown = capacity ? capacity : 4096;
            while (grown < count + want)
                grown *= 2;
            if (grown > limit)
                grown = limit;
            DllBlock<unsigned char> bigger(DllHeap::AllocArray<unsigned char>(grown));
            if (!bigger)
                return nullptr;
            if (count)
                memcpy(bigger.Get(), block.Get(), count);
            block = std::move(bigger);
            capacity = grown;
        }
        return block.Get() + count;
    }
    void Commit(size_t n) { count += n; }

private:
    DllBlock<unsigned char> block;
    size_t count = 0;
    size_t capacity = 0;
    size_t limit;
};

// The handles of one exchange. They are closed, in reverse order, only
// after the reason of a failure has been taken (closing may change it).
struct Exchange {
    InternetHandle session;
    InternetHandle connection;
    InternetHandle request;
};

DWORD Milliseconds(unsigned __int64 seconds)
{
    return seconds >= 0xFFFFFFFFull / 1000 ? 0xFFFFFFFF : static_cast<DWORD>(seconds * 1000);
}

// The post data in the ANSI code page, without terminator.
bool AnsiBody(const wchar_t* text, DllBlock<char>& body, DWORD& bytes)
{
    bytes = 0;
    int length = lstrlenW(text);
    if (!length)
        return true;
    int need = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (need <= 0)
        return false;
    body.Reset(DllHeap::AllocArray<char>(static_cast<size_t>(need)));
    if (!body) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (WideCharToMultiByte(CP_ACP, 0, text, length, body.Get(), need, nullptr, nullptr) != need)
        return false;
    bytes = static_cast<DWORD>(need);
    return true;
}

bool Send(Exchange& x, const wchar_t* host, unsigned short port, const wchar_t* path, const wchar_t* postData,
    unsigned __int64 timeoutSeconds, const wchar_t* headers, int secure)
{
    x.session.Reset(InternetOpenW(userAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!x.session)
        return false;
    if (!port)
        port = secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    x.connection.Reset(InternetConnectW(x.session.Get(), host, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!x.connection)
        return false;
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_RESYNCHRONIZE | INTERNET_FLAG_NO_UI;
    if (secure)
        flags |= INTERNET_FLAG_SECURE;
    x.request.Reset(HttpOpenRequestW(
        x.connection.Get(), postData ? L"POST" : L"GET", path, nullptr, nullptr, acceptTypes, flags, 0));
    if (!x.request)
        return false;
    // Set every time: setting a value already in force changes nothing,
    // while asking first is not to be trusted (Wine reports a value other
    // than the one in force, and its default receive time-out is unlimited,
    // which would leave a silent server holding the caller for ever).
    DWORD timeout = Milliseconds(timeoutSeconds);
    if (!InternetSetOptionW(x.request.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout)
        || !InternetSetOptionW(x.request.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout))
        return false;
    DllBlock<char> body;
    DWORD bodyBytes = 0;
    if (postData && !AnsiBody(postData, body, bodyBytes))
        return false;
    const wchar_t* sent = headers ? headers : postData ? formContentType : nullptr;
    return HttpSendRequestW(x.request.Get(), sent, sent ? static_cast<DWORD>(-1) : 0, body.Get(), bodyBytes) != FALSE;
}

bool Receive(Exchange& x, AnswerBytes& answer)
{
    while (answer.Room()) {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(x.request.Get(), &available, 0, 0))
            return false;
        if (!available)
            return true;
        DWORD want = available < answer.Room() ? available : static_cast<DWORD>(answer.Room());
        unsigned char* place = answer.Reserve(want);
        if (!place) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        DWORD got = 0;
        if (!InternetReadFile(x.request.Get(), place, want, &got))
            return false;
        if (!got)
            return true;
        answer.Commit(got);
    }
    return true;
}

wchar_t* Failed(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

// Text from codepage bytes; an empty text for no bytes.
wchar_t* FromCodePage(UINT codePage, const unsigned char* bytes, size_t count)
{
    if (count > INT_MAX)
        return Failed(ERROR_NOT_ENOUGH_MEMORY);
    const char* from = reinterpret_cast<const char*>(bytes);
    int length = count ? MultiByteToWideChar(codePage, 0, from, static_cast<int>(count), nullptr, 0) : 0;
    if (count && length <= 0)
        return nullptr;
    DllBlock<wchar_t> text(DllHeap::AllocArray<wchar_t>(static_cast<size_t>(length) + 1));
    if (!text)
        return Failed(ERROR_NOT_ENOUGH_MEMORY);
    if (length && MultiByteToWideChar(codePage, 0, from, static_cast<int>(count), text.Get(), length) != length)
        return nullptr;
    text.Get()[length] = L'\0';
    return text.Release();
}

wchar_t* FromUtf16(const unsigned char* bytes, size_t count)
{
    size_t length = count / sizeof(wchar_t); // an odd last byte is no character
    DllBlock<wchar_t> text(DllHeap::AllocArray<wchar_t>(length + 1));
    if (!text)
        return Failed(ERROR_NOT_ENOUGH_MEMORY);
    memcpy(text.Get(), bytes, length * sizeof(wchar_t));
    text.Get()[length] = L'\0';
    return text.Release();
}

wchar_t* Decode(const unsigned char* bytes, size_t count)
{
    if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return FromCodePage(CP_UTF8, bytes + 3, count - 3);
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return FromUtf16(bytes + 2, count - 2);
    return FromCodePage(CP_ACP, bytes, count);
}

} // namespace

wchar_t* SendHttpToPort(const wchar_t* host, unsigned short port, const wchar_t* path, unsigned int maxBytes,
    const wchar_t* postData, unsigned __int64 timeoutSeconds, const wchar_t* headers, int secure)
{
    if (!host || !*host)
        return Failed(ERROR_INVALID_PARAMETER);
    AnswerBytes answer(maxBytes);
    DWORD error = ERROR_SUCCESS;
    {
        Exchange x;
        if (!Send(x, host, port, path, postData, timeoutSeconds, headers, secure) || !Receive(x, answer))
            error = GetLastError() ? GetLastError() : ERROR_INTERNET_INTERNAL_ERROR;
    }
    if (error != ERROR_SUCCESS)
        return Failed(error);
    if (!answer.Count())
        return Failed(ERROR_NO_DATA);
    return Decode(answer.Data(), answer.Count());
}

wchar_t* SendHttp(const wchar_t* host, const wchar_t* path, unsigned int maxBytes, const wchar_t* postData,
    unsigned __int64 timeoutSeconds, const wchar_t* headers, int secure)
{
    return SendHttpToPort(host, 0, path, maxBytes, postData, timeoutSeconds, headers, secure);
}
