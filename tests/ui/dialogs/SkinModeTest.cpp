// Skin mode: which skin library is taken, what it gives, and that the last
// user lets everything go; pictures of the skin library as bitmaps.
#include <gtest/gtest.h>

#include "SkinSupport.h"
#include "common/ImportHook.h"

using namespace TestSkin;

namespace {

bool IsLoaded(const std::wstring& path)
{
    return GetModuleHandleW(path.c_str()) != nullptr;
}

// The library's own calls to load a module, with the flags of each.
class Loads {
public:
    Loads()
        : plain("kernel32.dll", "LoadLibraryW", reinterpret_cast<void*>(&Plain)),
          extended("kernel32.dll", "LoadLibraryExW", reinterpret_cast<void*>(&Extended))
    {
        self = this;
    }
    ~Loads() { self = nullptr; }

    bool Hooked() const { return extended.Hooked(); }
    int plainCalls = 0;
    std::vector<DWORD> extendedFlags;

private:
    static HMODULE WINAPI Plain(const wchar_t* name)
    {
        ++self->plainCalls;
        return self->plain.Original<HMODULE(WINAPI*)(const wchar_t*)>()(name);
    }
    static HMODULE WINAPI Extended(const wchar_t* name, HANDLE file, DWORD flags)
    {
        self->extendedFlags.push_back(flags);
        return self->extended.Original<HMODULE(WINAPI*)(const wchar_t*, HANDLE, DWORD)>()(name, file, flags);
    }

    ImportHook plain;
    ImportHook extended;
    static inline Loads* self = nullptr;
};

} // namespace

TEST(SkinMode, FullPathLoadsTheLibraryAndGivesItsRecords)
{
    ASSERT_FALSE(IsSkinMode());
    {
        TestSkinMode mode;
        ASSERT_TRUE(IsSkinMode());
        EXPECT_EQ(GetDllSkin(), GetModuleHandleW(TestSkinPath().c_str()));
        SKIN_METRICS* metrics = GetSkinMetrics(kindNine);
        ASSERT_NE(metrics, nullptr);
        EXPECT_EQ(metrics->pictureId, pictureNine);
        EXPECT_EQ(metrics->stretch.right, 40);
        ASSERT_NE(GetSkinAreas(kindNine), nullptr);
        EXPECT_EQ(GetSkinAreas(kindNine)[1].id, areaCorner);
        ASSERT_NE(GetSkinWizMetrics(), nullptr);
        EXPECT_EQ(GetSkinWizMetrics()->buttonsTop, 54);
        ASSERT_NE(GetSkinIconBtnMetrics(1), nullptr);
        EXPECT_EQ(GetSkinMetrics(42), nullptr);
    }
    EXPECT_FALSE(IsSkinMode());
}

TEST(SkinMode, MenuMetricsAreCopiedAndTheMessageBoxSkinIsMade)
{
    TestSkinMode mode;
    const SKIN_MENU_METRICS* menu = GetSkinModeMenuMetrics();
    ASSERT_NE(menu, nullptr);
    EXPECT_NE(menu, GetSkinMenuMetrics()); // a copy, not the skin library's record
    EXPECT_EQ(menu->words[0], 0x11u);
    EXPECT_EQ(menu->words[2], 0x33u);
    ZnDlgSkin* msgBox = GetMsgBoxSkin();
    ASSERT_NE(msgBox, nullptr);
    EXPECT_TRUE(msgBox->IsSkinSet());
    EXPECT_EQ(msgBox->GetMetrics(), GetSkinMetrics(SKIN_KIND_MSGBOX));
    EXPECT_NE(msgBox->FindArea(IDOK), nullptr);
}

TEST(SkinMode, UsersAreCountedAndTheLastFreesTheLibrary)
{
    const std::wstring path = TestSkinPath();
    EnableSkinMode(path.c_str());
    EnableSkinMode(path.c_str());
    EnableSkinMode(nullptr);
    EXPECT_TRUE(IsSkinMode());
    EXPECT_TRUE(IsLoaded(path));
    EnableSkinMode(nullptr);
    EXPECT_FALSE(IsSkinMode());
    EXPECT_FALSE(IsLoaded(path));
    EXPECT_EQ(GetMsgBoxSkin(), nullptr);
    EXPECT_EQ(GetSkinModeMenuMetrics(), nullptr);
    EXPECT_EQ(GetSkinMetrics(kindNine), nullptr);
    // One user too many changes nothing.
    EnableSkinMode(nullptr);
    EnableSkinMode(path.c_str());
    EXPECT_TRUE(IsSkinMode());
    EnableSkinMode(nullptr);
    EXPECT_FALSE(IsSkinMode());
}

// The test executable's folder is on the search path, so each of these
// names would find the library if it were looked up there.
TEST(SkinModeLoading, RefusesANameThatIsNotAFullPath)
{
    const wchar_t* names[]
        = {L"pvtestskin.dll", L"pvtestskin", L".\\pvtestskin.dll", L"C:pvtestskin.dll", L"\\pvtestskin.dll"};
    for (const wchar_t* name : names) {
        EnableSkinMode(name);
        EXPECT_FALSE(IsSkinMode()) << "loaded through the search path: " << testing::PrintToString(name);
        EXPECT_FALSE(IsLoaded(TestSkinPath()));
        EnableSkinMode(nullptr);
    }
}

