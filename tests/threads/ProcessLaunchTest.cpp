// Launching programs: directly through the shell, through the desktop's
// shell process (played here by pvtestshell, since Wine has no "Progman"
// window), the elevation queries as far as Wine's token shows them, the
// file helpers and the wait for a launched process. The launched program
// is pvmarker, which leaves its command line in its working folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>
#include <memory>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "PVDLL.h"
#include "ThreadProbes.h"
#include "common/TestSupport.h"
#include "threads/internal/LaunchVerb.h"
#include "threads/internal/ShellLaunch.h"

namespace {

constexpr DWORD defaultLaunchTimeoutMs = 30000;
constexpr DWORD shortLaunchTimeoutMs = 2000;

std::wstring Beside(const wchar_t* name)
{
    return ModuleFolder() + L"\\" + name;
}

std::wstring MarkerExe()
{
    return Beside(L"pvmarker.exe");
}

// The command line pvmarker left in folder, waiting up to waitMs for it;
// empty when none appeared.
std::wstring ReadMarker(const std::wstring& folder, DWORD waitMs = 10000)
{
    std::wstring path = folder + L"\\pvmarker.txt";
    Stopwatch clock;
    while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (clock.Ms() > waitMs)
            return L"";
        Sleep(50);
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return L"";
    std::wstring text(GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    text.resize(read / sizeof(wchar_t));
    return text;
}

bool MarkerAppears(const std::wstring& folder, DWORD waitMs)
{
    return !ReadMarker(folder, waitMs).empty();
}

// pvtestshell: a "Progman" window in a process of its own, pumping or hung.
class TestShell {
public:
    enum Kind { pumping, hanging, slow };
    explicit TestShell(Kind kind = pumping) : hung(kind == hanging)
    {
        std::wstring command = L"\"" + Beside(L"pvtestshell.exe") + L"\""
            + (kind == hanging     ? L" --hang"
                    : kind == slow ? L" --slow"
                                   : L"");
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            info = {};
            return;
        }
        Stopwatch clock;
        while (!window && clock.Ms() < 15000) {
            for (HWND found = FindWindowW(L"Progman", nullptr); found;
                 found = FindWindowExW(nullptr, found, L"Progman", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(found, &owner);
                if (owner == info.dwProcessId)
                    window = found;
            }
            if (!window)
                Sleep(50);
        }
    }
    ~TestShell()
    {
        if (!info.hProcess)
            return;
        if (window && !hung)
            PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(info.hProcess, hung ? 0 : 5000) != WAIT_OBJECT_0) {
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, 5000);
        }
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    TestShell(const TestShell&) = delete;
    TestShell& operator=(const TestShell&) = delete;

    bool Ready() const { return window != nullptr; }
    DWORD ProcessId() const { return info.dwProcessId; }
    HWND Window() const { return window; }

private:
    bool hung;
    PROCESS_INFORMATION info = {};
    HWND window = nullptr;
};

class LaunchThroughShell : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(FindWindowW(L"Progman", nullptr), nullptr) << "a shell window is left from elsewhere";
        shell = std::make_unique<TestShell>();
        ASSERT_TRUE(shell->Ready());
    }
    void TearDown() override
    {
        SetShellLaunchTimeout(defaultLaunchTimeoutMs);
        shell.reset();
    }

    std::unique_ptr<TestShell> shell;
    TempFolder folder;
};

// The process that started the process id, or 0 when it is not found.
DWORD ParentOf(DWORD processId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    DWORD parent = 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == processId)
            parent = entry.th32ParentProcessID;
    }
    CloseHandle(snapshot);
    return parent;
}

// Every output of the block, set as a previous request (or a meddler) might
// have left it.
void LeaveStaleOutputs()
{
    ShellLaunchBlock* block = SharedShellLaunchBlock();
    block->result = 1;
    block->lastError = ERROR_ACCESS_DENIED;
    block->process = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x1234));
}

// The working folder of the process for a scope.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder)
    {
        GetCurrentDirectoryW(MAX_PATH, previous);
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(previous); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    wchar_t previous[MAX_PATH] = {};
};

std::wstring TokenFolder(const std::wstring& token)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"pvdll-launch-" + token;
}

