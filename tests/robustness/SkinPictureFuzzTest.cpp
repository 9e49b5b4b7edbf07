// Skin pictures come from whatever skin library the application names:
// their bytes go through the library's picture reading (the system picture
// loader, then a copy into a DIB section). Mutated BMP and JPEG files are
// written into a copy of the test skin library as its picture resource and
// read back through the skin functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/TestSupport.h"

namespace {

constexpr int fuzzedPicture = 900;

// The picture files the test skin library carries, as seeds.
std::vector<std::string> PictureSeeds(HMODULE skin)
{
    std::vector<std::string> seeds;
    const struct {
        const wchar_t* type;
        int id;
    } pictures[] = {{RT_RCDATA, 101}, {RT_RCDATA, 102}, {L"JPG", 103}};
    for (const auto& picture : pictures) {
        HRSRC found = FindResourceW(skin, MAKEINTRESOURCEW(picture.id), picture.type);
        HGLOBAL loaded = found ? LoadResource(skin, found) : nullptr;
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (bytes)
            seeds.emplace_back(static_cast<const char*>(bytes), SizeofResource(skin, found));
    }
    return seeds;
}

bool WritePicture(const std::wstring& library, const std::string& bytes)
{
    HANDLE update = BeginUpdateResourceW(library.c_str(), FALSE);
    if (!update)
        return false;
    BOOL put = UpdateResourceW(update, RT_RCDATA, MAKEINTRESOURCEW(fuzzedPicture),
                               MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), const_cast<char*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()));
    return EndUpdateResourceW(update, !put) && put;
}

} // namespace

TEST(Robustness, SkinPicture)
{
    const std::wstring original = ModuleFolder() + L"\\pvtestskin.dll";
    HMODULE skin = LoadLibraryExW(original.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(skin, nullptr) << "the test skin library is built beside the tests";
    const std::vector<std::string> seeds = PictureSeeds(skin);
    FreeLibrary(skin);
    ASSERT_EQ(seeds.size(), 3u);

    TempFolder temp;
    Trial trial("LoadSkinPicture");
    Mutator<char> mutator(trial.rng, ByteTokens(), 200000);
    size_t made = 0;
    trial.Run(60, mutator, seeds, [&](const std::string& bytes, size_t i) {
        // A fresh file each time: a library just freed may still be mapped.
        const std::wstring library = temp / (L"skin" + std::to_wstring(i) + L".dll");
        ASSERT_TRUE(CopyFileW(original.c_str(), library.c_str(), FALSE));
        ASSERT_TRUE(WritePicture(library, bytes));
        HMODULE module = LoadLibraryExW(library.c_str(), nullptr, 0);
        ASSERT_NE(module, nullptr);
        SetDllSkin(module);
        trial.Step("LoadSkinPicture");
        BitmapHandle picture(LoadSkinPicture(fuzzedPicture));
        if (picture) {
            BITMAP info = {};
            ASSERT_EQ(GetObjectW(picture.Get(), sizeof(info), &info), static_cast<int>(sizeof(info)));
            EXPECT_GT(info.bmWidth, 0);
            EXPECT_GT(info.bmHeight, 0);
            ++made;
        }
        SetDllSkin(nullptr);
        FreeLibrary(module);
        DeleteFileW(library.c_str());
    });
    RecordProperty("pictures_read", static_cast<int>(made));
    // Small changes leave many pictures readable: none read would mean the
    // target never got past the loader.
    EXPECT_GT(made, 0u);
}
