// Owner-drawn menus: how items measure and paint (on DIB sections), the
// middle ellipsis, the menu's own mnemonics, columns, who deletes item
// objects, tracking, and what 200 menus leave behind.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "PVDLL.h"
#include "common/DrawProbe.h"
#include "common/CreationLog.h"
#include "common/TestSupport.h"

namespace {

constexpr COLORREF skinHighlight = RGB(20, 40, 160);
constexpr COLORREF skinHighlightText = RGB(255, 230, 0);
constexpr COLORREF skinBorder = RGB(230, 0, 0);

const SKIN_MENU_METRICS testSkin = {{skinHighlight, skinHighlightText, skinBorder}};

// Every case starts and ends with no item alive, so the shared look is
// made afresh from the skin (or its absence) the case sets.
class OwnerDrawTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ZnMenuOwnerDrawItem::LiveItems(), 0);
        SetMenuSkin(nullptr);
        ZnMenuOwnerDraw::ResetMenuChar();
    }
    void TearDown() override
    {
        SetMenuSkin(nullptr);
        EXPECT_EQ(ZnMenuOwnerDrawItem::LiveItems(), 0);
    }
};

// An item that counts its destructions.
class CountedItem : public ZnMenuOwnerDrawItem {
public:
    CountedItem(ZnMenuOwnerDraw* menu, const wchar_t* text, int* gone) : ZnMenuOwnerDrawItem(menu, text), gone(gone) { }
    ~CountedItem() override { ++*gone; }

private:
    int* gone;
};

// An item that counts what the menu asked of it.
class WatchedItem : public ZnMenuOwnerDrawItem {
public:
    WatchedItem(ZnMenuOwnerDraw* menu, const wchar_t* text, int* measured, int* painted)
        : ZnMenuOwnerDrawItem(menu, text), measured(measured), painted(painted)
    {
    }
    void GetSize(UINT id, HDC dc, SIZE& size) override
    {
        ++*measured;
        ZnMenuOwnerDrawItem::GetSize(id, dc, size);
    }
    void Paint(UINT id, HDC dc, RECT& rect, UINT state) override
    {
        ++*painted;
        ZnMenuOwnerDrawItem::Paint(id, dc, rect, state);
    }

private:
    int* measured;
    int* painted;
};

ZnMenuOwnerDrawItem* Item(ZnMenuOwnerDraw* menu, const wchar_t* text)
{
    return new ZnMenuOwnerDrawItem(menu, text);
}

