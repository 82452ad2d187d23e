#include "vexafol/ui/open_file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <map>
#include <utility>

#include "vexafol/folder_environ.h"
#include "vexafol/hooks.h"
#include "vexafol/sel_file_list.h"
#include "vexafol/ui/ui_library.h"

namespace vexa {
namespace {

QStringList SplitPipes(const std::string& filter) {
  return QString::fromStdString(filter).split(QLatin1Char('|'));
}

QString PatternList(const QString& patterns) {
  QStringList globs;
  for (QString pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    pattern = pattern.trimmed();
    if (pattern.startsWith(QLatin1Char('.'))) pattern.prepend(QLatin1Char('*'));
    if (!pattern.isEmpty()) globs << pattern;
  }
  return globs.join(QLatin1Char(' '));
}

// Where the user last chose a file, by the host's folder and filter: the
// next dialog for the same pair opens there, on the same name filter.
struct LastChoice {
  QString folder;
  QString nameFilter;
};
std::map<std::pair<std::string, std::string>, LastChoice>& LastChoices() {
  static std::map<std::pair<std::string, std::string>, LastChoice> choices;
  return choices;
}

// The glob patterns inside the brackets of a name filter "desc (*.A *.B)".
QStringList GlobsOf(const QString& nameFilter) {
  const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
  const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
  if (open < 0 || close < open) return {nameFilter};
  return nameFilter.mid(open + 1, close - open - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The first name filter under which folder lists a file (names matched
// without regard to case, as the dialog matches them); the first filter when
// none does or the folder cannot be read.
QString FilterWithFiles(const CEnvironObj& env, const std::string& folder,
                        const QStringList& filters) {
  const CSelFileList::Callback filesOnly = [](const CEnvironObj& host, std::string&,
                                              const std::string& path,
                                              void*) { return host.IsExist(path) == 0 ? 1 : 0; };
  for (const QString& nameFilter : filters) {
    const std::string patterns = GlobsOf(nameFilter).join(QLatin1Char(';')).toStdString();
    CSelFileList files;
    if (files.AddFileList(env, folder, "|" + patterns, nullptr, 0, filesOnly, nullptr) > 0) {
      return nameFilter;
    }
  }
  return filters.value(0);
}

// Installed at load, so that a host's SelectOpenFile shows the dialog even
// before any other part of the library ran.
const bool hookInstalled = [] {
  SetSelectOpenFileHook(&SelectOpenFileDialog);
  return true;
}();

}  // namespace

QStringList OpenFileNameFilters(const std::string& filter) {
  const QStringList parts = SplitPipes(filter);
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString globs = PatternList(parts[i + 1]);
    if (!globs.isEmpty()) filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), globs);
  }
  if (filters.isEmpty()) filters << QStringLiteral("*");
  return filters;
}

std::string SelectOpenFileDialog(void* parent, const std::string& folder, const std::string& filter,
                                 const std::string& ext, const std::string& title) {
  // Widgets need a QApplication; without one there is nobody to ask.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return "";
  InitUiLibrary();
  QFileDialog dialog(static_cast<QWidget*>(parent), QString::fromStdString(title),
                     QString::fromStdString(folder));
  // Qt's own dialog on every platform: the same dialog for users and tests.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Store names match without regard to case: "a.fmt" is a user form too.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  const QStringList filters = OpenFileNameFilters(filter);
  dialog.setNameFilters(filters);
  // The host's extension decides the filter; otherwise the user's last
  // choice for this folder and filter, else the first filter that shows a
  // file, so that the dialog never opens on an empty folder of forms.
  LastChoice& last = LastChoices()[{folder, filter}];
  // A host without a store of its own: only the file system is asked.
  const FolderEnvironObj files("");
  if (!ext.empty()) {
    const QString wanted = QStringLiteral("*") + QString::fromStdString(ext);
    for (const QString& nameFilter : filters) {
      if (nameFilter.contains(wanted, Qt::CaseInsensitive)) dialog.selectNameFilter(nameFilter);
    }
  } else if (!last.nameFilter.isEmpty() && filters.contains(last.nameFilter)) {
    dialog.selectNameFilter(last.nameFilter);
  } else {
    dialog.selectNameFilter(FilterWithFiles(files, folder, filters));
  }
  if (!last.folder.isEmpty() && files.IsExist(last.folder.toStdString()) > 0) {
    dialog.setDirectory(last.folder);
  }
  if (dialog.exec() != QDialog::Accepted) return "";
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return "";
  last = {QFileInfo(chosen.first()).absolutePath(), dialog.selectedNameFilter()};
  // Relative to the folder as the system resolves it: "../" after a linked
  // component leads out of the link's target, not back to where the link is.
  const QString base = QFileInfo(QString::fromStdString(folder)).canonicalFilePath();
  const QString file = QFileInfo(chosen.first()).canonicalFilePath();
  if (base.isEmpty() || file.isEmpty()) {
    return QDir(QString::fromStdString(folder)).relativeFilePath(chosen.first()).toStdString();
  }
  return QDir(base).relativeFilePath(file).toStdString();
}

}  // namespace vexa
