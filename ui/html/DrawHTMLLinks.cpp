#include <algorithm>

#include "base/internal/DllHeap.h"
#include "ui/html/DrawHTML.h"

namespace {

// The area's rectangles are its own: they go when they leave the list.
int FreeRect(unsigned __int64, unsigned int event, void* item)
{
    if (event == ZnList::eventRemoved)
        DllHeap::Free(item);
    return 0;
}

} // namespace

DrawHTMLLinkArea::DrawHTMLLinkArea(unsigned int id) : id(id), text(nullptr)
{
    rects.SetCallback(0, FreeRect);
}

DrawHTMLLinkArea::~DrawHTMLLinkArea()
{
    rects.RemoveAll();
    DllHeap::Free(text);
}

int DrawHTMLLinkArea::StartRect(int x, int y)
{
    DllBlock<RECT> rect(DllHeap::AllocArray<RECT>(1));
    if (!rect)
        return 0;
    *rect.Get() = {x, y, x, y};
    if (!rects.AddTail(rect.Get()))
        return 0;
    rect.Release();
    return 1;
}

void DrawHTMLLinkArea::EndRect(int x, int y)
{
    if (rects.IsEmpty())
        return;
    // Never inside out, wherever the layout ends the link.
    RECT* last = static_cast<RECT*>(rects.GetTail());
    last->right = std::max(x, static_cast<int>(last->left));
    last->bottom = std::max(y, static_cast<int>(last->top));
}

int DrawHTMLLinkArea::IsPointOverLink(int x, int y) const
{
    for (POS pos = rects.GetHeadPos(); pos;) {
        const RECT* r = static_cast<const RECT*>(rects.GetNext(pos));
        if (x >= r->left && x < r->right && y >= r->top && y < r->bottom)
            return 1;
    }
    return 0;
}

void DrawHTMLLinkArea::AddText(const wchar_t* start, const wchar_t* end)
{
    if (!start)
        return;
    size_t count = 0;
    while (start + count < end && count < maxText && start[count])
        ++count;
    if (wchar_t* copy = DllHeap::CopyText(start, count)) {
        DllHeap::Free(text);
        text = copy;
    }
}

DrawHTMLLinks::~DrawHTMLLinks()
{
    Reset();
}

void DrawHTMLLinks::Reset()
{
    while (!IsEmpty())
        delete static_cast<DrawHTMLLinkArea*>(RemoveHead());
}