HICON ProductIcon()
{
    HICON icon = static_cast<HICON>(LoadImageW(
        hiDLL, MAKEINTRESOURCEW(101), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    return icon;
}

// Pixels of colour c inside [left, right) x [top, bottom).
int CountColor(const Canvas& canvas, COLORREF c, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += canvas.At(x, y) == c;
    return n;
}

// Pixels that differ from background inside the rectangle.
int CountInk(const Canvas& canvas, COLORREF background, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += canvas.At(x, y) != background;
    return n;
}

struct Box {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
};

Box BoundsOf(const Canvas& canvas, COLORREF c)
{
    Box box;
    for (int y = 0; y < canvas.cy; ++y)
        for (int x = 0; x < canvas.cx; ++x)
            if (canvas.At(x, y) == c) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

HWND MakeOwner()
{
    return CreateWindowExW(
        0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr, nullptr, nullptr);
}

void PostKeys(HWND owner, std::initializer_list<WPARAM> keys)
{
    for (WPARAM key : keys)
        PostMessageW(owner, WM_KEYDOWN, key, 0);
}

UINT ItemType(HMENU menu, int pos)
{
    MenuItemInfo info(MIIM_FTYPE);
    GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
    return info.fType;
}

} // namespace

// --- painting ------------------------------------------------------------------------------

TEST_F(OwnerDrawTest, SelectedItemIsFramedInTheSkinsBorderOverItsHighlight)
{
    SetMenuSkin(&testSkin);
    ZnMenuOwnerDraw menu;
    ASSERT_TRUE(menu.CreatePopup());
    ASSERT_TRUE(menu.AppendItem(1, Item(&menu, L"&Selected")));
    Canvas canvas(160, 40, RGB(1, 2, 3));
    RECT rect = {0, 0, 160, ZnMenuOwnerDrawItem::ItemHeight() + 4};
    menu.GetItemByID(1)->Paint(1, canvas.dc, rect, ODS_SELECTED);
    EXPECT_EQ(canvas.At(0, 0), skinBorder);
    EXPECT_EQ(canvas.At(159, rect.bottom - 1), skinBorder);
    EXPECT_EQ(canvas.At(1, 1), skinHighlight);
    EXPECT_GT(CountColor(canvas, skinHighlightText, 1, 1, 159, rect.bottom - 1), 5);
    EXPECT_EQ(canvas.At(0, rect.bottom), RGB(1, 2, 3)); // nothing drawn outside

    // Unselected: the menu's own background and text, no frame.
    canvas.Fill(RGB(1, 2, 3));
    menu.GetItemByID(1)->Paint(1, canvas.dc, rect, 0);
    EXPECT_EQ(canvas.At(0, 0), GetSysColor(COLOR_MENU));
    EXPECT_EQ(CountColor(canvas, skinBorder, 0, 0, 160, 40), 0);
    EXPECT_GT(CountColor(canvas, GetSysColor(COLOR_MENUTEXT), 1, 1, 159, rect.bottom - 1), 5);
}

TEST_F(OwnerDrawTest, HighlightSwitchedOffKeepsTheBackgroundButNotTheFrame)
{
    SetMenuSkin(&testSkin);
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    EXPECT_EQ(menu.Style(1, ZnMenuOwnerDraw::styleNoHighlight), ZnMenuOwnerDraw::styleNoHighlight);
    menu.AppendItem(1, Item(&menu, L"Plain"));
    Canvas canvas(120, 30);
    RECT rect = {0, 0, 120, 24};
    menu.GetItemByID(1)->Paint(1, canvas.dc, rect, ODS_SELECTED);
    EXPECT_EQ(canvas.At(0, 0), skinBorder);
    EXPECT_EQ(canvas.At(1, 1), GetSysColor(COLOR_MENU));
    EXPECT_EQ(CountColor(canvas, skinHighlight, 0, 0, 120, 24), 0);
    EXPECT_EQ(CountColor(canvas, skinHighlightText, 0, 0, 120, 24), 0);

    // The default style goes to menus made later.
    EXPECT_EQ(ZnMenuOwnerDraw::DefaultStyle(1, ZnMenuOwnerDraw::styleNoHighlight), ZnMenuOwnerDraw::styleNoHighlight);
    ZnMenuOwnerDraw later;
    EXPECT_EQ(later.Style(0, 0), ZnMenuOwnerDraw::styleNoHighlight);
    ZnMenuOwnerDraw::DefaultStyle(1, 0);
}

namespace {

// Leaves the background alone, so the white copy of a disabled text shows
// whatever colour the system gives menus.
class UnfilledItem : public ZnMenuOwnerDrawItem {
public:
    using ZnMenuOwnerDrawItem::ZnMenuOwnerDrawItem;
    void GetEraseRect(UINT, RECT&, RECT& erase) override { SetRectEmpty(&erase); }
};

} // namespace

TEST_F(OwnerDrawTest, DisabledItemShowsGrayTextOverAWhiteCopyOneDown)
{
    ASSERT_NE(GetSysColor(COLOR_GRAYTEXT), RGB(255, 255, 255));
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    menu.AppendItem(1, new UnfilledItem(&menu, L"Disabled"), MFS_GRAYED);
    Canvas canvas(120, 30, RGB(0, 128, 0));
    RECT rect = {0, 0, 120, 24};
    menu.GetItemByID(1)->Paint(1, canvas.dc, rect, ODS_GRAYED);
    Box gray = BoundsOf(canvas, GetSysColor(COLOR_GRAYTEXT));
    Box white = BoundsOf(canvas, RGB(255, 255, 255));
    ASSERT_FALSE(gray.Empty());
    ASSERT_FALSE(white.Empty());
    EXPECT_EQ(white.right, gray.right + 1);
    EXPECT_EQ(white.bottom, gray.bottom + 1);
    EXPECT_EQ(CountColor(canvas, GetSysColor(COLOR_MENUTEXT), 0, 0, 120, 30), 0);

    // Selected and highlighted, the white copy is left out.
    canvas.Fill(RGB(0, 128, 0));
    menu.GetItemByID(1)->Paint(1, canvas.dc, rect, ODS_GRAYED | ODS_SELECTED);
    EXPECT_FALSE(BoundsOf(canvas, GetSysColor(COLOR_GRAYTEXT)).Empty());
    EXPECT_EQ(CountColor(canvas, RGB(255, 255, 255), 0, 0, 120, 30), 0);
}

TEST_F(OwnerDrawTest, DefaultItemIsMeasuredAndDrawnBold)
{
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    menu.AppendItem(1, Item(&menu, L"Open the folder"));
    menu.AppendItem(2, Item(&menu, L"Open the folder"));
    ASSERT_TRUE(menu.SetDefaultByID(2));
    Canvas canvas(200, 30);
    SIZE normal = {}, bold = {};
    menu.GetItemByID(1)->GetSize(1, canvas.dc, normal);
    menu.GetItemByID(2)->GetSize(2, canvas.dc, bold);
    EXPECT_GT(bold.cx, normal.cx);
    EXPECT_EQ(bold.cy, normal.cy);
    EXPECT_EQ(normal.cy, ZnMenuOwnerDrawItem::ItemHeight());

    RECT rect = {0, 0, 200, 24};
    const COLORREF text = GetSysColor(COLOR_MENUTEXT);
    menu.GetItemByID(1)->Paint(1, canvas.dc, rect, 0);
    const int normalInk = CountColor(canvas, text, 0, 0, 200, 24);
    canvas.Fill(RGB(0, 0, 0));
    menu.GetItemByID(2)->Paint(2, canvas.dc, rect, 0);
    EXPECT_GT(CountColor(canvas, text, 0, 0, 200, 24), normalInk);
}

TEST_F(OwnerDrawTest, LongTextIsShortenedInItsMiddleToFitItsRectangle)
{
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    const wchar_t* longText = L"Begin of a very long menu item text that goes on and on and on to the End";
    menu.AppendItem(1, Item(&menu, longText));
    ZnMenuOwnerDrawItem* item = menu.GetItemByID(1);
    Canvas canvas(400, 30);
    SIZE size = {};
    item->GetSize(1, canvas.dc, size);
    ASSERT_GT(size.cx, 150);

    // Drawn unclipped (DT_NOCLIP) into 120 pixels: a full text would run on.
    const COLORREF text = GetSysColor(COLOR_MENUTEXT);
    const COLORREF background = GetSysColor(COLOR_MENU);
    RECT rect = {0, 0, 120, 24};
    item->Paint(1, canvas.dc, rect, 0);
    EXPECT_EQ(CountInk(canvas, RGB(0, 0, 0), 121, 0, 400, 30), 0) << "the text ran past its rectangle";
    EXPECT_GT(CountColor(canvas, text, 2, 0, 30, 24), 0) << "the start is kept";
    EXPECT_GT(CountColor(canvas, text, 90, 0, 120, 24), 0) << "the end is kept";
    EXPECT_EQ(canvas.At(60, 0), background);

    // An item is never measured wider than half the screen.
    std::wstring huge(600, L'W');
    menu.AppendItem(2, Item(&menu, huge.c_str()));
    menu.GetItemByID(2)->GetSize(2, canvas.dc, size);
    EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXSCREEN) / 2);
}

