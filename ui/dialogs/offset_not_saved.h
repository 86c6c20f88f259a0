#pragma once

#include "safe_file.h"

class QWidget;

namespace sutograf {

class RotaOffset;

// Tells the user, in a window-modal box over `parent`, that the watch just chosen could not be written
// to Opt.txt and why: the choice holds until the program is closed, the next start brings the old one.
// Both dialogs that choose the watch stay open after it, to try again.
void sayOffsetNotSaved(QWidget* parent, const RotaOffset& offset, WriteFailure failure);

} // namespace sutograf