// Launches pvmarker through the shell process count times, each time into
// folder with its own arguments, and checks each marker and exit code.
bool LaunchRounds(const std::wstring& folder, const std::wstring& token, int count)
{
    for (int i = 0; i < count; ++i) {
        DeleteFileW((folder + L"\\pvmarker.txt").c_str());
        std::wstring arguments = L"round-" + token + L"-" + std::to_wstring(i);
        void* process = nullptr;
        unsigned long error = 1;
        if (!RunNonElevated(nullptr, MarkerExe().c_str(), arguments.c_str(), folder.c_str(), &process, &error, 1)) {
            ADD_FAILURE() << "round " << i << " failed with error " << error;
            return false;
        }
        if (!process || !WaitForProcess(process)) {
            ADD_FAILURE() << "round " << i << " gave no process that ended well";
            return false;
        }
        std::wstring marker = ReadMarker(folder);
        if (marker.find(arguments) == std::wstring::npos) {
            ADD_FAILURE() << "round " << i << " found another request's marker";
            return false;
        }
    }
    return true;
}

} // namespace

// --- the shared block ---------------------------------------------------------------

TEST(LaunchSharedBlock, AnotherProcessSeesWritesBothWays)
{
    std::wstring token = NewToken();
    ShellLaunchBlock* block = SharedShellLaunchBlock();
    std::wstring ping = L"ping-" + token;
    wcscpy(block->verb, ping.c_str());
    block->parameters[0] = L'\0';

    ChildProcess child(L"EchoSharedLaunchBlock", token);
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(child.WaitForExit(20000), childPassed);
    EXPECT_EQ(std::wstring(block->parameters), L"pong-" + token);
    block->verb[0] = L'\0';
    block->parameters[0] = L'\0';
}

TEST(ChildSide, DISABLED_EchoSharedLaunchBlock)
{
    std::wstring token = ChildToken();
    ShellLaunchBlock* block = SharedShellLaunchBlock();
    bool seen = std::wstring(block->verb) == L"ping-" + token;
    std::wstring pong = L"pong-" + token;
    wcscpy(block->parameters, pong.c_str());
    EndChild(seen);
}

// --- what the shell process accepts from the block ---------------------------------

TEST(LaunchRequest, ASoundBlockGivesItsValues)
{
    ShellLaunchBlock block = {};
    wcscpy(block.file, L"C:\\x\\prog.exe");
    wcscpy(block.parameters, L"-a \"b c\"");
    wcscpy(block.directory, L"C:\\x");
    wcscpy(block.verb, L"open");
    block.wantProcess = 7;
    block.callerProcessId = 1234;
    block.owner = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FFF0));
    ShellLaunchRequest request;
    ASSERT_EQ(ReadShellLaunchRequest(block, &request), 1);
    EXPECT_STREQ(request.file, L"C:\\x\\prog.exe");
    EXPECT_STREQ(request.parameters, L"-a \"b c\"");
    EXPECT_STREQ(request.directory, L"C:\\x");
    EXPECT_STREQ(request.verb, L"open");
    EXPECT_TRUE(request.wantProcess);
    EXPECT_EQ(request.callerProcessId, 1234u);
    // No window has that handle: the launch gets no owner.
    EXPECT_EQ(request.owner, nullptr);
}

TEST(LaunchRequest, ATextThatDoesNotEndInsideItsBufferIsRefused)
{
    ShellLaunchBlock sound = {};
    wcscpy(sound.file, L"prog.exe");
    for (int field = 0; field < 4; ++field) {
        ShellLaunchBlock block = sound;
        wchar_t* text = field == 0 ? block.file
            : field == 1           ? block.parameters
            : field == 2           ? block.directory
                                   : block.verb;
        wmemset(text, L'a', shellLaunchTextSize);
        ShellLaunchRequest request;
        SetLastError(0);
        EXPECT_EQ(ReadShellLaunchRequest(block, &request), 0) << "field " << field;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << "field " << field;
        EXPECT_EQ(request.file[0], L'\0') << "nothing half-read is left for field " << field;
        // The longest text that fits is taken whole.
        text[shellLaunchTextSize - 1] = L'\0';
        EXPECT_EQ(ReadShellLaunchRequest(block, &request), 1) << "field " << field;
    }
}