TEST_F(OwnerDrawTest, IconIsDrawnInAColumnLeftOfEveryText)
{
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    menu.AppendItem(1, Item(&menu, L"No icon"));
    auto* withIcon = Item(&menu, L"With icon");
    HICON icon = ProductIcon();
    ASSERT_NE(icon, nullptr);
    withIcon->SetIcon(icon);
    menu.AppendItem(2, withIcon);
    EXPECT_TRUE(menu.HasIconColumn());

    const int column = ZnMenuOwnerDrawItem::IconColumnWidth();
    const int icon16 = GetSystemMetrics(SM_CXSMICON);
    EXPECT_GE(menu.RowHeight(), icon16 + 4);
    Canvas canvas(200, 30);
    SIZE plain = {}, iconic = {};
    menu.GetItemByID(1)->GetSize(1, canvas.dc, plain);
    menu.GetItemByID(2)->GetSize(2, canvas.dc, iconic);
    EXPECT_EQ(plain.cy, menu.RowHeight());
    EXPECT_EQ(iconic.cy, menu.RowHeight());

    RECT rect = {0, 0, 200, menu.RowHeight()};
    const COLORREF background = GetSysColor(COLOR_MENU);
    menu.GetItemByID(2)->Paint(2, canvas.dc, rect, 0);
    // The product icon is a blue tile.
    const COLORREF centre = canvas.At(column / 2, rect.bottom / 2);
    EXPECT_GT(GetBValue(centre), GetRValue(centre) + 40);
    EXPECT_GT(CountInk(canvas, background, column + 1, 0, 200, rect.bottom), 5);

    // The item without an icon leaves the column empty and its text after it.
    canvas.Fill(RGB(0, 0, 0));
    menu.GetItemByID(1)->Paint(1, canvas.dc, rect, 0);
    EXPECT_EQ(CountInk(canvas, background, 0, 0, column, rect.bottom), 0);
    EXPECT_GT(CountInk(canvas, background, column, 0, 200, rect.bottom), 5);

    // Disabled, the icon is drawn too (in the system's disabled look).
    canvas.Fill(RGB(0, 0, 0));
    menu.GetItemByID(2)->Paint(2, canvas.dc, rect, ODS_DISABLED);
    EXPECT_GT(CountInk(canvas, background, (column - icon16) / 2, 0, (column + icon16) / 2, rect.bottom), 5);
}

