#include "shell/Shortcuts.h"

#include <shellapi.h>

#include <utility>

#include "base/Owners.h"
#include "shell/internal/LinkFile.h"
#include "storage/FileQuery.h"

namespace {

// Storage modes the shortcut files are opened with.
constexpr DWORD modeWritable = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;  // 18
constexpr DWORD modeReadOnly = STGM_SHARE_DENY_WRITE;                // 32

// SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK | SLR_NOLINKINFO:
// resolve silently, without searching or updating the link.
constexpr DWORD resolveQuietly = 0x79;

void CopyPath(wchar_t* out, const wchar_t* path)
{
    lstrcpynW(out, path ? path : L"", MAX_PATH);
}

bool PathExists(const wchar_t* path)
{
    return IsFileOrFolderExists(path) != 0;
}

// A link loaded from a file, or a failure.
bool LoadLink(iShellLink& link, const wchar_t* linkPath, int writable)
{
    if (!link.IsReady() || !linkPath)
        return false;
    iPersistFile file(link);
    return file.Load(linkPath, writable) != 0;
}

} // namespace

// --- the wrappers ----------------------------------------------------------------

void ComWrapper::Release()
{
    ComPtr<IUnknown>(std::exchange(pInterface, nullptr));
}

// Whatever a failed call left in its result is not taken over.
int ComWrapper::QueryFrom(IUnknown* source, REFIID riid)
{
    Release();
    if (!source)
        return Check(E_POINTER);
    void* result = nullptr;
    int ok = Check(source->QueryInterface(riid, &result));
    if (ok)
        pInterface = static_cast<IUnknown*>(result);
    return ok;
}

iShellLink::iShellLink()
{
    void* link = nullptr;
    if (Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, &link)))
        pInterface = static_cast<IUnknown*>(link);
}

int iShellLink::GetPath(wchar_t* buffer, WIN32_FIND_DATAW* findData, DWORD flags)
{
    buffer[0] = L'\0';
    return IsReady() && Check(Link()->GetPath(buffer, MAX_PATH, findData, flags));
}

int iShellLink::GetArgs(wchar_t* buffer, int size)
{
    buffer[0] = L'\0';
    return IsReady() && Check(Link()->GetArguments(buffer, size));
}

int iShellLink::GetDescr(wchar_t* buffer, int size)
{
    buffer[0] = L'\0';
    return IsReady() && Check(Link()->GetDescription(buffer, size));
}

int iShellLink::GetDir(wchar_t* buffer)
{
    buffer[0] = L'\0';
    return IsReady() && Check(Link()->GetWorkingDirectory(buffer, MAX_PATH));
}

int iShellLink::GetShow(int& show)
{
    return IsReady() && Check(Link()->GetShowCmd(&show));
}

int iShellLink::GetHotKey(WORD& hotKey)
{
    return IsReady() && Check(Link()->GetHotkey(&hotKey));
}

int iShellLink::GetIcon(wchar_t* buffer, int& index)
{
    buffer[0] = L'\0';
    return IsReady() && Check(Link()->GetIconLocation(buffer, MAX_PATH, &index));
}

int iShellLink::GetIDList(PIDL& idList)
{
    idList.Free();
    if (!IsReady())
        return 0;
    PIDLIST_ABSOLUTE list = nullptr;
    int ok = Check(Link()->GetIDList(&list));
    idList.Attach(list);
    return ok;
}

int iShellLink::SetPath(const wchar_t* path)
{
    return IsReady() && Check(Link()->SetPath(path));
}

int iShellLink::SetArgs(const wchar_t* args)
{
    return IsReady() && Check(Link()->SetArguments(args));
}

int iShellLink::SetDescr(const wchar_t* text)
{
    return IsReady() && Check(Link()->SetDescription(text));
}

int iShellLink::SetDir(const wchar_t* dir)
{
    return IsReady() && Check(Link()->SetWorkingDirectory(dir));
}

int iShellLink::SetShow(int show)
{
    return IsReady() && Check(Link()->SetShowCmd(show));
}

int iShellLink::SetHotKey(WORD hotKey)
{
    return IsReady() && Check(Link()->SetHotkey(hotKey));
}

