// The host-facing entry points on hostile files: the translation file read
// by TranslateDll, and the shortcut files of the Win+X menu.
#include <gtest/gtest.h>

#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/PageEnd.h"
#include "common/TestSupport.h"
#include "common/TestWindow.h"
#include "common/Translations.h"

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

} // namespace

TEST(Robustness, TranslationFile)
{
    Trial trial("TranslateDll");
    Rng& rng = trial.rng;
    TempFolder temp;
    SetFindTranslationCallback(nullptr);
    const std::wstring language = FirstUILanguage();
    const std::wstring sample = L"; translations\r\n[" + language +
                                L"]\r\nRobust.Key=Answer \x00C4\r\nMenu.Custom=Custom\r\n" + std::wstring(300, L'K') +
                                L"=" + std::wstring(600, L'V') + L"\r\n[other]\r\nRobust.Key=Wrong\r\n";
    std::vector<std::string> seeds = {"\xEF\xBB\xBF" + Narrow(L"[" + language + L"]\r\nRobust.Key=Plain\r\n")};
    for (int f = fmtAnsi; f <= fmtAnsiUnix; ++f) {
        std::wstring path = temp / L"seed.ini";
        ASSERT_TRUE(ZnFile::WriteText(path.c_str(), sample.c_str(), static_cast<ZnFileTextFmt>(f), 0));
        seeds.push_back(ReadBytes(path));
    }
    const std::vector<std::wstring> keySeeds = {L"Robust.Key", L"Menu.Custom", std::wstring(300, L'K'), L"[", L""};
    Mutator<char> mutator(rng, ByteTokens(), 40000);
    Mutator<wchar_t> keys(rng, WideTokens(), 400);
    PageEndBlock keyBlock;
    const std::wstring file = ModuleFolder() + L"\\StartMenuL10N.ini";
    size_t translated = 0;

    trial.Run(250, mutator, seeds, [&](const std::string& bytes, size_t) {
        if (rng.OneIn(25))
            DeleteFileW(file.c_str());
        else
            ASSERT_TRUE(PutBytes(file, bytes));
        ForgetTranslations();
        for (int k = 0; k < 4; ++k) {
            std::wstring key = k == 0 ? L"Robust.Key" : keys.Mutate(rng.Pick(keySeeds), keySeeds);
            std::wstring z = key + L'\0';
            const wchar_t* p = keyBlock.PlaceChars(z.c_str(), z.size());
            const wchar_t* fallback = L"fallback";
            const wchar_t* answer = TranslateDll(p, fallback);
            ASSERT_NE(answer, nullptr);
            if (answer != fallback) {
                ++translated;
                EXPECT_LT(wcsnlen(answer, MAX_PATH), static_cast<size_t>(MAX_PATH));
            }
        }
    });
    std::printf("[ robustness ] TranslateDll: %zu lookups answered from the file\n", translated);
    EXPECT_GT(translated, 0u);
    DeleteFileW(file.c_str());
    ForgetTranslations();
}

