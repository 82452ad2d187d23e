// The core library in one include: drawing records and names, the index and
// page-information formats, the application table, the write-path setting, the
// host environment, the folder list, the lock service, the file class, text
// and time helpers, folders made in a shared store, the store check, and the
// core of form printing with the drawing list's print data.
#pragma once

#include "vexafol/drawing_lock_files.h"
#include "vexafol/drawing_row.h"
#include "vexafol/environ.h"
#include "vexafol/environ_kinds.h"
#include "vexafol/file.h"
#include "vexafol/fileformat.h"
#include "vexafol/filetime.h"
#include "vexafol/findcriteria.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folder_mode.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/hooks.h"
#include "vexafol/lock_holder.h"
#include "vexafol/new_drawing.h"
#include "vexafol/print.h"
#include "vexafol/recycle.h"
#include "vexafol/restore.h"
#include "vexafol/sel_file_list.h"
#include "vexafol/senyou.h"
#include "vexafol/senyou_ids.h"
#include "vexafol/store_name.h"
#include "vexafol/storecheck.h"
#include "vexafol/text.h"
#include "vexafol/types.h"
#include "vexafol/version.h"
#include "vexafol/writepath.h"
#include "vexafol/zmn_list_print.h"
