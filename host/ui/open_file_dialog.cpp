#include "vexafol/ui/open_file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "vexafol/hooks.h"
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
  if (!ext.empty()) {
    const QString wanted = QStringLiteral("*") + QString::fromStdString(ext);
    for (const QString& nameFilter : filters) {
      if (nameFilter.contains(wanted, Qt::CaseInsensitive)) dialog.selectNameFilter(nameFilter);
    }
  }
  if (dialog.exec() != QDialog::Accepted) return "";
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return "";
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
