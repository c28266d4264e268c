#pragma once

class QBoxLayout;

namespace tavrelia {

class TBaseForm;

// The remember/undo pair of an editing tab (SpeedButtonMem<number> and
// SpeedButtonUndo<number>). All pairs share the one undo copy of the show, so an
// undo button is enabled exactly while a snapshot is waiting.
void addUndoButtons(TBaseForm& form, QBoxLayout* layout, int number);

}  // namespace tavrelia
