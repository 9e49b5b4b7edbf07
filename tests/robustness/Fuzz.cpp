#include "Fuzz.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "base/StrFormat.h"
#include "common/PageEnd.h"
#include "common/TestSupport.h"

const size_t interestingLengths[] = {1, 2, 3, 4, 7, 8, 15, 16, 31, 32, 63, 64, 127, 128, 254, 255, 256, 257, 258,
                                     259, 260, 261, 262, 511, 512, 1023, 1024, 1025, 1026, 2047, 4096, 8191, 8192,
                                     8193, 16384, 32767, 32768, 65535, 65536};
const size_t interestingLengthCount = sizeof interestingLengths / sizeof interestingLengths[0];

namespace {

// What the crash report tells; plain data, read inside the handlers.
struct Current {
    const char* target = nullptr;
    size_t iteration = 0;
    const void* input = nullptr;
    size_t bytes = 0;
    const char* step = nullptr;
};
Current current;
bool reported = false;

size_t ScaleFactor()
{
    static size_t factor = [] {
        size_t f = 1;
        char value[32] = {};
        if (GetEnvironmentVariableA("PVDLL_FUZZ_ITERATIONS", value, sizeof value) && value[0])
            f = std::strtoull(value, nullptr, 10);
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        for (int i = 1; argv && i < argc; ++i)
            if (std::wcsncmp(argv[i], L"--fuzz-iterations=", 18) == 0)
                f = std::wcstoull(argv[i] + 18, nullptr, 10);
        LocalFree(argv);
        return f ? f : 1;
    }();
    return factor;
}

void Report(const char* what, DWORD code, const void* where, const void* address)
{
    if (reported)
        return;
    reported = true;
    std::fprintf(stderr, "\n*** %s in target %s, iteration %zu, %s: exception 0x%08lX at %p (data address %p)\n",
                 what, current.target ? current.target : "(none)", current.iteration,
                 current.step ? current.step : "(no step named)", static_cast<unsigned long>(code), where, address);
    if (current.input && current.target) {
        char name[160];
        std::snprintf(name, sizeof name, "robustness-%s-%zu.bin", current.target, current.iteration);
        std::wstring path = ArtifactFolder() + L"\\";
        for (const char* c = name; *c; ++c)
            path += static_cast<wchar_t>(*c);
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD done = 0;
            WriteFile(h, current.input, static_cast<DWORD>(current.bytes), &done, nullptr);
            CloseHandle(h);
            std::fprintf(stderr, "*** the input (%zu bytes) is in build/artifacts/%s\n", current.bytes, name);
        }
    }
    std::fflush(stderr);
}

// A fault on a guard page is an overrun whatever code handles it later, so
// it is reported at first sight; other faults only when nothing handles
// them.
LONG CALLBACK OnFirstChance(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    if (r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r->NumberParameters >= 2 &&
        PageEndBlock::IsGuardAddress(reinterpret_cast<const void*>(r->ExceptionInformation[1])))
        Report(r->ExceptionInformation[0] ? "write past the end" : "read past the end", r->ExceptionCode,
               r->ExceptionAddress, reinterpret_cast<const void*>(r->ExceptionInformation[1]));
    else if (r->ExceptionCode == EXCEPTION_STACK_OVERFLOW)
        Report("stack overflow", r->ExceptionCode, r->ExceptionAddress, nullptr);
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI OnUnhandled(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    Report("crash", r->ExceptionCode, r->ExceptionAddress,
           r->NumberParameters >= 2 ? reinterpret_cast<const void*>(r->ExceptionInformation[1]) : nullptr);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

uint64_t TargetSeed(const char* target)
{
    uint64_t h = 1469598103934665603ull;
    for (const char* c = target; *c; ++c)
        h = (h ^ static_cast<unsigned char>(*c)) * 1099511628211ull;
    char value[32] = {};
    if (GetEnvironmentVariableA("PVDLL_FUZZ_SEED", value, sizeof value) && value[0])
        h ^= std::strtoull(value, nullptr, 0) * 0x9E3779B97F4A7C15ull;
    return h;
}

size_t Iterations(size_t base)
{
    return base * ScaleFactor();
}

std::vector<std::string> ByteTokens()
{
    return {"[", "]", "=", ";", "\r", "\n", "\r\n", "\n\n", std::string("\0", 1), "\xFE\xFF", "\xFF\xFE",
            "\xEF\xBB\xBF", "%", "&#", "&#58;", "&#65536;", "&#99999999999999999999;", "\\\\", "\"", " ", "\t",
            "99999999999999999999", "4294967296", "-2147483649", "0x", "\xC0\x80", "\xE0\x80", "\xF4\x90\x80\x80",
            "\x80", "\xBF", "\xED\xA0\x80", "\x1A", "\x7F", "[en-US]", "Menu.", "%LOCALAPPDATA%", "%S\\", "%_\\",
            ":", "/", "*", "?", "\\\\?\\", "..", "==", "[]"};
}

std::vector<std::wstring> WideTokens()
{
    std::vector<std::wstring> tokens;
    for (const std::string& t : ByteTokens()) {
        std::wstring w;
        for (char c : t)
            w += static_cast<wchar_t>(static_cast<unsigned char>(c));
        tokens.push_back(w);
    }
    for (const wchar_t* t : {L"\xFEFF", L"\xFFFE", L"\xD800", L"\xDC00", L"\xD83D\xDE00", L"\xFFFF", L"\x5555",
                             L"\xAAAA", L"C:\\", L"\\\\server\\share\\", L"%SystemRoot%", L"%_", L"%W", L"\"C:\\a b\"",
                             L"/x:", L"-name=", L" /", L"\x3000", L"\x00C4"})
        tokens.emplace_back(t);
    return tokens;
}

Trial::Trial(const char* target) : rng(TargetSeed(target))
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        AddVectoredExceptionHandler(1, OnFirstChance);
        SetUnhandledExceptionFilter(OnUnhandled);
    }
    current = Current();
    current.target = target;
}

Trial::~Trial()
{
    std::printf("[ robustness ] %s: %zu inputs tried\n", current.target, tried);
    std::fflush(stdout);
    testing::Test::RecordProperty("inputs", static_cast<int>(tried));
    current = Current();
}

void Trial::Begin(size_t iteration, const void* input, size_t bytes)
{
    current.iteration = iteration;
    current.input = input;
    current.bytes = bytes;
    current.step = nullptr;
}

void Trial::Step(const char* call)
{
    current.step = call;
}

ScratchKey::ScratchKey(const wchar_t* trialName)
{
    StrFormat(sub, 96, L"Software\\PVDLLRobust-%s-%lu", trialName, GetCurrentProcessId());
    StrFormat(full, 112, L"HKCU\\%s", sub);
    RegCreateKeyExW(HKEY_CURRENT_USER, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, raw.Put(), nullptr);
}

ScratchKey::~ScratchKey()
{
    raw.Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, sub);
    RegDeleteKeyW(HKEY_CURRENT_USER, sub);
}