TEST(LaunchRequest, NoFileOrNoCallerForTheProcessIsRefused)
{
    ShellLaunchBlock block = {};
    ShellLaunchRequest request;
    EXPECT_EQ(ReadShellLaunchRequest(block, &request), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    wcscpy(block.file, L"prog.exe");
    block.wantProcess = 1;
    EXPECT_EQ(ReadShellLaunchRequest(block, &request), 0);
    block.callerProcessId = GetCurrentProcessId();
    EXPECT_EQ(ReadShellLaunchRequest(block, &request), 1);
}

// --- launching through the shell process ------------------------------------------

TEST_F(LaunchThroughShell, ValuesArriveAndTheProcessHandleIsUsableHere)
{
    EXPECT_EQ(CanRunNonElevated(0), 1);
    void* process = nullptr;
    unsigned long error = 1;
    ASSERT_EQ(RunNonElevated(nullptr, MarkerExe().c_str(), L"alpha \"beta gamma\" --linger-ms=1500",
                  folder.Path().c_str(), &process, &error, 1),
        1);
    EXPECT_EQ(error, 0u);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(ParentOf(GetProcessId(process)), shell->ProcessId()) << "the shell process made the launch";
    EXPECT_EQ(WaitForProcess(process), 1);
    std::wstring marker = ReadMarker(folder.Path());
    EXPECT_NE(marker.find(L"alpha \"beta gamma\""), std::wstring::npos) << marker.c_str();
}

TEST_F(LaunchThroughShell, TheExitCodeComesBackThroughTheHandle)
{
    void* process = nullptr;
    ASSERT_EQ(
        RunNonElevated(nullptr, MarkerExe().c_str(), L"--exit-code=1", folder.Path().c_str(), &process, nullptr, 1), 1);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForProcess(process), 0);
}

TEST_F(LaunchThroughShell, WithoutAPlaceForTheProcessNoneIsPassedOver)
{
    ASSERT_EQ(
        RunNonElevated(nullptr, MarkerExe().c_str(), L"no-handle", folder.Path().c_str(), nullptr, nullptr, 1), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"no-handle"), std::wstring::npos);
    EXPECT_EQ(SharedShellLaunchBlock()->process, nullptr);
}

TEST_F(LaunchThroughShell, NoHookStaysBehindToServeAForgedRequest)
{
    ASSERT_EQ(RunNonElevated(nullptr, MarkerExe().c_str(), L"first", folder.Path().c_str(), nullptr, nullptr, 1), 1);
    ASSERT_FALSE(ReadMarker(folder.Path()).empty());
    DeleteFileW((folder / L"pvmarker.txt").c_str());

    // A sound request, filled and sent as a caller would, but by nobody
    // who holds a hook.
    ShellLaunchBlock* block = SharedShellLaunchBlock();
    wcscpy(block->file, MarkerExe().c_str());
    wcscpy(block->parameters, L"forged");
    wcscpy(block->directory, folder.Path().c_str());
    block->verb[0] = L'\0';
    block->wantProcess = 0;
    block->callerProcessId = GetCurrentProcessId();
    block->serial = 77;
    block->state = shellLaunchPending;
    DWORD_PTR reply = 0;
    EXPECT_NE(SendMessageTimeoutW(shell->Window(), RegisterWindowMessageW(L"VistaElevatorMsg"), 77,
                  GetCurrentProcessId(), SMTO_ABORTIFHUNG, 5000, &reply),
        0);
    EXPECT_FALSE(MarkerAppears(folder.Path(), 1000));
    EXPECT_EQ(block->state, shellLaunchPending);
    block->state = shellLaunchIdle;
}

