#include "RegistryFixture.h"

namespace {

constexpr unsigned optA = 0x01;
constexpr unsigned optB = 0x02;
constexpr unsigned optWide = 0xF0;

// A set whose defaults are not all off.
class DefaultsOpts : public BoolOpts {
public:
    DefaultsOpts() : BoolOpts(L"Options") { Reset(); }
    void Reset() override
    {
        BoolOpts::Reset();
        Set(optB, 1);
    }
};

// A set that keeps a second value beside its word.
class ExtraOpts : public BoolOpts {
public:
    ExtraOpts() : BoolOpts(L"Options") {}
    void OnStore(RegKey& key) override
    {
        extraWrittenFirst = !key.FindValue(GetRegValueName());
        key.PutStr(L"Extra", L"beside", 1);
    }
    void OnLoad(RegKey& key) override
    {
        wchar_t text[16];
        key.GetStr(L"Extra", text, 16, L"");
        extra = text;
    }
    bool extraWrittenFirst = false;
    std::wstring extra;
};

// Each test keeps its option sets below the test's own root.
class OptionSets : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        GetMyProductInfo()->PushAppRootKey(root.c_str());
    }
    void TearDown() override
    {
        GetMyProductInfo()->PopAppRootKey();
        RegistryTest::TearDown();
    }
};

} // namespace

TEST(ZnOpts, BitOperations)
{
    ZnOpts opts;
    EXPECT_EQ(opts.GetAll(), 0u);
    opts.SetAll(0xF0);
    opts.SetBits(0x0F, 0x05);
    EXPECT_EQ(opts.GetAll(), 0xF5u);
    EXPECT_EQ(opts.GetBits(0x0C), 0x04u);
    EXPECT_TRUE(opts.IsOn(0x11));
    EXPECT_FALSE(opts.IsOn(0x0A));
    opts.Set(0x0A, 1);
    EXPECT_EQ(opts.GetAll(), 0xFFu);
    opts.Set(0x0F, 0);
    EXPECT_EQ(opts.GetAll(), 0xF0u);
    int on = -1;
    opts.Get(0x10, on);
    EXPECT_EQ(on, 1);
    *opts.GetPtrAll() = 3;
    EXPECT_EQ(static_cast<unsigned>(opts), 3u);
    opts.Reset();
    EXPECT_EQ(opts.GetAll(), 0u);
}

TEST(ZnOpts, LoadersCompareByTheirWordsOnly)
{
    BoolOpts first(L"First");
    BoolOpts second(L"Second");
    EXPECT_FALSE(first.IsDifferent(&second));
    first.Set(optA, 1);
    EXPECT_TRUE(first.IsDifferent(&second));
    second.CopyFrom(&first);
    EXPECT_FALSE(first.IsDifferent(&second));
    EXPECT_STREQ(second.GetRegValueName(), L"Second");

    BoolOpts copy(first);
    copy.Set(optB, 1);
    EXPECT_FALSE(first.IsOn(optB));  // a copy has a word of its own
}

TEST_F(OptionSets, MissingKeyOrValueLeavesTheDefaults)
{
    DefaultsOpts opts;
    opts.SetAll(0xFFFF);
    EXPECT_EQ(opts.Load(), 1);  // the key exists, the value does not
    EXPECT_EQ(opts.GetAll(), optB);

    GetMyProductInfo()->PushAppRootKey(Path(L"Missing").c_str());
    opts.SetAll(0xFFFF);
    EXPECT_EQ(opts.Load(), 0);
    EXPECT_EQ(opts.GetAll(), optB);
    EXPECT_FALSE(RawExists(L"Missing"));
}

TEST_F(OptionSets, StoreWritesOnceAndLoadReadsBack)
{
    BoolOpts opts(L"Options");
    opts.Set(optA | optWide, 1);
    EXPECT_EQ(opts.Store(), 1);
    EXPECT_EQ(RawGet(nullptr, L"Options").first, static_cast<DWORD>(REG_DWORD));

    // A second store of the same word writes nothing: through a read-only
    // handle, a write would fail.
    RegKey readOnly(root.c_str(), 0);
    EXPECT_TRUE(opts.DoStore(readOnly));

    BoolOpts loaded(L"Options");
    EXPECT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.GetAll(), optA | optWide);
}

TEST_F(OptionSets, WrongTypedValueKeepsTheDefaults)
{
    RawPutStr(nullptr, L"Options", L"12345");
    DefaultsOpts opts;
    EXPECT_EQ(opts.Load(), 1);
    EXPECT_EQ(opts.GetAll(), optB);
}

TEST_F(OptionSets, TemporaryCopyLeavesTheMainValueAlone)
{
    BoolOpts opts(L"Options");
    opts.SetAll(1);
    opts.Store();
    opts.SetAll(2);
    EXPECT_EQ(opts.StoreTemp(), 1);
    RawPutStr(L"Temp\\Inner", L"Deep", L"x");

    BoolOpts check(L"Options");
    check.Load();
    EXPECT_EQ(check.GetAll(), 1u);
    check.LoadTemp();
    EXPECT_EQ(check.GetAll(), 2u);

    EXPECT_TRUE(opts.DelTemp());
    EXPECT_FALSE(RawExists(L"Temp"));
    check.Load();
    EXPECT_EQ(check.GetAll(), 1u);
    EXPECT_STREQ(BoolOpts::GetTempSubKey(), L"Temp");
}

TEST_F(OptionSets, HooksKeepFurtherValuesWrittenBeforeTheWord)
{
    ExtraOpts opts;
    opts.SetAll(4);
    opts.Store();
    EXPECT_TRUE(opts.extraWrittenFirst);
    ExtraOpts loaded;
    loaded.Load();
    EXPECT_EQ(loaded.extra, L"beside");
    EXPECT_EQ(loaded.GetAll(), 4u);
}

TEST_F(OptionSets, RecordingAStoreGivesTheWordsLine)
{
    BoolOpts opts(L"Options");
    opts.SetAll(0x2A);
    wchar_t text[512];
    RegKey::StartLog(text);
    opts.Store();
    RegKey::EndLog();
    EXPECT_EQ(std::wstring(text), L"[" + root + L"]\r\nOptions=dword:0000002A\r\n");
    EXPECT_FALSE(RegKey(root.c_str(), 0).FindValue(L"Options"));
}