TEST(SkinModeLoading, AFullPathIsLoadedWithoutAnySearch)
{
    Loads loads;
    ASSERT_TRUE(loads.Hooked());
    EnableSkinMode(L"pvtestskin.dll");
    EXPECT_TRUE(loads.extendedFlags.empty()); // a bare name is not even tried
    EnableSkinMode(nullptr);
    EnableSkinMode(TestSkinPath().c_str());
    EXPECT_TRUE(IsSkinMode());
    EnableSkinMode(nullptr);
    EXPECT_EQ(loads.plainCalls, 0);
    ASSERT_EQ(loads.extendedFlags.size(), 1u);
    // Any LOAD_LIBRARY_SEARCH_ flag replaces the search path; the
    // application's folder and added folders stay out.
    const DWORD flags = loads.extendedFlags[0];
    EXPECT_NE(flags & 0x0000FF00, 0u);
    EXPECT_EQ(flags
            & (LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_USER_DIRS | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                | LOAD_WITH_ALTERED_SEARCH_PATH),
        0u);
}

TEST(SkinModeLoading, ALibraryWithoutTheEntryPointsIsLetGo)
{
    const std::wstring bare = BesideTests(L"pvbareskin.dll");
    EnableSkinMode(bare.c_str());
    EXPECT_FALSE(IsSkinMode());
    EXPECT_FALSE(IsLoaded(bare));
    EXPECT_EQ(GetSkinMetrics(kindNine), nullptr);
    EXPECT_EQ(LoadSkinPicture(pictureNine), nullptr);
    EnableSkinMode(nullptr);
}

TEST(SkinModeLoading, AFailedLoadIsTriedAgainByTheNextUser)
{
    EnableSkinMode(BesideTests(L"no-such-skin.dll").c_str());
    EXPECT_FALSE(IsSkinMode());
    EnableSkinMode(TestSkinPath().c_str());
    EXPECT_TRUE(IsSkinMode());
    EnableSkinMode(nullptr);
    EnableSkinMode(nullptr);
    EXPECT_FALSE(IsSkinMode());
    EXPECT_FALSE(IsLoaded(TestSkinPath()));
}

TEST(SkinModeLoading, SetDllSkinUsesAModuleTheCallerLoaded)
{
    HMODULE module = LoadLibraryW(TestSkinPath().c_str());
    ASSERT_NE(module, nullptr);
    SetDllSkin(module);
    EXPECT_TRUE(IsSkinMode());
    EXPECT_EQ(GetDllSkin(), module);
    ASSERT_NE(GetSkinMetrics(kindNine), nullptr);
    BitmapHandle picture(LoadSkinPicture(pictureNine));
    EXPECT_TRUE(picture.IsValid());
    SetDllSkin(nullptr);
    EXPECT_FALSE(IsSkinMode());
    EXPECT_EQ(GetSkinMetrics(kindNine), nullptr);
    FreeLibrary(module);
}

// --- pictures ----------------------------------------------------------------------------

TEST(SkinPicture, BmpComesOutPixelForPixel)
{
    TestSkinMode mode;
    for (int id : {pictureNine, pictureNinePlain}) {
        BitmapHandle picture(LoadSkinPicture(id));
        ASSERT_TRUE(picture.IsValid()) << id;
        int cx = 0, cy = 0;
        std::vector<DWORD> pixels = BitmapPixels(picture.Get(), &cx, &cy);
        ASSERT_EQ(cx, 60);
        ASSERT_EQ(cy, 40);
        int wrong = 0;
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x)
                wrong += pixels[y * cx + x] != Canvas::ToPixel(NineAt(x, y));
        EXPECT_EQ(wrong, 0) << "picture " << id;
    }
}

TEST(SkinPicture, JpegGoesThroughTheSystemPictureLoader)
{
    TestSkinMode mode;
    BitmapHandle picture(LoadSkinPicture(pictureJpeg));
    ASSERT_TRUE(picture.IsValid());
    int cx = 0, cy = 0;
    std::vector<DWORD> pixels = BitmapPixels(picture.Get(), &cx, &cy);
    ASSERT_EQ(cx, 16);
    ASSERT_EQ(cy, 12);
    for (DWORD p : {pixels.front(), pixels[6 * 16 + 9], pixels.back()}) {
        COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        EXPECT_LE(ChannelDistance(c, jpegColor), 4) << std::hex << p;
    }
}

TEST(SkinPicture, NothingWithoutSkinModeOrPicture)
{
    EXPECT_EQ(LoadSkinPicture(pictureNine), nullptr);
    TestSkinMode mode;
    EXPECT_EQ(LoadSkinPicture(pictureMissing), nullptr);
    EXPECT_EQ(LoadSkinPicture(0), nullptr);
    EXPECT_EQ(LoadSkinPicture(-5), nullptr);
}