TEST_F(OwnerDrawTest, SeparatorItemIsAnEtchedLine)
{
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    ASSERT_TRUE(menu.AppendSeparatorItem());
    EXPECT_TRUE(ItemType(menu, 0) & MFT_SEPARATOR);
    EXPECT_TRUE(ItemType(menu, 0) & MFT_OWNERDRAW);
    ZnMenuOwnerDrawItem* separator = menu.GetItemByPos(0);
    ASSERT_NE(separator, nullptr);
    EXPECT_TRUE(separator->IsSeparator());
    Canvas canvas(100, 20);
    SIZE size = {};
    separator->GetSize(0, canvas.dc, size);
    EXPECT_LT(size.cy, ZnMenuOwnerDrawItem::ItemHeight());
    RECT rect = {0, 0, 100, size.cy};
    separator->Paint(0, canvas.dc, rect, ODS_SELECTED);
    const int middle = size.cy / 2 - 1;
    EXPECT_EQ(canvas.At(50, middle), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(canvas.At(50, middle + 1), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(0, 0), GetSysColor(COLOR_MENU)); // never highlighted nor framed
}

TEST_F(OwnerDrawTest, SkinTakesEffectOnlyOnceEveryItemWasGone)
{
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    menu.AppendItem(1, Item(&menu, L"Early"));
    SetMenuSkin(&testSkin);
    EXPECT_EQ(ZnMenuOwnerDrawItem::BkColor(1), GetSysColor(COLOR_HIGHLIGHT));
    menu.AppendItem(2, Item(&menu, L"Still early"));
    EXPECT_EQ(ZnMenuOwnerDrawItem::BorderColor(), GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(ZnMenuOwnerDrawItem::LiveItems(), 2);
    menu.DeleteAll();
    EXPECT_EQ(ZnMenuOwnerDrawItem::LiveItems(), 0);
    menu.AppendItem(3, Item(&menu, L"Skinned"));
    EXPECT_EQ(ZnMenuOwnerDrawItem::BkColor(1), skinHighlight);
    EXPECT_EQ(ZnMenuOwnerDrawItem::TextColor(1), skinHighlightText);
    EXPECT_EQ(ZnMenuOwnerDrawItem::BorderColor(), skinBorder);
}

// What a person looks at: a menu with a selected, a disabled and a default
// item, an icon, a separator and a long text, plain and skinned.
TEST_F(OwnerDrawTest, PicturesOfAPlainAndASkinnedMenu)
{
    for (const wchar_t* name : {L"odmenu_plain.png", L"odmenu_skinned.png"}) {
        SetMenuSkin(name[7] == L's' ? &testSkin : nullptr);
        int drawn = 0;
        {
            ZnMenuOwnerDraw menu;
            menu.CreatePopup();
            auto* open = Item(&menu, L"&Open");
            open->SetIcon(ProductIcon());
            menu.AppendItem(1, open);
            menu.AppendItem(2, Item(&menu, L"&Selected item"));
            menu.AppendItem(3, Item(&menu, L"&Disabled item"), MFS_GRAYED);
            menu.AppendSeparatorItem();
            menu.AppendItem(4, Item(&menu, L"De&fault item"));
            menu.AppendItem(5, Item(&menu, L"C:\\Users\\Someone\\Documents\\A rather long folder name\\report.txt"));
            menu.SetDefaultByID(4);
            const UINT states[] = {0, ODS_SELECTED, ODS_GRAYED, 0, ODS_DEFAULT, 0};
            const int width = 220;
            Canvas canvas(width, 200, RGB(128, 128, 128));
            int y = 0;
            for (int pos = 0; pos < menu.GetCount(); ++pos) {
                ZnMenuOwnerDrawItem* item = menu.GetItemByPos(static_cast<UINT>(pos));
                SIZE size = {};
                item->GetSize(menu.GetItemID(pos), canvas.dc, size);
                RECT rect = {0, y, width, y + size.cy};
                item->Paint(menu.GetItemID(pos), canvas.dc, rect, states[pos]);
                y += size.cy;
            }
            drawn = CountInk(canvas, RGB(128, 128, 128), 0, 0, width, y);
            EXPECT_FALSE(SavePng(name, canvas.Pixels().data(), width, y).empty()) << name;
        }
        EXPECT_GT(drawn, 1000) << name;
    }
}

// --- FitText --------------------------------------------------------------------------------

TEST(OwnerDrawFitText, KeepsStartAndEndAndDropsTheMiddle)
{
    const wchar_t* fits = L"Short";
    EXPECT_EQ(FitText(fits, 50, 50), fits);
    EXPECT_EQ(FitText(fits, 50, 80), fits);
    EXPECT_STREQ(FitText(L"", 50, 10), L"");
    // 20 characters in half the room: MulDiv gives 10, three of them dots.
    EXPECT_STREQ(FitText(L"abcdefghijklmnopqrst", 200, 100), L"abc...qrst");
    EXPECT_EQ(wcslen(FitText(L"abcdefghijklmnopqrst", 200, 150)), 15u);
    EXPECT_STREQ(FitText(L"abcdefghijklmnopqrst", 200, 150), L"abcdef...opqrst");
    // No room for a start: nothing.
    EXPECT_STREQ(FitText(L"abcdefghij", 100, 20), L"");
    EXPECT_STREQ(FitText(L"abcdefghij", 100, 0), L"");

    // Longer than any fixed buffer would be.
    std::wstring huge = L"[" + std::wstring(20000, L'x') + L"]";
    const wchar_t* cut = FitText(huge.c_str(), 20002, 10001);
    ASSERT_NE(cut, huge.c_str());
    EXPECT_EQ(cut[0], L'[');
    EXPECT_EQ(cut[wcslen(cut) - 1], L']');
    EXPECT_NE(std::wstring(cut).find(L"..."), std::wstring::npos);
}

// --- mnemonics -----------------------------------------------------------------------------

namespace {

LRESULT Select(int pos)
{
    return MAKELRESULT(pos, MNC_SELECT);
}

LRESULT Execute(int pos)
{
    return MAKELRESULT(pos, MNC_EXECUTE);
}

} // namespace

TEST_F(OwnerDrawTest, SharedMnemonicCyclesAndASingleOneExecutes)
{
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    menu.AppendItem(1, Item(&menu, L"&Save"));
    menu.AppendItem(2, Item(&menu, L"&Open"));
    menu.AppendItem(3, Item(&menu, L"&Settings"));
    // A plain item's data is no item object, whatever its text says.
    AppendMenuW(menu, MF_STRING, 4, L"&Search");
    menu.SetItemDataByID(4, 0x1234);
    menu.AppendSeparatorItem();

    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(0));
    EXPECT_EQ(menu.OnMenuChar(menu, L'S'), Select(2));
    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(0));
    EXPECT_EQ(menu.OnMenuChar(menu, L'o'), Execute(1));
    // Another key started over.
    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(0));
    EXPECT_EQ(menu.OnMenuChar(menu, L'z'), 0);
    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(0));

    // Another menu starts over too.
    ZnMenuOwnerDraw other;
    other.CreatePopup();
    other.AppendItem(9, Item(&other, L"&Sleep"));
    other.AppendItem(10, Item(&other, L"&Shut down"));
    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(2));
    EXPECT_EQ(other.OnMenuChar(other, L's'), Select(0));
    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(0));
}

