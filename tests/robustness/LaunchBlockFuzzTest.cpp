// The request block that every process mapping the library may write, as
// the shell-process side reads it: random bytes in every field, texts cut,
// overlong or unterminated, in a copy that ends at a no-access page.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/PageEnd.h"
#include "threads/internal/ShellLaunch.h"

namespace {

std::vector<std::wstring> TextSeeds()
{
    return {
        L"C:\\Program Files\\Launchora\\pvhost.exe",
        L"open",
        L"runas",
        L"-a \"b c\" /x:1",
        L"C:\\",
        L"\\\\server\\share\\tool.exe",
        L"https://example.invalid/page?a=b&c=d",
        std::wstring(259, L'p'),
        std::wstring(260, L'q'),
        std::wstring(600, L'r'),
        L"",
    };
}

// Puts text into a field of the block: terminated when it fits and the
// dice say so, else filling the field to its last character.
void PutField(Rng& rng, wchar_t (&field)[shellLaunchTextSize], const std::wstring& text)
{
    size_t n = text.size() < shellLaunchTextSize ? text.size() : shellLaunchTextSize;
    wmemcpy(field, text.data(), n);
    if (n < shellLaunchTextSize && !rng.OneIn(8))
        field[n] = L'\0';
}

size_t Terminated(const wchar_t* field)
{
    return wcsnlen(field, shellLaunchTextSize);
}

} // namespace

TEST(Robustness, ShellLaunchBlock)
{
    Trial trial("ShellLaunchBlock");
    Rng& rng = trial.rng;
    const std::vector<std::wstring> seeds = TextSeeds();
    Mutator<wchar_t> mutator(rng, WideTokens(), 700);
    PageEndBlock in;
    PageEndBlock out;
    HWND someWindow = GetDesktopWindow();

    trial.Run(3000, [&](size_t i) {
        ShellLaunchBlock block;
        // Every byte random first, the texts then replaced or left as noise.
        auto* bytes = reinterpret_cast<unsigned char*>(&block);
        for (size_t b = 0; b < sizeof(block); ++b)
            bytes[b] = static_cast<unsigned char>(rng.Next());
        wchar_t(*fields[])[shellLaunchTextSize] = {&block.file, &block.parameters, &block.directory, &block.verb};
        for (auto* field : fields) {
            if (!rng.OneIn(6))
                PutField(rng, *field, mutator.Mutate(rng.Pick(seeds), seeds));
        }
        if (rng.OneIn(3))
            block.owner = rng.OneIn(2) ? someWindow : nullptr;
        if (rng.OneIn(3))
            block.wantProcess = static_cast<DWORD>(rng.Below(2));
        if (rng.OneIn(3))
            block.callerProcessId = rng.OneIn(2) ? 0 : GetCurrentProcessId();
        trial.Begin(i, &block, sizeof(block));

        const auto* copy = static_cast<const ShellLaunchBlock*>(in.Place(&block, sizeof(block)));
        auto* request = static_cast<ShellLaunchRequest*>(out.Resize(sizeof(ShellLaunchRequest)));
        int accepted = FUZZ_CALL(trial, ReadShellLaunchRequest(*copy, request));
        DWORD reason = GetLastError();

        bool texts = true;
        for (auto* field : fields)
            texts = texts && Terminated(*field) < shellLaunchTextSize;
        bool sound = texts && block.file[0] && !(block.wantProcess && !block.callerProcessId);
        ASSERT_EQ(accepted, sound ? 1 : 0);
        if (!accepted) {
            EXPECT_EQ(request->file[0], L'\0');
            EXPECT_EQ(reason, static_cast<DWORD>(texts ? ERROR_INVALID_PARAMETER : ERROR_INSUFFICIENT_BUFFER));
            return;
        }
        EXPECT_STREQ(request->file, block.file);
        EXPECT_STREQ(request->parameters, block.parameters);
        EXPECT_STREQ(request->directory, block.directory);
        EXPECT_STREQ(request->verb, block.verb);
        EXPECT_EQ(request->wantProcess, block.wantProcess != 0);
        EXPECT_TRUE(request->owner == nullptr || IsWindow(request->owner));
        if (block.owner == someWindow) {
            EXPECT_EQ(request->owner, someWindow);
        }
    });
}