TEST_F(LaunchThroughShell, AnOverlongArgumentFailsWithoutLaunching)
{
    std::wstring overlong(261, L'x');
    void* process = reinterpret_cast<void*>(1);
    unsigned long error = 0;
    EXPECT_EQ(
        RunNonElevated(nullptr, MarkerExe().c_str(), overlong.c_str(), folder.Path().c_str(), &process, &error, 1), 0);
    EXPECT_EQ(error, static_cast<unsigned long>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(process, nullptr);
    // 260 characters do not fit either: the terminator needs the last place.
    EXPECT_EQ(RunNonElevated(nullptr, MarkerExe().c_str(), std::wstring(260, L'y').c_str(), folder.Path().c_str(),
                  nullptr, &error, 1),
        0);
    std::wstring longFolder = folder.Path() + L"\\" + std::wstring(260, L'd');
    EXPECT_EQ(RunNonElevated(nullptr, MarkerExe().c_str(), L"", longFolder.c_str(), nullptr, &error, 1), 0);
    EXPECT_FALSE(MarkerAppears(folder.Path(), 1500));
}

TEST_F(LaunchThroughShell, StaleOutputsOfTheBlockAreNotTakenForTheAnswer)
{
    LeaveStaleOutputs();
    void* process = reinterpret_cast<void*>(1);
    unsigned long error = 0;
    std::wstring missing = folder / L"missing.exe";
    EXPECT_EQ(RunNonElevated(nullptr, missing.c_str(), nullptr, folder.Path().c_str(), &process, &error, 1), 0);
    EXPECT_NE(error, 0u);
    EXPECT_NE(error, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(process, nullptr);
}

TEST_F(LaunchThroughShell, RequestsFromSeveralProcessesTakeTurns)
{
    std::wstring tokens[] = {NewToken(), NewToken(), NewToken()};
    // Wine reuses process ids from run to run, so a folder of an earlier run
    // may be there (a folder stays in use for a moment after a process that
    // worked in it ended, and may not have gone).
    for (const auto& token : tokens) {
        DeleteFileW((TokenFolder(token) + L"\\pvmarker.txt").c_str());
        ASSERT_TRUE(CreateDirectoryW(TokenFolder(token).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    {
        ChildProcess first(L"LaunchRoundsThroughShell", tokens[1]);
        ChildProcess second(L"LaunchRoundsThroughShell", tokens[2]);
        ASSERT_TRUE(first.Started() && second.Started());
        EXPECT_TRUE(LaunchRounds(TokenFolder(tokens[0]), tokens[0], 3));
        EXPECT_EQ(first.WaitForExit(60000), childPassed);
        EXPECT_EQ(second.WaitForExit(60000), childPassed);
    }
    for (const auto& token : tokens) {
        DeleteFileW((TokenFolder(token) + L"\\pvmarker.txt").c_str());
        RemoveDirectoryW(TokenFolder(token).c_str());
    }
}

TEST(ChildSide, DISABLED_LaunchRoundsThroughShell)
{
    std::wstring token = ChildToken();
    EndChild(!token.empty() && LaunchRounds(TokenFolder(token), token, 3));
}

TEST_F(LaunchThroughShell, AWaitForTheMachineWideTurnEnds)
{
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        MyMutex turn(1, shellLaunchTurnName);
        if (turn.Wait(0))
            SetEvent(taken);
        WaitForSingleObject(release, 20000);
        turn.Release();
    });
    ASSERT_EQ(WaitForSingleObject(taken, 5000), WAIT_OBJECT_0);
    SetShellLaunchTimeout(shortLaunchTimeoutMs);
    unsigned long error = 0;
    Stopwatch clock;
    EXPECT_EQ(RunNonElevated(nullptr, MarkerExe().c_str(), L"", folder.Path().c_str(), nullptr, &error, 1), 0);
    EXPECT_LT(clock.Ms(), shortLaunchTimeoutMs + 3000u);
    EXPECT_EQ(error, static_cast<unsigned long>(ERROR_TIMEOUT));
    SetEvent(release);
    holder.join();
    CloseHandle(taken);
    CloseHandle(release);
    EXPECT_FALSE(MarkerAppears(folder.Path(), 500));
}

TEST(LaunchHungShell, TheCallerGetsItsAnswerWithinTheTimeOut)
{
    ASSERT_EQ(FindWindowW(L"Progman", nullptr), nullptr);
    TestShell shell(TestShell::hanging);
    ASSERT_TRUE(shell.Ready());
    TempFolder folder;
    SetShellLaunchTimeout(shortLaunchTimeoutMs);
    void* process = reinterpret_cast<void*>(1);
    unsigned long error = 0;
    Stopwatch clock;
    int result = RunNonElevated(nullptr, MarkerExe().c_str(), L"hung", folder.Path().c_str(), &process, &error, 1);
    ULONGLONG took = clock.Ms();
    SetShellLaunchTimeout(defaultLaunchTimeoutMs);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(process, nullptr);
    EXPECT_EQ(error, static_cast<unsigned long>(ERROR_TIMEOUT));
    EXPECT_LT(took, shortLaunchTimeoutMs + 3000u);
    EXPECT_EQ(SharedShellLaunchBlock()->state, shellLaunchIdle) << "the unserved request is withdrawn";
    EXPECT_FALSE(MarkerAppears(folder.Path(), 500));
}

TEST(LaunchSlowShell, AnAnswerGivenBeforeTheTimeOutCounts)
{
    ASSERT_EQ(FindWindowW(L"Progman", nullptr), nullptr);
    TestShell shell(TestShell::slow);
    ASSERT_TRUE(shell.Ready());
    TempFolder folder;
    SetShellLaunchTimeout(shortLaunchTimeoutMs);
    void* process = nullptr;
    unsigned long error = 1;
    int result = RunNonElevated(nullptr, MarkerExe().c_str(), L"slow", folder.Path().c_str(), &process, &error, 1);
    SetShellLaunchTimeout(defaultLaunchTimeoutMs);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"slow"), std::wstring::npos);
}

TEST(LaunchNoShell, WithoutAProgmanWindowNothingIsLaunched)
{
    if (FindWindowW(L"Progman", nullptr))
        GTEST_SKIP() << "this desktop has a shell window";
    TempFolder folder;
    EXPECT_EQ(CanRunNonElevated(0), 0);
    void* process = reinterpret_cast<void*>(1);
    unsigned long error = 0;
    EXPECT_EQ(RunNonElevated(nullptr, MarkerExe().c_str(), L"", folder.Path().c_str(), &process, &error, 1), 0);
    EXPECT_EQ(process, nullptr);
    EXPECT_NE(error, 0u);
    EXPECT_FALSE(MarkerAppears(folder.Path(), 500));
}

TEST(LaunchNonElevated, FromANonElevatedProcessTheShellIsNotAsked)
{
    if (IsElevated())
        GTEST_SKIP() << "this process is elevated";
    ASSERT_EQ(FindWindowW(L"Progman", nullptr), nullptr);
    // A hung shell: a request sent to it would fail.
    TestShell shell(TestShell::hanging);
    ASSERT_TRUE(shell.Ready());
    SetShellLaunchTimeout(shortLaunchTimeoutMs);
    TempFolder folder;
    void* process = nullptr;
    unsigned long error = 1;
    int result = RunNonElevated(nullptr, MarkerExe().c_str(), L"direct", folder.Path().c_str(), &process, &error, 0);
    SetShellLaunchTimeout(defaultLaunchTimeoutMs);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"direct"), std::wstring::npos);
}