namespace {

ZnMenuOwnerDraw* pressingMenu;
LRESULT pressedWhileOpen;

// Presses "s" once inside the open menu, then closes it.
void CALLBACK PressSWhileOpen(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    pressedWhileOpen = pressingMenu->OnMenuChar(*pressingMenu, L's');
    EndMenu();
}

} // namespace

TEST_F(OwnerDrawTest, MnemonicMemoryGoesWhenTheMenuCloses)
{
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    menu.AppendItem(1, Item(&menu, L"&Save"));
    menu.AppendItem(2, Item(&menu, L"&Settings"));

    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(0));
    menu.OnMenuClose();
    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(0));
    menu.OnMenuLoop(0);
    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(0));

    // Through the owner's messages of a real menu: a key pressed while it
    // was open is forgotten once it closed.
    ZnMenuOwnerDraw::ResetMenuChar();
    ModalWatchdog watchdog(5000);
    HWND owner = MakeOwner();
    pressingMenu = &menu;
    pressedWhileOpen = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, PressSWhileOpen);
    EXPECT_EQ(menu.TrackEx(owner, POINT{20, 20}), 0u);
    KillTimer(nullptr, timer);
    EXPECT_EQ(pressedWhileOpen, Select(0));
    EXPECT_EQ(menu.OnMenuChar(menu, L's'), Select(0));
    EXPECT_FALSE(watchdog.Fired());
    DestroyWindow(owner);
}

// --- columns --------------------------------------------------------------------------------