int iShellLink::SetIcon(const wchar_t* path, int index)
{
    return IsReady() && Check(Link()->SetIconLocation(path, index));
}

int iShellLink::SetIDList(PCIDLIST_ABSOLUTE idList)
{
    return IsReady() && Check(Link()->SetIDList(idList));
}

int iShellLink::SetRelativePath(const wchar_t* path)
{
    return IsReady() && Check(Link()->SetRelativePath(path, 0));
}

int iShellLink::Resolve(HWND owner, DWORD flags)
{
    return IsReady() && Check(Link()->Resolve(owner, flags));
}

int iShellLink::GetPersistFile(iPersistFile& target)
{
    return target.QueryFrom(pInterface, IID_IPersistFile);
}

int iShellLink::GetPersistStream(iPersistStream& target)
{
    return target.QueryFrom(pInterface, IID_IPersistStream);
}

int iShellLink::GetShellLinkDataList(iShellLinkDataList& target)
{
    return target.QueryFrom(pInterface, IID_IShellLinkDataList);
}

int iShellLink::Load(const wchar_t* path)
{
    iPersistFile file(*this);
    return Check(file.Load(path, 0) ? S_OK : file.GetLastHR());
}

int iShellLink::Save(const wchar_t* path)
{
    iPersistFile file(*this);
    return Check(file.Save(path, TRUE) ? S_OK : file.GetLastHR());
}

int iShellLink::Execute(HWND owner)
{
    if (!IsReady())
        return 0;
    wchar_t path[MAX_PATH] = {};
    wchar_t args[4096] = {};
    wchar_t dir[MAX_PATH] = {};
    int show = SW_SHOWNORMAL;
    PIDLIST_ABSOLUTE list = nullptr;
    Link()->GetPath(path, MAX_PATH, nullptr, 0);
    Link()->GetArguments(args, 4096);
    Link()->GetWorkingDirectory(dir, MAX_PATH);
    Link()->GetShowCmd(&show);
    Link()->GetIDList(&list);
    TaskMemBlock idList(list);

    iShellLinkDataList data;
    bool elevate = GetShellLinkDataList(data) && (data.GetFlags() & shortcutRunAsAdmin);

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = idList ? SEE_MASK_IDLIST : 0;
    info.hwnd = owner;
    info.lpVerb = elevate ? L"runas" : nullptr;
    // Empty texts are passed as null, as the shell itself does.
    info.lpFile = path[0] ? path : nullptr;
    info.lpParameters = args[0] ? args : nullptr;
    info.lpDirectory = dir[0] ? dir : nullptr;
    info.nShow = show;
    info.lpIDList = idList.Get();
    return ShellExecuteExW(&info) ? 1 : 0;
}

iPersistFile::iPersistFile(iShellLink& link)
{
    link.GetPersistFile(*this);
}

// The shell's own parser is given only files whose framing holds: a damaged
// file is refused here as not a shortcut instead of being read past its
// end inside the shell process.
int iPersistFile::Load(const wchar_t* path, int writable)
{
    if (!IsReady())
        return 0;
    if (path && !LinkFile::IsSoundFile(path)) {
        DWORD error = GetLastError();
        return Check(HRESULT_FROM_WIN32(error ? error : ERROR_BAD_FORMAT));
    }
    return Check(File()->Load(path, writable ? modeWritable : modeReadOnly));
}

int iPersistFile::Save(const wchar_t* path, int remember)
{
    return IsReady() && Check(File()->Save(path, remember));
}

iPersistStream::iPersistStream(iShellLink& link)
{
    link.GetPersistStream(*this);
}

DWORD iShellLinkDataList::GetFlags()
{
    DWORD flags = 0;
    if (!IsReady() || !Check(static_cast<IShellLinkDataList*>(pInterface)->GetFlags(&flags)))
        return 0;
    return flags;
}

// --- free functions ------------------------------------------------------------

int CreateLink(const wchar_t* target, const wchar_t* linkPath, const wchar_t* arguments)
{
    iShellLink link;
    if (!link.SetPath(target))
        return 0;
    if (arguments && !link.SetArgs(arguments))
        return 0;
    iPersistFile file(link);
    return file.Save(linkPath, TRUE);
}