namespace {

int escapesPosted = 0;

LRESULT CALLBACK EscapingOwner(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITMENUPOPUP) {
        ++escapesPosted;
        PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Makes a file with the given bytes through the long-path form, so names
// near 259 characters are tried wherever the file system takes them.
bool MakeFile(const std::wstring& path, const std::string& bytes)
{
    return PutBytes(L"\\\\?\\" + path, bytes);
}

// What a file system will hold as a name: no separators, reserved or
// control characters.
std::wstring SafeName(const std::wstring& name)
{
    std::wstring safe;
    for (wchar_t c : name)
        if (c >= 32 && !std::wcschr(L"\\/:*?\"<>|", c) && !(c >= 0xD800 && c <= 0xDFFF))
            safe += c;
    return safe;
}

} // namespace

TEST(Robustness, WinXMenuShortcutFiles)
{
    Trial trial("WinXMenu");
    Rng& rng = trial.rng;
    TempFolder temp;
    CoInitialize(nullptr);
    wchar_t saved[MAX_PATH] = {};
    GetEnvironmentVariableW(L"LOCALAPPDATA", saved, MAX_PATH);

    TestWindow owner({.className = L"PVDLLRobustWinXOwner",
                      .proc = EscapingOwner,
                      .title = L"host",
                      .style = WS_POPUP | WS_VISIBLE,
                      .cx = 50,
                      .cy = 50});
    ASSERT_NE(owner.Handle(), nullptr);

    std::wstring seedLink = temp / L"seed.lnk";
    ASSERT_TRUE(CreateLink((ModuleFolder() + L"\\PVDLL.dll").c_str(), seedLink.c_str(), L"/x"));
    const std::string link = ReadBytes(seedLink);
    ASSERT_FALSE(link.empty());
    std::vector<std::string> seeds = {link, "", "not a shortcut\r\n", std::string(76, '\0')};
    Mutator<char> mutator(rng, ByteTokens(), 8000);
    const std::vector<std::wstring> nameSeeds = {L"01 - Desktop", L"1 - Run", L"12 - ", L"7", L"Name (Admin)",
                                                 L"\x00C4rger \x65E5\x672C"};
    Mutator<wchar_t> names(rng, WideTokens(), 300);
    size_t longestName = 0;
    size_t files = 0;

    trial.Run(40, [&](size_t i) {
        trial.Begin(i, link);
        std::wstring root = temp / (L"run" + std::to_wstring(i));
        CreateDirectoryW(root.c_str(), nullptr);
        SetEnvironmentVariableW(L"LOCALAPPDATA", root.c_str());
        std::wstring winX = root + L"\\Microsoft";
        CreateDirectoryW(winX.c_str(), nullptr);
        winX += L"\\Windows";
        CreateDirectoryW(winX.c_str(), nullptr);
        winX += L"\\WinX";
        if (!rng.OneIn(15))
            CreateDirectoryW(winX.c_str(), nullptr);
        int groups = static_cast<int>(rng.Below(5));
        for (int g = 1; g <= groups; ++g) {
            if (rng.OneIn(6))
                continue;  // a gap
            std::wstring group = winX + L"\\Group" + std::to_wstring(g);
            CreateDirectoryW(group.c_str(), nullptr);
            int n = static_cast<int>(rng.Below(5));
            for (int f = 0; f < n; ++f) {
                std::wstring name;
                switch (rng.Below(4)) {
                case 0: {  // as long as a name can be: 259 characters with ".lnk", less where refused
                    size_t length = 259;
                    for (; length > 4; --length) {
                        name = std::wstring(length - 4, static_cast<wchar_t>(L'a' + rng.Below(26))) + L".lnk";
                        if (MakeFile(group + L"\\" + name, link))
                            break;
                    }
                    if (name.size() > longestName)
                        longestName = name.size();
                    break;
                }
                case 1:
                    name = SafeName(names.Mutate(rng.Pick(nameSeeds), nameSeeds)) + L".lnk";
                    break;
                default:
                    name = rng.Pick(nameSeeds) + std::to_wstring(f) + L".lnk";
                    break;
                }
                std::string bytes;
                switch (rng.Below(6)) {
                case 0:
                    bytes = link;
                    break;
                case 1:
                    bytes = link.substr(0, rng.Below(link.size()));
                    break;
                case 2:
                    bytes = "";
                    break;
                case 3:
                    for (size_t k = rng.Below(600); k > 0; --k)
                        bytes.push_back(static_cast<char>(rng.Next()));
                    break;
                case 4:
                    if (rng.OneIn(2)) {
                        CreateDirectoryW((L"\\\\?\\" + group + L"\\" + name).c_str(), nullptr);
                        continue;  // a folder that looks like a shortcut
                    }
                    bytes = "[InternetShortcut]\r\nURL=file:///C:/\r\n";
                    break;
                default:
                    bytes = mutator.Mutate(link, seeds);
                    break;
                }
                if (MakeFile(group + L"\\" + name, bytes))
                    ++files;
            }
        }

        HMENU extra = nullptr;
        HMENU product = nullptr;
        if (rng.OneIn(2)) {
            extra = CreatePopupMenu();
            AppendMenuW(extra, MF_STRING, 10, L"Host command");
        }
        if (rng.OneIn(2)) {
            product = CreatePopupMenu();
            AppendMenuW(product, MF_STRING, 20, L"Product command");
        }
        int result;
        {
            ModalWatchdog watchdog(8000);
            result = ShowRightClickMenuWinX(owner, extra, rng.OneIn(4) ? nullptr : L"Host tools", product);
            EXPECT_FALSE(watchdog.Fired()) << "the menu did not close at iteration " << i;
        }
        EXPECT_TRUE(result == 0 || result == -1) << result;
        // Without a WinX folder the host keeps its submenus.
        if (extra && IsMenu(extra))
            DestroyMenu(extra);
        if (product && IsMenu(product))
            DestroyMenu(product);
    });
    std::printf("[ robustness ] WinXMenu: %zu shortcut files, names up to %zu characters, %d menus shown\n", files,
                longestName, escapesPosted);
    testing::Test::RecordProperty("longestName", static_cast<int>(longestName));
    SetEnvironmentVariableW(L"LOCALAPPDATA", saved);
    owner.Destroy();
    CoUninitialize();
}
