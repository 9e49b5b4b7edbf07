// Shortcut files come from folders any program of the user can write and
// are read inside the shell: a damaged one is refused before the shell's
// parser sees it, and a sound one still loads.
#include <gtest/gtest.h>

#include <string>

#include "PVDLL.h"
#include "common/RawFile.h"
#include "common/ShortcutSupport.h"
#include "common/TestSupport.h"

namespace {

class LinkFraming : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        original = folder / L"sound.lnk";
        ASSERT_TRUE(CreateLink(L"C:\\windows\\system32\\notepad.exe", original.c_str(), L"/x"));
        bytes = ReadBytes(original);
        ASSERT_GT(bytes.size(), 0x4Eu);
        ASSERT_TRUE(bytes[0x14] & 1) << "the test wants a link with a target id list";
    }
    void TearDown() override { CoUninitialize(); }

    // Loads bytes written to a file of their own; the HRESULT it left.
    HRESULT Load(const std::string& content, bool* loaded)
    {
        std::wstring path = folder / (L"case" + std::to_wstring(++cases) + L".lnk");
        EXPECT_TRUE(PutBytes(path, content));
        iShellLink link;
        *loaded = link.Load(path.c_str()) != 0;
        return link.GetLastHR();
    }

    // Loading content fails as a damaged file does: not loaded, and
    // ERROR_BAD_FORMAT as the reason.
    void ExpectRefused(const std::string& content)
    {
        bool loaded = true;
        EXPECT_EQ(Load(content, &loaded), HRESULT_FROM_WIN32(ERROR_BAD_FORMAT));
        EXPECT_FALSE(loaded);
    }

    // The sound link whose id list terminator became an item that claims
    // to run far past the list.
    std::string WithoutTerminator() const
    {
        std::string damaged = bytes;
        size_t terminator = 0x4E + ListSize() - 2;
        damaged[terminator] = '\x40';
        damaged[terminator + 1] = '\x00';
        return damaged;
    }

    unsigned ListSize() const { return static_cast<unsigned char>(bytes[0x4C]) | static_cast<unsigned char>(bytes[0x4D]) << 8; }

    TempFolder folder;
    std::wstring original;
    std::string bytes;
    int cases = 0;
};

} // namespace

TEST_F(LinkFraming, ASoundLinkLoads)
{
    bool loaded = false;
    Load(bytes, &loaded);
    EXPECT_TRUE(loaded);
}

TEST_F(LinkFraming, AnIdListWithoutItsTerminatorIsRefused)
{
    ExpectRefused(WithoutTerminator());
}

TEST_F(LinkFraming, AnIdListLongerThanTheFileIsRefused)
{
    std::string damaged = bytes.substr(0, 0x4E + ListSize() / 2);
    ExpectRefused(damaged);
}

TEST_F(LinkFraming, AnItemShorterThanItsOwnSizeFieldIsRefused)
{
    std::string damaged = bytes;
    damaged[0x4E] = '\x01';
    damaged[0x4F] = '\x00';
    ExpectRefused(damaged);
}

TEST_F(LinkFraming, AWrongHeaderOrClassIsRefused)
{
    ExpectRefused(bytes.substr(0, 40));
    std::string otherClass = bytes;
    otherClass[4] ^= 0x55;
    ExpectRefused(otherClass);
}

// Found by the hostile-input harness: a location part whose volume block
// claims more bytes than the part holds made the shell's parser read on.
TEST_F(LinkFraming, ALocationPartWhoseVolumeBlockRunsOverIsRefused)
{
    ASSERT_TRUE(bytes[0x14] & 2) << "the test wants a link with a location part";
    size_t info = 0x4E + ListSize();
    auto u32 = [&](size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8 |
                                     static_cast<unsigned char>(bytes[at + 2]) << 16 |
                                     static_cast<unsigned char>(bytes[at + 3]) << 24);
    };
    ASSERT_TRUE(u32(info + 8) & 1) << "the test wants a volume block";
    std::string damaged = bytes;
    size_t volume = info + u32(info + 12);
    damaged[volume] = '\xFF';
    damaged[volume + 1] = '\x7F';
    ExpectRefused(damaged);
}

TEST_F(LinkFraming, ShortcutQueriesTreatADamagedFileAsNoShortcut)
{
    std::wstring path = folder / L"damaged.lnk";
    ASSERT_TRUE(PutBytes(path, WithoutTerminator()));
    EXPECT_EQ(IsShortcutAsAdmin(path.c_str()), 0);
}
