// A single-selection list whose entries the user drags to a new position
// (Qt's internal move). Programs and tests reorder it through MoveItem, which
// goes through the model exactly as a drop does.
#pragma once

#include <QListWidget>

#include <string>
#include <vector>

#include "vexafol/export.h"

namespace vexa {

class VEXA_UI_API DragListBox : public QListWidget {
  Q_OBJECT

 public:
  // A list named id (objectName; -1 leaves it unnamed).
  explicit DragListBox(int id = -1, QWidget* parent = nullptr);

  // Moves the entry at from so that it ends up at index to. False (nothing
  // moved) when either index is outside the list.
  bool MoveItem(int from, int to);

  // The entries' texts, top to bottom.
  std::vector<std::string> Texts() const;
  // Appends an entry.
  void AddText(const std::string& text);
};

}  // namespace vexa