TEST(OwnerDrawBreaks, ColumnLengthFollowsTheScreen)
{
    // 1080 / (16 + 7) - 1 = 45 rows, 3 columns of at most 34.
    EXPECT_EQ(ZnMenuOwnerDraw::BreakColumnLength(100, 1080, 16), 34);
    EXPECT_EQ(ZnMenuOwnerDraw::BreakColumnLength(45, 1080, 16), 45);
    EXPECT_EQ(ZnMenuOwnerDraw::BreakColumnLength(46, 1080, 16), 23);
    EXPECT_EQ(ZnMenuOwnerDraw::BreakColumnLength(0, 1080, 16), 0);
    EXPECT_EQ(ZnMenuOwnerDraw::BreakColumnLength(10, 30, 16), 0);
}

TEST_F(OwnerDrawTest, BreaksGoOnItemsAndIntoSubMenusWithoutSeparators)
{
    int gone = 0;
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    menu.AppendItem(1000, new CountedItem(&menu, L"first", &gone));
    const int count = 2 * (screen / (ZnMenuOwnerDrawItem::ItemHeight() + 7)) + 5;
    HMENU sub = CreatePopupMenu();
    for (int i = 0; i < count; ++i) {
        AppendMenuW(sub, MF_STRING, 5000 + i, L"deep");
        if (i > 0)
            menu.AppendItem(1000 + i, Item(&menu, L"item"));
    }
    ZnMenuOwnerDraw subView(sub);
    subView.AppendItem(4999, new CountedItem(&subView, L"deep item", &gone));
    ASSERT_TRUE(menu.InsertSubMenu(1, 1, sub, Item(&menu, L"More")));
    const int total = menu.GetCount();
    const int perColumn = ZnMenuOwnerDraw::BreakColumnLength(total, screen, menu.RowHeight());
    ASSERT_GT(perColumn, 0);
    ASSERT_LT(perColumn, total);

    menu.InsertBreaks(0);
    EXPECT_EQ(menu.GetCount(), total);
    for (int pos = 1; pos < total; ++pos) {
        const bool broken = (ItemType(menu, pos) & MFT_MENUBREAK) != 0;
        EXPECT_EQ(broken, pos % perColumn == 0) << pos;
        EXPECT_FALSE(ItemType(menu, pos) & MFT_SEPARATOR) << pos;
    }
    int subBreaks = 0;
    for (int pos = 0; pos < GetMenuItemCount(sub); ++pos)
        subBreaks += (ItemType(sub, pos) & MFT_MENUBREAK) != 0;
    EXPECT_GT(subBreaks, 0);
    // The temporary wrapper made for the sub-menu left its item alone.
    EXPECT_EQ(gone, 0);
    EXPECT_NE(subView.GetItemByID(4999), nullptr);
}

// --- who deletes item objects ----------------------------------------------------------------

TEST_F(OwnerDrawTest, OnlyTheOwningMenuDeletesItemObjects)
{
    int gone = 0;
    HMENU subHandle = nullptr;
    {
        ZnMenuOwnerDraw menu;
        menu.CreatePopup();
        menu.AppendItem(1, new CountedItem(&menu, L"top", &gone));
        ZnMenu* sub = menu.MakeSubMenu();
        ASSERT_NE(dynamic_cast<ZnMenuOwnerDraw*>(sub), nullptr);
        sub->CreatePopup();
        subHandle = *sub;
        auto* subMenu = static_cast<ZnMenuOwnerDraw*>(sub);
        subMenu->AppendItem(2, new CountedItem(subMenu, L"inside", &gone));
        menu.AppendSubMenu(subHandle, new CountedItem(&menu, L"sub", &gone));
        {
            // Borrowing wrappers of the menu and of its sub-menu.
            ZnMenuOwnerDraw borrowed(menu.GetHandle());
            ZnMenuOwnerDraw borrowedSub(subHandle);
            EXPECT_FALSE(borrowed.OwnsMenu());
            EXPECT_EQ(borrowedSub.GetItemByID(2)->GetText(), std::wstring(L"inside"));
        }
        EXPECT_EQ(gone, 0);
    }
    EXPECT_EQ(gone, 3);
    EXPECT_FALSE(IsMenu(subHandle));
}

TEST_F(OwnerDrawTest, PlainItemsDataIsTheCallers)
{
    int gone = 0;
    ZnMenuOwnerDraw unowned; // an object of the caller's, not the menu's
    auto* callers = new CountedItem(&unowned, L"caller's", &gone);
    {
        ZnMenuOwnerDraw menu;
        menu.CreatePopup();
        menu.AppendItem(1, new CountedItem(&menu, L"drawn", &gone));
        menu.ZnMenu::AppendItem(2, L"plain");
        menu.SetItemDataByID(2, reinterpret_cast<ULONG_PTR>(callers));
        EXPECT_EQ(menu.GetItemByID(2), nullptr);
        menu.DeleteOwnerDrawItems();
        EXPECT_EQ(gone, 1);
        EXPECT_EQ(menu.GetItemDataByID(1), 0u);
        EXPECT_EQ(menu.GetItemDataByID(2), reinterpret_cast<ULONG_PTR>(callers));
    }
    EXPECT_EQ(gone, 1);
    delete callers;
    EXPECT_EQ(gone, 2);
}

