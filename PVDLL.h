// PVDLL: the shared library of Launchora. The product's modules include this
// header alone and link the import library.
#pragma once

#include "entry/PVDLLApi.h"
#include "entry/LibraryEntry.h"
#include "entry/ProductInfo.h"
#include "entry/ShellSubclass.h"

#include "text/Digest.h"
#include "text/ResStr.h"
#include "text/SHA1.h"
#include "text/StrConvert.h"
#include "text/StrFormat.h"
#include "text/StrFunc.h"
#include "text/StrHex.h"
#include "text/StrUnits.h"
#include "text/ZnBuf.h"
#include "text/ZnList.h"

#include "storage/IniFile.h"
#include "storage/Parser.h"
#include "storage/RegKey.h"
#include "storage/ZnOpts.h"

#include "threads/CoInit.h"
#include "threads/CritSec.h"
#include "threads/InstanceActivation.h"
#include "threads/Synch.h"
#include "threads/ZnThread.h"

#include "progress/ProgressEx.h"
#include "ui/window/ZnWaitCursor.h"
