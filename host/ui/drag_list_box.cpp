#include "vexafol/ui/drag_list_box.h"

#include "vexafol/ui/ui_library.h"

namespace vexa {

DragListBox::DragListBox(int id, QWidget* parent) : QListWidget(parent) {
  InitUiLibrary();
  if (id != -1) setObjectName(QString::number(id));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragDropMode(QAbstractItemView::InternalMove);
  setDefaultDropAction(Qt::MoveAction);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
}

bool DragListBox::MoveItem(int from, int to) {
  const int rows = count();
  if (from < 0 || from >= rows || to < 0 || to >= rows) return false;
  if (from == to) return true;
  // moveRow takes the destination as "insert before" in the old numbering.
  const int before = to > from ? to + 1 : to;
  return model()->moveRow(QModelIndex(), from, QModelIndex(), before);
}

std::vector<std::string> DragListBox::Texts() const {
  std::vector<std::string> texts;
  texts.reserve(count());
  for (int i = 0; i < count(); ++i) texts.push_back(item(i)->text().toStdString());
  return texts;
}

void DragListBox::AddText(const std::string& text) {
  addItem(QString::fromStdString(text));
}

}  // namespace vexa