TEST_F(OwnerDrawTest, ItemsAreNotCopiedAndAFailedInsertionDeletesTheItem)
{
    static_assert(!std::is_copy_constructible_v<ZnMenuOwnerDrawItem>);
    static_assert(!std::is_copy_assignable_v<ZnMenuOwnerDrawItem>);
    int gone = 0;
    ZnMenuOwnerDraw noHandle;
    EXPECT_FALSE(noHandle.AppendItem(1, new CountedItem(&noHandle, L"lost", &gone)));
    EXPECT_EQ(gone, 1);
    EXPECT_FALSE(noHandle.AppendItem(1, static_cast<ZnMenuOwnerDrawItem*>(nullptr)));
}

TEST_F(OwnerDrawTest, ItemsAreFoundByTheirObjectsText)
{
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    menu.AppendItem(10, Item(&menu, L"&Settings"), 0);
    menu.ZnMenu::AppendItem(11, L"Plain");
    menu.InsertItemBeforeID(10, 9, Item(&menu, L"First"));
    menu.InsertItemBeforePos(2, 12, Item(&menu, L"Third"));
    EXPECT_EQ(menu.GetItemID(0), 9u);
    EXPECT_EQ(menu.GetItemID(2), 12u);
    EXPECT_EQ(menu.FindStrPos(L"&SETTINGS"), 1u);
    EXPECT_EQ(menu.FindStrPos(L"Plain"), 0xFFFFFFFFu);
    wchar_t text[6];
    EXPECT_TRUE(menu.GetStrByID(10, text, 6));
    EXPECT_STREQ(text, L"&Sett");
    EXPECT_FALSE(menu.GetStrByID(11, text, 6));
    EXPECT_TRUE(menu.GetStrByPos(0, text, 6));
    EXPECT_EQ(menu.GetItemByID(10)->GetMenu(), &menu);
    menu.DeleteAll();
    EXPECT_EQ(menu.GetCount(), 0);
}

// --- tracking -------------------------------------------------------------------------------