TEST(LaunchNonElevated, FromAnElevatedProcessTheShellAlwaysLaunches)
{
    if (!IsElevated())
        GTEST_SKIP() << "this process is not elevated";
    ASSERT_EQ(FindWindowW(L"Progman", nullptr), nullptr);
    // A hung shell: a request that goes to it fails with a time-out.
    TestShell shell(TestShell::hanging);
    ASSERT_TRUE(shell.Ready());
    SetShellLaunchTimeout(shortLaunchTimeoutMs);
    TempFolder folder;
    unsigned long error = 0;
    int result = RunNonElevated(nullptr, MarkerExe().c_str(), L"elevated", folder.Path().c_str(), nullptr, &error, 0);
    SetShellLaunchTimeout(defaultLaunchTimeoutMs);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(error, static_cast<unsigned long>(ERROR_TIMEOUT));
    EXPECT_FALSE(MarkerAppears(folder.Path(), 500));
}

// --- elevation ------------------------------------------------------------------------------

TEST(LaunchElevation, TheTypeIsAKnownOneAndSplitFollowsIt)
{
    TOKEN_ELEVATION_TYPE type = GetElevationType();
    RecordProperty("elevation_type", static_cast<int>(type));
    RecordProperty("elevated", IsElevated());
    RecordProperty("admin", IsAdminXP());
    EXPECT_TRUE(
        type == TokenElevationTypeDefault || type == TokenElevationTypeFull || type == TokenElevationTypeLimited);
    EXPECT_EQ(IsSplitToken(), type != TokenElevationTypeDefault ? 1 : 0);
}

TEST(LaunchElevation, OnlyAnAdministratorWithoutASplitTokenIsNotAskedToRestart)
{
    if (GetElevationType() == TokenElevationTypeDefault)
        EXPECT_EQ(ShouldAskToRestartAsAdmin(), IsAdminXP() ? 0 : 1);
    else
        EXPECT_EQ(ShouldAskToRestartAsAdmin(), 0);
}

TEST(LaunchElevation, AFullTokenIsElevatedAndALimitedOneIsNot)
{
    TOKEN_ELEVATION_TYPE type = GetElevationType();
    if (type == TokenElevationTypeDefault)
        GTEST_SKIP() << "this token is not split (Wine gives type 1)";
    EXPECT_EQ(IsElevated(), type == TokenElevationTypeFull ? 1 : 0);
}

TEST(LaunchElevation, TheMessageFilterIsReachedWhereTheSystemHasOne)
{
    UINT message = RegisterWindowMessageW(L"PVDLL-test-filter");
    EXPECT_EQ(MyChangeWindowMessageFilter(message, MSGFLT_ADD), 1);
}

TEST(LaunchElevation, AnElevatedProcessNeedsNoVerb)
{
    if (!IsElevated())
        GTEST_SKIP() << "this process is not elevated";
    EXPECT_EQ(ElevationVerb(), nullptr);
}

