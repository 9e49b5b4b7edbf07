// PVDLL: the shared library of Launchora. The product's modules include this
// header alone and link the import library. The headers come in the order
// of the library's layers, the ground first.
#pragma once

#include "base/PVDLLApi.h"
#include "base/CritSec.h"
#include "base/LibraryEntry.h"
#include "base/Owners.h"
#include "base/ProductInfo.h"
#include "base/ScopeGuards.h"
#include "base/ShellSubclass.h"
#include "base/StrFormat.h"
#include "base/ZnList.h"

#include "text/Digest.h"
#include "text/ResStr.h"
#include "text/SHA1.h"
#include "text/StrConvert.h"
#include "text/StrAppendFmt.h"
#include "text/StrFunc.h"
#include "text/StrHex.h"
#include "text/StrUnits.h"
#include "text/ZnBuf.h"

#include "storage/CmdLine.h"
#include "storage/CoreFile.h"
#include "storage/FileNames.h"
#include "storage/FileQuery.h"
#include "storage/IniFile.h"
#include "storage/Parser.h"
#include "storage/Paths.h"
#include "storage/RegKey.h"
#include "storage/UniPath.h"
#include "storage/ZnFile.h"
#include "storage/ZnOpts.h"
#include "storage/ZnStreams.h"

#include "shell/Shortcuts.h"

#include "threads/CoInit.h"
#include "threads/InstanceActivation.h"
#include "threads/ProcessLaunch.h"
#include "threads/Synch.h"
#include "threads/ZnThread.h"

#include "ui/window/CDPI.h"
#include "ui/window/CoreWnd.h"
#include "ui/window/DrawHelpers.h"
#include "ui/window/FullWndDragger.h"
#include "ui/window/TooltipCtrl.h"
#include "ui/window/WndFunctions.h"
#include "ui/window/ZnDC.h"
#include "ui/window/ZnTimer.h"
#include "ui/window/ZnWaitCursor.h"
#include "ui/window/ZnCtrl.h"
#include "ui/window/IconBtn.h"
#include "ui/window/ImageBtn.h"
#include "ui/window/LargeStaticTextCtl.h"
#include "ui/window/ZnComboList.h"
#include "ui/window/ZnWnd.h"

#include "ui/html/DrawHTML.h"
#include "ui/html/ZnStaticHTML.h"

#include "ui/dialogs/ZnDlg.h"
#include "ui/dialogs/ZnDlgButtons.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/dialogs/MsgBox.h"
#include "ui/dialogs/ZnDlgPage.h"
#include "ui/dialogs/ZnDlgPageMan.h"

#include "ui/menus/ZnMenu.h"

#include "progress/ProgressEx.h"

#include "online/WebLinks.h"
#include "online/HttpClient.h"
#include "online/UpdateState.h"
#include "online/UpdateCheck.h"
#include "online/UpdateDialogs.h"

#include "entry/StartMenuNames.h"
#include "entry/WinXMenu.h"
