#pragma once
// The copy-engine library's stand-in KRVCopyCtrl.dll: it provides the exports of
// engine/KRVCopyCtrlInterface.h and answers a few codes of its own besides the interface's.
//
// The stand-in keeps its state in "<location>\$ENGINE\state.txt" (see StateFile.h), where
// <location> is the ServiceInfo "Location" or, without one, the library's own folder. Keys read:
//
//   administrator=no        the user is not a computer administrator: KRV_OpenSnapshots answers -115
//                           ("no", "false", "0" or "off", in any case; missing means an administrator)
//   result.<export>=<code>  that export answers <code> and does nothing else (e.g.
//                           "result.KRV_OpenSnapshots=-103" for an engine that cannot be reached)
//   config.<key>...         the boot-time settings and the password (see Configuration.h)
//   areas, area.<i>         the areas (see Areas.h)
//   anchored=<list>         the anchored list, as last set
//
// KRV_ShowEditDialog and KRV_BrowseFolders show real modal dialogs owned by the window handed in
// (see Dialogs.h); a forced result answers without showing them.

#include "engine/KRVCopyCtrlInterface.h"

namespace krvengine {

// The stand-in's own codes.
inline constexpr int kInvalidArgument = -502;  // a pointer the call needs is NULL, or a size is not positive
inline constexpr int kWriteFailed = -503;      // a file below the install location could not be written
inline constexpr int kNotOpen = -504;          // listing or renaming without an open snapshot set
inline constexpr int kNotATime = -506;         // an engine time that is no calendar date

}  // namespace krvengine
