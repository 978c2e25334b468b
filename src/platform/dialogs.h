// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace merkhaus {

// The standard open and save file dialogs. A filter is written the way the program has always
// written them, e.g. "DataFile (*.fid)|*.fid|Alle (*.*)|*.*". The answer is the chosen path,
// or nothing when the learner cancelled.
struct FileDialogRequest {
  std::string title;             // UTF-8, may be empty
  std::string filter;            // as above
  std::string defaultExtension;  // without the dot, may be empty
  std::string initialPath;       // may be empty
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
};

// The help viewer: the contents page or one topic by its help context number.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual void showContents() = 0;
  virtual void showTopic(int context) = 0;
  virtual void close() = 0;
};

// Help context numbers of the windows.
namespace HelpContext {
inline constexpr int About = 2;
inline constexpr int MainWindow = 3;
inline constexpr int Entry = 4;
inline constexpr int Study = 5;
inline constexpr int Test = 6;
inline constexpr int Dictionary = 7;
inline constexpr int OpenDataFile = 8;
inline constexpr int LessonChoice = 9;
inline constexpr int Options = 10;
inline constexpr int Editor = 11;      // the DataFile editor and its restore windows
inline constexpr int HeaderInfo = 12;  // name and comment of a DataFile or a lesson
inline constexpr int Review = 20;
inline constexpr int Progress = 21;
}  // namespace HelpContext

}  // namespace merkhaus