int UpdateLink(const wchar_t* target, const wchar_t* linkPath, const wchar_t* arguments)
{
    iShellLink link;
    iPersistFile file(link);
    if (!file.Load(linkPath, 1) || !link.SetPath(target))
        return 0;
    if (arguments && !link.SetArgs(arguments))
        return 0;
    return file.Save(linkPath, TRUE);
}

int GetShortcutIcon(const wchar_t* linkPath, wchar_t* iconPath, int* index)
{
    iShellLink link;
    if (!iconPath || !index || !LoadLink(link, linkPath, 0))
        return 0;
    return link.GetIcon(iconPath, *index);
}

int SetShortcutIcon(const wchar_t* linkPath, const wchar_t* iconPath, int index)
{
    iShellLink link;
    iPersistFile file(link);
    if (!file.Load(linkPath, 1) || !link.SetIcon(iconPath, index))
        return 0;
    return file.Save(linkPath, TRUE);
}

int IsShortcutAsAdmin(const wchar_t* linkPath)
{
    iShellLink link;
    if (!LoadLink(link, linkPath, 0))
        return 0;
    iShellLinkDataList data;
    return link.GetShellLinkDataList(data) && (data.GetFlags() & shortcutRunAsAdmin) ? 1 : 0;
}

int ExecuteShortcut(HWND owner, const wchar_t* linkPath)
{
    iShellLink link;
    if (!LoadLink(link, linkPath, 0))
        return 0;
    return link.Execute(owner);
}

int IsShortcut(const wchar_t* path)
{
    if (!path || !*path)
        return 0;
    SHFILEINFOW info = {};
    info.dwAttributes = SFGAO_LINK;
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED))
        return 0;
    return (info.dwAttributes & SFGAO_LINK) != 0;
}

int ResolveLink(HWND owner, iShellLink& link, iPersistFile& persistFile, const wchar_t* path, wchar_t* target,
                DWORD flags, int skipResolve)
{
    if (!IsShortcut(path)) {
        CopyPath(target, path);
        return 1;
    }
    target[0] = L'\0';
    if (!persistFile.Load(path, 0))
        return 0;
    if (!skipResolve && !link.Resolve(owner, flags))
        return 0;
    return link.GetPath(target, nullptr, 0);
}

void ResolveShortcut(HWND owner, wchar_t* path, int quiet)
{
    wchar_t target[MAX_PATH];
    if (IsShortcut(path)) {
        iShellLink link;
        iPersistFile file(link);
        if (!file.Load(path, 0) || !link.Resolve(owner, quiet ? resolveQuietly : static_cast<DWORD>(SLR_ANY_MATCH)) ||
            !link.GetPath(target, nullptr, 0))
            return;
    } else {
        CopyPath(target, path);
    }
    if (PathExists(target))
        GetShellPathOf(target, path, 1, 1);
    else
        CopyPath(path, target);
}

void GetShortcutTargetPath(wchar_t* target, const wchar_t* linkPath, int normalize)
{
    wchar_t buffer[MAX_PATH];
    if (IsShortcut(linkPath)) {
        iShellLink link;
        if (!LoadLink(link, linkPath, 0) || !link.GetPath(buffer, nullptr, 0))
            return;
    } else {
        CopyPath(buffer, linkPath);
    }
    if (normalize && PathExists(buffer))
        GetShellPathOf(buffer, target, 1, 1);
    else
        CopyPath(target, buffer);
}

int GetShellPathOf(const wchar_t* path, wchar_t* out, int forParsing, int)
{
    wchar_t name[MAX_PATH];
    CopyPath(name, path);
    PIDLIST_ABSOLUTE parsed = nullptr;
    bool done = false;
    if (SUCCEEDED(SHParseDisplayName(name, nullptr, &parsed, 0, nullptr)) && parsed) {
        TaskMemBlock item(parsed);
        wchar_t* text = nullptr;
        SIGDN form = forParsing ? SIGDN_DESKTOPABSOLUTEPARSING : SIGDN_NORMALDISPLAY;
        if (SUCCEEDED(SHGetNameFromIDList(parsed, form, &text)) && text) {
            TaskMemBlock display(text);
            lstrcpynW(name, text, MAX_PATH);
            done = true;
        }
    }
    CopyPath(out, name);
    return done;
}
