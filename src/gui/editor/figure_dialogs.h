#pragma once
// The editor's property dialogs in one include: figures, label setup, align to grid.
#include "editor/align_dialog.h"
#include "editor/barcode_dialog.h"
#include "editor/setup_dialog.h"
#include "editor/shape_dialogs.h"
#include "editor/text_dialog.h"