TEST(LaunchElevation, ALimitedTokenAsksForRunas)
{
    if (GetElevationType() != TokenElevationTypeLimited)
        GTEST_SKIP() << "the token is not a limited one (Wine's is a full one)";
    EXPECT_STREQ(ElevationVerb(), L"runas");
}

TEST(LaunchElevation, WithoutASplitTokenWriteAccessToTheMachinesSettingsDecides)
{
    if (GetElevationType() != TokenElevationTypeDefault)
        GTEST_SKIP() << "the token is split (Wine's is a full one)";
    HKEY key = nullptr;
    bool writable = RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS;
    if (key)
        RegCloseKey(key);
    EXPECT_EQ(ElevationVerb() == nullptr, writable);
}

TEST(LaunchElevation, RunAsStartsTheProgram)
{
    TempFolder folder;
    void* process = nullptr;
    int result = RunAs(nullptr, MarkerExe().c_str(), L"run-as", folder.Path().c_str(), &process);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"run-as"), std::wstring::npos);
}

TEST(LaunchElevation, WithNothingToGainTheProgramStartsWithTheDefaultVerb)
{
    if (ElevationVerb())
        GTEST_SKIP() << "this token would need \"runas\", which asks a person";
    TempFolder folder;
    void* process = nullptr;
    unsigned long error = 1;
    ASSERT_EQ(
        RunElevated(nullptr, MarkerExe().c_str(), L"elevated-direct", folder.Path().c_str(), &process, &error, 0), 1);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"elevated-direct"), std::wstring::npos);
}

TEST_F(LaunchThroughShell, ElevatedThroughTheShellWithNothingToGainStartsTheProgram)
{
    if (ElevationVerb())
        GTEST_SKIP() << "this token would need \"runas\", which asks a person";
    void* process = nullptr;
    ASSERT_EQ(
        RunElevated(nullptr, MarkerExe().c_str(), L"elevated-shell", folder.Path().c_str(), &process, nullptr, 1), 1);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"elevated-shell"), std::wstring::npos);
}

// --- direct launches ---------------------------------------------------------------------

TEST(LaunchDirect, MyShellExecPassesItsValuesAndGivesTheProcess)
{
    TempFolder folder;
    void* process = nullptr;
    unsigned long error = 1;
    ASSERT_EQ(MyShellExec(
                  nullptr, nullptr, MarkerExe().c_str(), L"one \"two three\"", folder.Path().c_str(), &process, &error),
        1);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"one \"two three\""), std::wstring::npos);
}

TEST(LaunchDirect, AMissingFileIsReportedNotShown)
{
    TempFolder folder;
    void* process = reinterpret_cast<void*>(1);
    unsigned long error = 0;
    std::wstring missing = folder / L"missing.exe";
    EXPECT_EQ(MyShellExec(nullptr, nullptr, missing.c_str(), nullptr, nullptr, &process, &error), 0);
    EXPECT_EQ(process, nullptr);
    EXPECT_EQ(error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RunFile(missing.c_str(), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(StartProcess(missing.c_str(), nullptr, nullptr), nullptr);
}

TEST(LaunchDirect, RunFileStartsInTheGivenFolder)
{
    TempFolder folder;
    ASSERT_EQ(RunFile(MarkerExe().c_str(), L"run-file", folder.Path().c_str(), nullptr), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"run-file"), std::wstring::npos);
}

TEST(LaunchDirect, RunFileWithAnEmptyFolderStartsInTheCurrentOne)
{
    TempFolder folder;
    CurrentFolder current(folder.Path());
    ASSERT_EQ(RunFile(MarkerExe().c_str(), L"run-here", L"", nullptr), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"run-here"), std::wstring::npos);
}

TEST(LaunchDirect, RunMyselfStartsThisProgramAgain)
{
    EXPECT_EQ(RunMyself(L"--gtest_filter=LaunchNothing.Here"), 1);
}

TEST(LaunchDirect, RunMyselfStartsInTheFolderWithoutItsTrailingSeparator)
{
    wchar_t out[MAX_PATH];
    EXPECT_EQ(GetLaunchFolder(out, L"C:\\app.exe"), 1);
    EXPECT_STREQ(out, L"C:");
    EXPECT_EQ(GetLaunchFolder(out, L"C:\\Tools\\app.exe"), 1);
    EXPECT_STREQ(out, L"C:\\Tools");
    EXPECT_EQ(GetLaunchFolder(out, L"\\\\server\\share\\app.exe"), 1);
    EXPECT_STREQ(out, L"\\\\server\\share");
    EXPECT_EQ(GetLaunchFolder(out, L"D:/games/app.exe"), 1);
    EXPECT_STREQ(out, L"D:/games");
    EXPECT_EQ(GetLaunchFolder(out, L"app.exe"), 0);
    EXPECT_STREQ(out, L"");
    EXPECT_EQ(GetLaunchFolder(out, std::wstring(300, L'a').c_str()), 0);
}

