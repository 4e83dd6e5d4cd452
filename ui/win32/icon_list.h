// Icons of the resources at a given size, and the 16 x 16 image lists the trees and the
// file list show them from.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <initializer_list>

namespace mv {

HICON LoadSizedIcon(int id, int size);

// A 16 x 16 image list, 32-bit colour with mask, holding the icons at indexes 0, 1, ...
HIMAGELIST CreateIconList(std::initializer_list<int> icons);

}  // namespace mv
