#include "common/ShortcutSupport.h"

bool MarkRunAsAdmin(iShellLink& link)
{
    IShellLinkDataList* data = nullptr;
    if (!link.Link() || FAILED(link.Link()->QueryInterface(IID_IShellLinkDataList, reinterpret_cast<void**>(&data))))
        return false;
    DWORD flags = 0;
    data->GetFlags(&flags);
    data->SetFlags(flags | SLDF_RUNAS_USER);
    data->GetFlags(&flags);
    data->Release();
    return (flags & SLDF_RUNAS_USER) != 0;
}