// --- waiting for a process ----------------------------------------------------------------

TEST(LaunchWait, TheExitCodeDecides)
{
    TempFolder folder;
    void* ok = StartProcess(MarkerExe().c_str(), L"--exit-code=0", folder.Path().c_str());
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(WaitForProcess(ok), 1);
    void* failed = StartProcess(MarkerExe().c_str(), L"--exit-code=1", folder.Path().c_str());
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(WaitForProcess(failed), 0);
}

TEST(LaunchWait, MessagesAreDispatchedWhileWaiting)
{
    ModalWatchdog watchdog;
    TempFolder folder;
    TickWindow window;
    void* process = StartProcess(MarkerExe().c_str(), L"--linger-ms=800", folder.Path().c_str());
    ASSERT_NE(process, nullptr);
    PostMessageW(window.hwnd, WM_APP, 0, 0);
    Stopwatch clock;
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_GE(clock.Ms(), 400u) << "the process did not linger";
    EXPECT_EQ(window.posted, 1);
}

TEST(LaunchWait, AHandleThatIsNoProcessIsAFailure)
{
    EXPECT_EQ(WaitForProcess(nullptr), 0);
    // The wait succeeds, the exit code cannot be read.
    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForProcess(event), 0);
    // The wait itself fails.
    EXPECT_EQ(WaitForProcess(reinterpret_cast<void*>(static_cast<ULONG_PTR>(0x7FFFFFF0))), 0);
}

// --- files of the application and the library ---------------------------------------------

TEST(LaunchFiles, LocalPathsLieInTheHomeFolder)
{
    wchar_t home[MAX_PATH] = {};
    ASSERT_TRUE(GetHomeDir(home));
    std::wstring folder = home;
    if (folder.back() != L'\\')
        folder += L'\\';
    wchar_t path[MAX_PATH];
    ASSERT_EQ(GetLocalPath(path, L"notes.txt", nullptr), 1);
    EXPECT_EQ(std::wstring(path), folder + L"notes.txt");
    ASSERT_EQ(GetLocalPath(path, nullptr, nullptr), 1);
    EXPECT_EQ(std::wstring(path), folder + L"test_threads.exe");
    std::wstring overlong(MAX_PATH, L'n');
    EXPECT_EQ(GetLocalPath(path, overlong.c_str(), nullptr), 0);
    EXPECT_STREQ(path, L"");
}

TEST(LaunchFiles, SatellitePathsLieInTheLibrarysFolder)
{
    wchar_t path[MAX_PATH];
    ASSERT_EQ(GetSatellitePath(path, L"pvmarker.exe"), 1);
    EXPECT_EQ(std::wstring(path), MarkerExe());
    ASSERT_EQ(GetSatellitePath(path, nullptr), 1);
    EXPECT_EQ(std::wstring(path), Beside(L"PVDLL.dll"));
}

TEST(LaunchFiles, LocalFileExistsForFilesNotFolders)
{
    wchar_t home[MAX_PATH] = {};
    ASSERT_TRUE(GetHomeDir(home));
    std::wstring name = L"pvdll-local-" + NewToken();
    std::wstring path = std::wstring(home) + L"\\" + name;
    EXPECT_EQ(LocalFileExists(name.c_str()), 0);
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    EXPECT_EQ(LocalFileExists(name.c_str()), 0);
    RemoveDirectoryW(path.c_str());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(LocalFileExists(name.c_str()), 1);
    DeleteFileW(path.c_str());
}

TEST(LaunchFiles, RunLocalAndSatelliteFilesStartThem)
{
    wchar_t local[MAX_PATH];
    ASSERT_EQ(GetLocalPath(local, L"pvmarker.exe", nullptr), 1);
    TempFolder folder;
    CurrentFolder current(folder.Path());
    if (GetFileAttributesW(local) != INVALID_FILE_ATTRIBUTES) {
        ASSERT_EQ(RunLocalFile(nullptr, L"pvmarker.exe", L"local-file", nullptr), 1);
        EXPECT_NE(ReadMarker(folder.Path()).find(L"local-file"), std::wstring::npos);
        DeleteFileW((folder / L"pvmarker.txt").c_str());
    }
    ASSERT_EQ(RunSatelliteFile(nullptr, L"pvmarker.exe", L"satellite-file", nullptr), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"satellite-file"), std::wstring::npos);
    EXPECT_EQ(RunSatelliteFile(nullptr, L"no-such-file.exe", nullptr, nullptr), 0);
}

