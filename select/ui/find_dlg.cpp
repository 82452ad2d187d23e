#include "select/ui/find_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <string>

#include "select/ui/date_field.h"
#include "vexafol/folderlist.h"
#include "vexafol/store_layout.h"
#include "vexafol/ui/num_edit.h"
#include "vexafol/ui/resource_ids.h"

namespace vexa {
namespace {

// Template 29014: the right edge of the OK and Cancel buttons and the bottom
// of their row, with a margin of a few units.
constexpr int kTemplateWidth = 326;
constexpr int kTemplateHeight = 165;
// Closed height of the drop-down lists; their template height (140) is that
// of the opened list.
constexpr int kComboHeight = 12;
constexpr int kComboVisibleItems = 10;
constexpr int kDateWidth = 57;

constexpr const char* kReleaseQuestion =
    "条件が1つも選択されていませんが、検索を解除してもよろしいですか？";

QCheckBox* NewCheckBox(const char* text) {
  return new QCheckBox(QString::fromUtf8(text));
}

DateField* NewDatePicker() {
  auto* picker = new DateField(QDate::currentDate());
  picker->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
  return picker;
}

// A criteria time as the local day the picker shows, and back.
QDate LocalDay(int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds).date();
}
int64_t DaySeconds(const QDate& day) {
  return LocalDayTime(day.year(), day.month(), day.day()).value_or(0);
}

void ShowTime(DateField* picker, int64_t seconds) {
  if (seconds == 0) return;  // keeps today
  picker->setDate(LocalDay(seconds));
}

// Ticks box whenever the user gives picker another day. Return in a date edit
// reports its day again although nothing changed; that ticks nothing.
void TickOnNewDay(DateField* picker, QCheckBox* box) {
  QObject::connect(picker, &DateField::dateChanged, box,
                   [box, shown = picker->date()](const QDate& day) mutable {
                     if (day == shown) return;
                     shown = day;
                     box->setChecked(true);
                   });
}

// Adds a non-empty name unless the list holds it already (ignoring case, as
// the list's exact-string search does); the order is that of first appearance.
void AddName(QComboBox* names, const std::string& name) {
  const QString text = QString::fromStdString(name);
  if (!text.isEmpty() && names->findText(text, Qt::MatchFixedString) < 0) names->addItem(text);
}

// Selects the entry equal to name (ignoring case) and sets the box from use;
// without such an entry nothing is selected and the box stays clear.
void SelectName(QComboBox* names, QCheckBox* box, const std::string& name, int use) {
  const int index = names->findText(QString::fromStdString(name), Qt::MatchFixedString);
  names->setCurrentIndex(index);
  box->setChecked(index >= 0 && use != 0);
}

// Takes the selected entry's text, when one is selected and it is not empty.
void ReadSelectedName(const QComboBox* names, std::string& name) {
  if (names->currentIndex() >= 0 && !names->currentText().isEmpty()) {
    name = names->currentText().toStdString();
  }
}

bool AnyCondition(const FindCriteria& c) {
  return c.useNo || c.useName || c.useCreator || c.useUpdater || c.useCadType || c.useMemo ||
         c.useCreated || c.useUpdated;
}

}  // namespace

FindDlg::FindDlg(const VexaFolderList* list, FindCriteria* criteria, QWidget* parent)
    : DialogBase(kTemplateFindDlg, parent), list_(list), criteria_(criteria), edited_(*criteria) {
  setWindowTitle(QString::fromUtf8("検索設定"));
  SetTemplateSize(kTemplateWidth, kTemplateHeight);
  BuildControls();
}

void FindDlg::BuildControls() {
  // In template order, which is also the Tab order.
  useNo_ = Place(NewCheckBox("図面Noから指定"), kIdUseNo, 6, 9, 65, 12);
  noFrom_ = Place(new NumEdit(kIdNoFrom), kIdNoFrom, 71, 9, 31, 12);
  AddLabel(-1, "～", 107, 12, 8, 8);
  noTo_ = Place(new NumEdit(kIdNoTo), kIdNoTo, 118, 9, 31, 12);
  useName_ = Place(NewCheckBox("図面名から指定"), kIdUseName, 6, 29, 65, 12);
  name_ = Place(new QLineEdit, kIdName, 71, 29, 78, 12);
  useCreator_ = Place(NewCheckBox("作成者から指定"), kIdUseCreator, 6, 49, 61, 12);
  creator_ = Place(new QComboBox, kIdCreator, 71, 48, 78, kComboHeight);
  useUpdater_ = Place(NewCheckBox("変更者から指定"), kIdUseUpdater, 6, 69, 59, 12);
  updater_ = Place(new QComboBox, kIdUpdater, 71, 69, 78, kComboHeight);
  useCreated_ = Place(NewCheckBox("作成日から指定"), kIdUseCreated, 6, 91, 62, 12);
  // The date fields are 57 units wide (the template's 50 cut the day off a
  // four-digit-year date once the calendar button takes its part).
  createdFrom_ = Place(NewDatePicker(), kIdCreatedFrom, 71, 89, kDateWidth, 14);
  createdTo_ = Place(NewDatePicker(), kIdCreatedTo, 136, 89, kDateWidth, 14);
  useUpdated_ = Place(NewCheckBox("変更日から指定"), kIdUseUpdated, 6, 112, 61, 12);
  updatedFrom_ = Place(NewDatePicker(), kIdUpdatedFrom, 71, 110, kDateWidth, 14);
  updatedTo_ = Place(NewDatePicker(), kIdUpdatedTo, 136, 110, kDateWidth, 14);
  AddLabel(-1, "～", 129, 89, 7, 14);
  AddLabel(-1, "～", 129, 110, 7, 14);
  useMemo_ = Place(NewCheckBox("図面メモから指定"), kIdUseMemo, 196, 7, 65, 12);
  AddLabel(-1, "※複数行指定でAND検索します", 196, 19, 94, 8);
  memo_ = Place(new QPlainTextEdit, kIdMemo, 196, 29, 122, 63);
  memo_->setTabChangesFocus(true);  // Return starts a new line, Tab leaves
  AddButton(IDOK, "OK", 199, 137, 57, 21);
  AddButton(IDCANCEL, "ｷｬﾝｾﾙ", 262, 137, 57, 21);

  for (QComboBox* names : {creator_, updater_}) names->setMaxVisibleItems(kComboVisibleItems);
  for (QWidget* edit : std::initializer_list<QWidget*>{noFrom_, noTo_, name_}) {
    edit->installEventFilter(this);
  }
  connect(creator_, &QComboBox::activated, useCreator_, [this] { useCreator_->setChecked(true); });
  connect(updater_, &QComboBox::activated, useUpdater_, [this] { useUpdater_->setChecked(true); });
}

