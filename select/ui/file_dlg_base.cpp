#include "select/ui/file_dlg_base.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

#include "select/ui/user_settings.h"
#include "vexafol/dialog_mode.h"
#include "vexafol/hooks.h"
#include "vexafol/senyou.h"
#include "vexafol/ui/bit_button.h"
#include "vexafol/ui/file_info_dlg.h"
#include "vexafol/ui/file_sel_sheet.h"
#include "vexafol/ui/set_item_dlg.h"

namespace vexa {
namespace {

constexpr const char* kTemplateCaption = "編集する図面の選択";

// Template 29003: 534 x 373 dialog units. The toolbar runs along the top: OK
// and Cancel, then the bitmap buttons with the print button last, so that
// the minimum width keeps the whole toolbar visible.
constexpr int kTemplateWidth = 534;
constexpr int kTemplateHeight = 373;
constexpr int kButtonTop = 4;
constexpr int kBitButtonWidth = 20;
constexpr int kButtonHeight = 18;

struct ToolbarButton {
  int id;
  const char* caption;
  int bitmap;
  const char* hint;  // null: no hint
  int x;
};

constexpr ToolbarButton kToolbar[] = {
    {kIdPageList, "ﾍﾟｰｼﾞ一覧", kBitmapPageList, "ﾍﾟｰｼﾞ一覧", 96},
    {kIdDelete, "削除", kBitmapDelete, "ファイルの削除", 118},
    {kIdRestore, "削除図面の復帰", kBitmapRestore, "図面の復帰", 140},
    {kIdBackup, "ﾊﾞｯｸｱｯﾌﾟからの復帰", kBitmapBackupRestore, "ﾊﾞｯｸｱｯﾌﾟからの復帰", 162},
    {kIdSearch, "検索", kBitmapSearch, "検索", 188},
    {kIdClearSearch, "解除", kBitmapClearSearch, "検索解除", 210},
    {kIdDisplayItems, "表示切替", kBitmapDisplayItems, "表示切替", 236},
    {kIdSwitch, "図面管理切替", kBitmapSwitchManager, "図面管理切替", 258},
    {kIdPrint, "印刷", kBitmapPrintList, "図面一覧印刷", 284},
};

// Where the layout puts the info panel, in client coordinates: 10 pixels from
// the right edge, and 100 pixels below the top of the window, whose title bar
// of 24 pixels (the height Qt's own style, Fusion, gives it) lies above the
// client area. Neither the window system's real frame nor the style in use
// plays a part, so the panel sits where it sits offscreen, where a window has
// no frame. The grid ends 10
// pixels left of the panel and 5 pixels above the bottom.
constexpr int kPanelRightGap = 10;
constexpr int kPanelTop = 100 - 24;
constexpr int kSheetPanelGap = 10;
constexpr int kSheetBottomGap = 5;
// The smallest grid the minimum window size keeps: a few columns and records.
constexpr int kMinSheetWidth = 240;
constexpr int kMinSheetHeight = 120;

constexpr unsigned kRefusal = MB_OK | MB_ICONEXCLAMATION;

}  // namespace

FileDlgBase::FileDlgBase(VexaFolderList* list, QWidget* parent, int initialNo, int multiSelect,
                         const CFormPathList* formPathList, CJknMan* condMan,
                         CFormPrintData* printData)
    : DialogBase(kTemplateFileDlg, parent),
      list_(list),
      items_(kMaxItems, 0),
      formPathList_(formPathList),
      condMan_(condMan),
      printData_(printData),
      initialNo_(initialNo),
      multiSelect_(multiSelect) {
  // A caption and a sizing border, but no system menu and so no close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(QString::fromUtf8(kTemplateCaption));
  SetTemplateSize(kTemplateWidth, kTemplateHeight);
  BuildControls();
}

FileDlgBase::~FileDlgBase() {
  SaveItemSettings(list_->GetEnvObj(), items_.data(), itemCount_, lastSizeX_, lastSizeY_);
  WriteColumnWidths(list_->GetEnvObj(), sheet_->GetUserColWidths(), kItemDefCount);
}

void FileDlgBase::BuildControls() {
  okButton_ = AddButton(IDOK, "OK", 4, kButtonTop, 40, kButtonHeight);
  AddButton(IDCANCEL, "ｷｬﾝｾﾙ", 48, kButtonTop, 40, kButtonHeight);
  for (const ToolbarButton& spec : kToolbar) {
    auto* button = Place(new BitButton(spec.id, spec.caption), spec.id, spec.x, kButtonTop,
                         kBitButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    toolbar_.push_back(button);
  }
  connect(Item<BitButton>(kIdDisplayItems), &QPushButton::clicked, this,
          [this] { OnDisplayItems(); });
  connect(Item<BitButton>(kIdSwitch), &QPushButton::clicked, this, [this] { OnSwitch(); });
  connect(Item<BitButton>(kIdPrint), &QPushButton::clicked, this, [this] { OnPrint(); });
  connect(Item<BitButton>(kIdDelete), &QPushButton::clicked, this, [this] { OnDelete(); });
  connect(Item<BitButton>(kIdRestore), &QPushButton::clicked, this, [this] { OnRestore(); });
  connect(Item<BitButton>(kIdBackup), &QPushButton::clicked, this, [this] { OnBackupRestore(); });
  connect(Item<BitButton>(kIdSearch), &QPushButton::clicked, this, [this] { OnSearch(); });
  connect(Item<BitButton>(kIdClearSearch), &QPushButton::clicked, this,
          [this] { sheet_->ClearSearch(); });
  connect(Item<BitButton>(kIdPageList), &QPushButton::clicked, this, [this] { OnPageList(); });
  // Enabled by the grid while the current drawing has backups.
  GetDlgItem(kIdBackup)->setEnabled(false);

  AddLabel(-1, "アプリケーション", 4, 30, 60, 10);
  appCombo_ = Place(new QComboBox, kIdAppCombo, 66, 28, 110, 14);
  connect(appCombo_, &QComboBox::activated, this, [this](int index) { OnAppFilterChanged(index); });
  QLabel* legend = AddLabel(kIdBackupLegend, "「※」：自動バックアップ図面", 184, 30, 120, 10);
  legend->hide();
  legend->setEnabled(false);
  // Beside the filter and the legend: how many drawings an active search
  // shows; hidden while every drawing is shown.
  searchState_ = AddLabel(-1, "", 308, 30, 110, 10);
  searchState_->setObjectName(QStringLiteral("searchState"));
  searchState_->setStyleSheet(
      QStringLiteral("QLabel { color: palette(highlight); font-weight: bold; }"));
  searchState_->hide();
}

void FileDlgBase::ShowSearchState() {
  const bool searching = sheet_->IsSearching();
  searchState_->setText(searching ? QStringLiteral("検索中：%1件").arg(sheet_->GetRecCnt())
                                  : QString());
  searchState_->setVisible(searching);
  Item<BitButton>(kIdClearSearch)->SetHint(searching ? "検索解除（検索中）" : "検索解除");
}

void FileDlgBase::AttachSheet(FileSelSheet* sheet) {
  sheet_ = Place(sheet, kIdSheet, 4, 46, 404, 322);
  // A double click or Return in the grid confirms as the OK button would.
  connect(sheet_, &FileSelSheet::confirmRequested, this, [this] {
    okButton_->setFocus();
    Confirm();
  });
  connect(sheet_, &FileSelSheet::currentHasBackups, GetDlgItem(kIdBackup), &QWidget::setEnabled);
  connect(sheet_, &FileSelSheet::searchChanged, this, [this] { ShowSearchState(); });
  LoadItemSettings(list_->GetEnvObj(), items_.data(), itemCount_, lastSizeX_, lastSizeY_);
  sheet_->SetUserColWidths(ReadColumnWidths(list_->GetEnvObj(), kItemDefCount));
}

bool FileDlgBase::OnInitDialog() {
  DialogBase::OnInitDialog();
  infoPanel_ = new FileInfoDlg(list_, this);
  infoPanel_->Create(kTemplateInfoPanel, this);
  sheet_->Init(list_, infoPanel_, items_.data(), itemCount_, initialNo_);

  ApplyMinimumSize();
  // A stored size different from the current one is taken over (a stored 0
  // keeps that side); the layout runs in any case.
  const QSize current = size();
  if ((lastSizeX_ != 0 && lastSizeX_ != current.width()) ||
      (lastSizeY_ != 0 && lastSizeY_ != current.height())) {
    resize(lastSizeX_ != 0 ? lastSizeX_ : current.width(),
           lastSizeY_ != 0 ? lastSizeY_ : current.height());
  }
  Layout();

  for (size_t i = 0; i < std::size(kToolbar); ++i) {
    toolbar_[i]->SetBitmap(kToolbar[i].bitmap);
    if (kToolbar[i].hint) toolbar_[i]->SetHint(kToolbar[i].hint);
    toolbar_[i]->SetFace(0);
  }
  GetDlgItem(kIdSwitch)->setVisible(switchState_ == 1);
  GetDlgItem(kIdPrint)->setVisible(formPathList_ != nullptr && condMan_ != nullptr);

  FillAppCombo();
  if (startSearch_) ApplyCriteria();
  if (sheet_->CountMembers() <= 0) okButton_->setEnabled(false);
  InitKind();
  return true;
}

void FileDlgBase::FillAppCombo() {
  const CEnvironObj& env = list_->GetEnvObj();
  for (int row = 0; row < GetSenyouCnt(); ++row) {
    const int id = GetSenyouId(row);
    if (id != -1 && !list_->IsExistCadFile(id)) continue;
    appCombo_->addItem(QString::fromStdString(GetSenyouTitle(env, id, 1)), id);
  }
  const int shown = appCombo_->findData(list_->GetAppType());
  appCombo_->setCurrentIndex(shown >= 0 ? shown : appCombo_->count() - 1);
}

void FileDlgBase::Layout() {
  const QRect area = rect();
  const QSize panelSize = infoPanel_->size();
  const int panelLeft = area.x() + area.width() - kPanelRightGap - panelSize.width();
  infoPanel_->move(panelLeft, area.y() + kPanelTop);

  const QRect placeholder = sheet_->geometry();
  const int sheetRight = panelLeft - kSheetPanelGap;
  const int sheetBottom = area.y() + area.height() - kSheetBottomGap;
  sheet_->RecalcFrame(QRect(placeholder.x(), placeholder.y(), sheetRight - placeholder.x(),
                            sheetBottom - placeholder.y()));
  sheet_->SetupColumns(items_.data(), itemCount_, multiSelect_);
  lastSizeX_ = area.width();
  lastSizeY_ = area.height();
}

void FileDlgBase::ApplyMinimumSize() {
  // The window's own minimum keeps the info panel whole beside a small grid;
  // the toolbar then widens it to the print button's right edge.
  const QRect sheet = sheet_->geometry();
  const QSize panel = infoPanel_->size();
  setMinimumSize(
      sheet.x() + kMinSheetWidth + kSheetPanelGap + panel.width() + kPanelRightGap,
      std::max(kPanelTop + panel.height(), sheet.y() + kMinSheetHeight) + kSheetBottomGap);
  const QRect print = GetDlgItem(kIdPrint)->geometry();
  const int width = print.x() + print.width();
  if (width > minimumWidth() && width <= maximumWidth()) setMinimumWidth(width);
}

void FileDlgBase::resizeEvent(QResizeEvent* event) {
  DialogBase::resizeEvent(event);
  if (sheet_ && infoPanel_) Layout();
}

void FileDlgBase::OnOK() {
  if (focusWidget() == okButton_) Confirm();
}

void FileDlgBase::ReadChoice() {
  currentKey_ = sheet_->GetCurrentKey();
  selKeys_.clear();
  for (int row : sheet_->GetMarkRecOrder()) selKeys_.push_back(sheet_->GetRowKey(row));
}

const FolMember* FileDlgBase::GetSelectedMember(int key) const {
  if (selectSource_ == 0) return sheet_->GetMember(key);
  if (selectSource_ == 1 && restoreList_) {
    return restoreList_->GetFolderMember(restoreList_->ToSortedIndex(key));
  }
  return nullptr;
}

void FileDlgBase::HideControl(int id) {
  if (QWidget* control = GetDlgItem(id)) control->hide();
}

void FileDlgBase::MoveDeleteOntoOK() {
  GetDlgItem(kIdDelete)->setGeometry(okButton_->geometry());
}

void FileDlgBase::OnAppFilterChanged(int index) {
  {
    WaitCursor wait;
    list_->Load(appCombo_->itemData(index).toInt(), 0);
  }
  sheet_->AttachList(list_);
  sheet_->ClearSearch();
}

void FileDlgBase::OnDisplayItems() {
  int nameMax = GetNameMax();
  SetItemDlg dialog(items_.data(), &itemCount_, &nameMax, this);
  if (dialog.DoModal() != IDOK) return;
  SetNameMax(nameMax);
  sheet_->SetupColumns(items_.data(), itemCount_, multiSelect_);
}

void FileDlgBase::OnSwitch() {
  switchState_ = 2;
  EndDialog(IDOK);
}

// --- The kinds -------------------------------------------------------------------

namespace {

// The refusals that choosing a drawing to open and choosing one to restore
// share: no drawing at all, the page-only flag, a locked drawing.
bool MayOpen(QWidget* dialog, const VexaFolderList& list, int flagWord, const FolMember* current,
             bool lockedAllowed) {
  if (list.GetFolderNum() <= 0) {
    MessageBox(dialog, "図面が有りません", "図面の選択", kRefusal);
    return false;
  }
  if (flagWord & kModePageOnly) {
    MessageBox(dialog, "ページファイルでしか選択できません", "図面の読み込み", kRefusal);
    return false;
  }
  if (current && current->lockState != 0 && !lockedAllowed) {
    MessageBox(dialog, "この図面はロックされています", "図面の読み込み", kRefusal);
    return false;
  }
  return true;
}

}  // namespace

FileSelDlg::FileSelDlg(VexaFolderList* list, QWidget* parent, int initialNo, int multiSelect,
                       const CFormPathList* formPathList, CJknMan* condMan,
                       CFormPrintData* printData, int altFlag)
    : FileDlgBase(list, parent, initialNo, multiSelect, formPathList, condMan, printData),
      altFlag_(altFlag) {
  AttachSheet(new FileSelSheet(criteria_));
}

void FileSelDlg::InitKind() {
  if (altFlag_ != 0) setWindowTitle(QStringLiteral("図面選択"));
}

void FileSelDlg::Confirm() {
  ReadChoice();
  if (MayOpen(this, *list_, flagWord_, sheet_->GetMember(currentKey_), altFlag_ != 0)) {
    EndWithOK();
  }
}

FileAddDlg::FileAddDlg(VexaFolderList* list, QWidget* parent, int initialNo)
    : FileDlgBase(list, parent, initialNo, 1, nullptr, nullptr, nullptr) {
  AttachSheet(new FileAddSheet(criteria_));
}

void FileAddDlg::InitKind() {
  setWindowTitle(QStringLiteral("書き込みする図面の選択"));
  for (int id : {kIdRestore, kIdBackup, kIdPageList, kIdDelete}) HideControl(id);
  GetDlgItem(kIdAppCombo)->setEnabled(false);
}

void FileAddDlg::Confirm() {
  ReadChoice();
  constexpr const char* kTitle = "書き込みする図面の選択";
  for (int key : selKeys_) {
    const FolMember* member = sheet_->GetMember(key);
    if (!member) continue;  // a free number
    if (member->lockState != 0) {
      MessageBox(this, "この図面はロックされています", kTitle, kRefusal);
      return;
    }
    if (MessageBox(this, "上書きしますがよろしいですか？", kTitle,
                   MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK) {
      return;
    }
  }
  EndWithOK();
}

FileDelDlg::FileDelDlg(VexaFolderList* list, QWidget* parent, int initialNo)
    : FileDlgBase(list, parent, initialNo, 1, nullptr, nullptr, nullptr) {
  AttachSheet(new FileSelSheet(criteria_));
}

void FileDelDlg::InitKind() {
  setWindowTitle(QStringLiteral("削除するファイルの選択"));
  for (int id : {int{kIdRestore}, int{kIdBackup}, int{kIdPageList}, IDOK}) HideControl(id);
  MoveDeleteOntoOK();
}

void FileDelDlg::Confirm() {
  OnDelete();
}

RestoreSelDlg::RestoreSelDlg(VexaFolderList* list, QWidget* parent)
    : FileDlgBase(list, parent, 0, 1, nullptr, nullptr, nullptr) {
  AttachSheet(new FileSelSheet(criteria_));
}

void RestoreSelDlg::InitKind() {
  setWindowTitle(QStringLiteral("復帰する図面の選択"));
  for (int id : {kIdRestore, kIdBackup, kIdPageList, kIdDelete}) HideControl(id);
  QWidget* legend = GetDlgItem(kIdBackupLegend);
  legend->show();
  legend->setEnabled(true);
  GetDlgItem(kIdAppCombo)->setEnabled(false);
}

void RestoreSelDlg::Confirm() {
  ReadChoice();
  if (MayOpen(this, *list_, flagWord_, sheet_->GetMember(currentKey_), false)) EndWithOK();
}

}  // namespace vexa
