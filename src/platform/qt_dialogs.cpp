// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include "platform/qt_text.h"

namespace merkhaus {

QString ToQtFilter(const std::string& filter) {
  // Pairs of description and pattern; the descriptions already show their patterns.
  const QStringList parts = Utf8ToQString(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << parts[i] +
               (parts[i].contains(pattern) ? QString() : QStringLiteral(" (%1)").arg(pattern));
  }
  return out.join(QStringLiteral(";;"));
}

QString SuffixOfFilter(const QString& filter) {
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("\\*\\.([A-Za-z0-9]+)")).match(filter);
  return m.hasMatch() ? m.captured(1) : QString();
}

namespace {

std::optional<std::string> Run(const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
  QWidget* parent = QApplication::activeModalWidget();
  if (!parent) parent = QApplication::activeWindow();
  QFileDialog dialog(parent, Utf8ToQString(request.title));
  dialog.setAcceptMode(mode);
  // The file-name field stays editable: the callers check themselves whether the file exists.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(ToQtFilter(request.filter));
  if (!request.defaultExtension.empty()) {
    dialog.setDefaultSuffix(Utf8ToQString(request.defaultExtension));
  }
  // A name typed without an extension gets the one of the file type chosen in the dialog
  // ("CSV-Dateien (*.csv)" gives ".csv"), none for "Alle (*.*)".
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& f) { dialog.setDefaultSuffix(SuffixOfFilter(f)); });
  if (!request.initialPath.empty()) {
    // The folder of the path, with its file chosen.
    const QFileInfo start(PathToQString(request.initialPath));
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
  }
  // The program asks its own overwrite question where it needs one.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QStringToPath(dialog.selectedFiles().constFirst());
}

}  // namespace

std::optional<std::string> QtFileDialogs::openFile(const FileDialogRequest& request) {
  return Run(request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtFileDialogs::saveFile(const FileDialogRequest& request) {
  return Run(request, QFileDialog::AcceptSave);
}

}  // namespace merkhaus