bool FindDlg::OnInitDialog() {
  DialogBase::OnInitDialog();
  release_ = false;
  FillNameLists();
  useNo_->setChecked(edited_.useNo != 0);
  useName_->setChecked(edited_.useName != 0);
  useCreated_->setChecked(edited_.useCreated != 0);
  useUpdated_->setChecked(edited_.useUpdated != 0);
  name_->setText(QString::fromStdString(edited_.name));
  noFrom_->SetValue(edited_.noFrom, kFirstDrawingNo, kLastDrawingNo);
  noTo_->SetValue(edited_.noTo, kFirstDrawingNo, kLastDrawingNo);
  SelectName(creator_, useCreator_, edited_.creator, edited_.useCreator);
  SelectName(updater_, useUpdater_, edited_.updater, edited_.useUpdater);
  ShowTime(createdFrom_, edited_.createdFrom);
  ShowTime(createdTo_, edited_.createdTo);
  ShowTime(updatedFrom_, edited_.updatedFrom);
  ShowTime(updatedTo_, edited_.updatedTo);
  // Only now: the days shown above are no change by the user.
  TickOnNewDay(createdFrom_, useCreated_);
  TickOnNewDay(createdTo_, useCreated_);
  TickOnNewDay(updatedFrom_, useUpdated_);
  TickOnNewDay(updatedTo_, useUpdated_);
  useMemo_->setChecked(false);
  memo_->clear();
  return true;
}

void FindDlg::FillNameLists() {
  const CEnvironObj& env = list_->GetEnvObj();
  int smallest = 0;
  int largest = 0;
  for (int i = 0; i < list_->GetFolderNum(); ++i) {
    const FolMember* member = list_->GetSortedFolderMember(i);
    if (!member) continue;
    AddName(creator_, member->header.Creator());
    AddName(updater_, member->header.Updater());
    const int number = member->GetDrawingNo(env);
    smallest = i == 0 ? number : std::min(smallest, number);
    largest = i == 0 ? number : std::max(largest, number);
  }
  if (!edited_.useNo) {
    edited_.noFrom = smallest;
    edited_.noTo = largest;
  }
}

bool FindDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::FocusOut) return DialogBase::eventFilter(watched, event);
  if (watched == noFrom_ && noFrom_->GetValue() != edited_.noFrom) {
    if (noTo_->GetValue() < noFrom_->GetValue()) noTo_->SetValue(noFrom_->GetValue());
    useNo_->setChecked(true);
  } else if (watched == noTo_ && noTo_->GetValue() != edited_.noTo) {
    useNo_->setChecked(true);
  } else if (watched == name_ && name_->text().toStdString() != edited_.name) {
    useName_->setChecked(true);
  }
  return false;
}

void FindDlg::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  // Return on a check box, a list or a date goes on to the next control, as
  // in an edit; a focused push button takes it itself.
  if (plain && enter && !qobject_cast<QPushButton*>(focusWidget())) {
    OnOK();
    return;
  }
  DialogBase::keyPressEvent(event);
}

void FindDlg::OnOK() {
  if (focusWidget() != GetDlgItem(IDOK)) {
    focusNextChild();
    return;
  }
  ReadControls();
  if (!AnyCondition(edited_)) {
    if (MessageBox(this, kReleaseQuestion, "検索", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    release_ = true;
  }
  *criteria_ = edited_;
  EndDialog(IDOK);
}

void FindDlg::ReadControls() {
  FindCriteria& c = edited_;
  c.useNo = useNo_->isChecked();
  if (c.useNo) {
    c.noFrom = noFrom_->GetValue();
    c.noTo = noTo_->GetValue();
  }
  c.useName = useName_->isChecked();
  if (c.useName && !name_->text().isEmpty()) c.name = name_->text().toStdString();
  c.useCreator = useCreator_->isChecked();
  if (c.useCreator) ReadSelectedName(creator_, c.creator);
  c.useUpdater = useUpdater_->isChecked();
  if (c.useUpdater) ReadSelectedName(updater_, c.updater);
  c.useCreated = useCreated_->isChecked();
  if (c.useCreated) {
    c.createdFrom = DaySeconds(createdFrom_->date());
    c.createdTo = DaySeconds(createdTo_->date());
  }
  c.useUpdated = useUpdated_->isChecked();
  if (c.useUpdated) {
    c.updatedFrom = DaySeconds(updatedFrom_->date());
    c.updatedTo = DaySeconds(updatedTo_->date());
  }
  c.useMemo = useMemo_->isChecked();
  if (c.useMemo) {
    c.memo = memo_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
  }
}

}  // namespace vexa