// Through the shell process when this one is elevated (as under Wine),
// directly otherwise.
TEST_F(LaunchThroughShell, SatelliteFileNonElevatedGivesTheProcess)
{
    void* process = nullptr;
    unsigned long error = 1;
    ASSERT_EQ(RunSatelliteFileNonElevated(
                  nullptr, L"pvmarker.exe", L"--exit-code=0 satellite", folder.Path().c_str(), &process, &error, 0),
        1);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"satellite"), std::wstring::npos);
}

TEST_F(LaunchThroughShell, LocalFilesStartElevatedAndNotElevated)
{
    wchar_t local[MAX_PATH];
    ASSERT_EQ(GetLocalPath(local, L"pvmarker.exe", nullptr), 1);
    if (GetFileAttributesW(local) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the home folder is not the folder of the test programs";
    void* process = nullptr;
    unsigned long error = 1;
    ASSERT_EQ(
        RunLocalFileNonElevated(nullptr, L"pvmarker.exe", L"local-plain", folder.Path().c_str(), &process, &error, 0),
        1);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"local-plain"), std::wstring::npos);
    if (ElevationVerb())
        return;
    DeleteFileW((folder / L"pvmarker.txt").c_str());
    ASSERT_EQ(
        RunLocalFileElevated(nullptr, L"pvmarker.exe", L"local-elevated", folder.Path().c_str(), &process, &error, 1),
        1);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(folder.Path()).find(L"local-elevated"), std::wstring::npos);
}

TEST(LaunchFiles, ANameThatDoesNotFitLaunchesNothing)
{
    std::wstring overlong(MAX_PATH, L'n');
    void* process = reinterpret_cast<void*>(1);
    unsigned long error = 0;
    EXPECT_EQ(RunLocalFileElevated(nullptr, overlong.c_str(), nullptr, nullptr, &process, &error, 0), 0);
    EXPECT_EQ(process, nullptr);
    EXPECT_EQ(error, static_cast<unsigned long>(ERROR_FILENAME_EXCED_RANGE));
    error = 0;
    EXPECT_EQ(RunSatelliteFileNonElevated(nullptr, overlong.c_str(), nullptr, nullptr, nullptr, &error, 0), 0);
    EXPECT_EQ(error, static_cast<unsigned long>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(RunLocalFile(nullptr, overlong.c_str(), nullptr, nullptr), 0);
    EXPECT_EQ(LocalFileExists(overlong.c_str()), 0);
}

namespace {

// A "Progman" window of this thread whose procedure asks for a second
// launch while the first one is being answered.
struct NestedRequest {
    std::wstring folder;
    int result = -1;
    unsigned long error = 0;
};
NestedRequest* nested = nullptr;

LRESULT CALLBACK NestingShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (nested && message == RegisterWindowMessageW(L"VistaElevatorMsg"))
        nested->result = RunNonElevated(
            nullptr, MarkerExe().c_str(), L"nested", nested->folder.c_str(), nullptr, &nested->error, 1);
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

TEST(LaunchSameThread, ARequestMadeWhileAnsweringOneIsRefused)
{
    ASSERT_EQ(FindWindowW(L"Progman", nullptr), nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = NestingShellProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Progman";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND shell
        = CreateWindowExW(0, L"Progman", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(shell, nullptr);
    TempFolder outer;
    TempFolder inner;
    NestedRequest request;
    request.folder = inner.Path();
    nested = &request;
    void* process = nullptr;
    int result = RunNonElevated(nullptr, MarkerExe().c_str(), L"outer", outer.Path().c_str(), &process, nullptr, 1);
    nested = nullptr;
    DestroyWindow(shell);
    UnregisterClassW(L"Progman", windowClass.hInstance);

    EXPECT_EQ(result, 1);
    EXPECT_EQ(WaitForProcess(process), 1);
    EXPECT_NE(ReadMarker(outer.Path()).find(L"outer"), std::wstring::npos);
    EXPECT_EQ(request.result, 0);
    EXPECT_EQ(request.error, static_cast<unsigned long>(ERROR_BUSY));
    EXPECT_FALSE(MarkerAppears(inner.Path(), 500));
}