TEST_F(OwnerDrawTest, TrackedMenuIsMeasuredDrawnAndReturnsTheChosenItem)
{
    ModalWatchdog watchdog(8000);
    HWND owner = MakeOwner();
    int measured = 0, painted = 0;
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    menu.AppendItem(1, new WatchedItem(&menu, L"&One", &measured, &painted));
    menu.AppendSeparatorItem();
    menu.AppendItem(2, new WatchedItem(&menu, L"&Two", &measured, &painted));
    menu.AppendItem(3, new WatchedItem(&menu, L"T&hree", &measured, &painted));

    // Down, down: the separator is stepped over.
    PostKeys(owner, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(menu.TrackEx(owner, POINT{20, 20}), 2u);
    EXPECT_GE(measured, 3);
    EXPECT_GE(painted, 3);

    // A mnemonic of one item executes it through WM_MENUCHAR.
    PostMessageW(owner, WM_CHAR, L'h', 0);
    EXPECT_EQ(menu.TrackEx(owner, POINT{20, 20}), 3u);
    EXPECT_FALSE(watchdog.Fired());
    DestroyWindow(owner);
}

TEST_F(OwnerDrawTest, SharedMnemonicMovesTheSelectionOfTheOpenMenu)
{
    ModalWatchdog watchdog(8000);
    HWND owner = MakeOwner();
    ZnMenuOwnerDraw menu;
    menu.CreatePopup();
    menu.AppendItem(1, Item(&menu, L"&Save"));
    menu.AppendItem(2, Item(&menu, L"&Open"));
    menu.AppendItem(3, Item(&menu, L"&Settings"));
    PostMessageW(owner, WM_CHAR, L's', 0);
    PostMessageW(owner, WM_CHAR, L's', 0);
    PostKeys(owner, {VK_RETURN});
    const UINT chosen = menu.TrackEx(owner, POINT{20, 20});
    EXPECT_FALSE(watchdog.Fired());
    DestroyWindow(owner);
    if (chosen == 0)
        GTEST_SKIP() << "the menu ignores MNC_SELECT here: the answers are checked without it";
    EXPECT_EQ(chosen, 3u);
}

namespace {

int CountThreadWindows()
{
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM counter) -> BOOL {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

TEST_F(OwnerDrawTest, TwoHundredMenusWithIconsLeaveNothingBehind)
{
    ModalWatchdog watchdog(120000);
    HWND owner = MakeOwner();
    const int windowsBefore = CountThreadWindows();
    CreationLog objects(CreationLog::fonts | CreationLog::brushes);
    ASSERT_TRUE(objects.Hooked()) << "the library makes its fonts and brushes through its imports";
    std::vector<HICON> icons;
    int chosen = 0;
    for (int round = 0; round < 200; ++round) {
        ZnMenuOwnerDraw menu;
        menu.CreatePopup();
        for (UINT id = 1; id <= 3; ++id) {
            auto* item = Item(&menu, id == 2 ? L"&Second" : L"Item");
            HICON icon = ProductIcon();
            icons.push_back(icon);
            item->SetIcon(icon);
            menu.AppendItem(id, item);
        }
        menu.AppendSeparatorItem();
        menu.SetDefaultByID(3);
        PostKeys(owner, {VK_DOWN, VK_DOWN, VK_RETURN});
        chosen += menu.TrackEx(owner, POINT{20, 20}) == 2;
    }
    EXPECT_EQ(chosen, 200);
    // Each first item of a menu made the shared look: two brushes and two
    // fonts, gone with the menu's last item.
    EXPECT_EQ(objects.gdi.size(), 800u);
    EXPECT_EQ(objects.GdiAlive(), 0u);
    size_t iconsAlive = 0;
    for (HICON icon : icons) {
        ICONINFO info = {};
        if (GetIconInfo(icon, &info)) {
            ++iconsAlive;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
    EXPECT_EQ(iconsAlive, 0u);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
    EXPECT_FALSE(watchdog.Fired());
    DestroyWindow(owner);
}

// --- the shield bitmap ---------------------------------------------------------------------

namespace {

DWORD WINAPI ShieldWithoutCom(void* out)
{
    *static_cast<HBITMAP*>(out) = ZnMenu::LoadShieldIcon();
    return 0;
}

DWORD WINAPI ShieldWithCom(void* out)
{
    CoInitialize(nullptr);
    *static_cast<HBITMAP*>(out) = ZnMenu::LoadShieldIcon();
    CoUninitialize();
    return 0;
}

// Whether a shield bitmap can be made here at all, past the library's
// memory of earlier calls.
DWORD WINAPI ShieldMakeable(void* out)
{
    CoInitialize(nullptr);
    IconHandle small(static_cast<HICON>(CopyImage(LoadIconW(nullptr, IDI_SHIELD), IMAGE_ICON, 16, 16, 0)));
    BitmapHandle made(small ? ZnMenu::GenerateBitmap(small.Get()) : nullptr);
    *static_cast<HBITMAP*>(out) = made ? reinterpret_cast<HBITMAP>(INT_PTR{1}) : nullptr;
    CoUninitialize();
    return 0;
}

HBITMAP ShieldOnThread(LPTHREAD_START_ROUTINE body)
{
    HBITMAP got = nullptr;
    HANDLE thread = CreateThread(nullptr, 0, body, &got, 0, nullptr);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    return got;
}

enum ShieldOutcome : DWORD {
    shieldRetried = 10,
    shieldNeedsNoCom = 11,
    shieldNeverMade = 12,
    shieldNotKept = 13,
    shieldNotRetried = 14,
};

} // namespace

// Runs in a process of its own, where nothing asked for the shield before.
TEST(ShieldChild, DISABLED_FirstWithoutComThenWithCom)
{
    HBITMAP first = ShieldOnThread(ShieldWithoutCom);
    if (first)
        ExitProcess(shieldNeedsNoCom);
    HBITMAP second = ShieldOnThread(ShieldWithCom);
    if (!second)
        ExitProcess(ShieldOnThread(ShieldMakeable) ? shieldNotRetried : shieldNeverMade);
    ExitProcess(ShieldOnThread(ShieldWithoutCom) == second ? shieldRetried : shieldNotKept);
}

TEST(ZnMenuShield, CallAfterAThreadWithoutComStillGetsTheShield)
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe)
        + L"\" --gtest_also_run_disabled_tests --gtest_filter=ShieldChild.DISABLED_FirstWithoutComThenWithCom";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    KernelHandle process(child.hProcess);
    KernelHandle thread(child.hThread);
    ASSERT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    if (code == shieldNeedsNoCom)
        GTEST_SKIP() << "the shield was made without COM here: a first call cannot fail";
    if (code == shieldNeverMade)
        GTEST_SKIP() << "no shield icon or WIC conversion here, even with COM";
    EXPECT_EQ(code, static_cast<DWORD>(shieldRetried));
}
