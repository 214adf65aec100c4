// Link and image names of a viewer's document as file names.
#include "html/document_utils.h"
#include "platform/core/path_routines.h"
#include "platform/core/string_routines.h"
#include "viewer/html_viewer.h"

namespace lark {

std::string THTMLViewer::ExpandLinkName(const std::string& link) const {
  std::string name = TrimBlanks(link);
  if (LowerCase(name).starts_with("file://")) name = FileURLToPath(name);
  if (name.starts_with("/")) {
    // A server-relative name lives under the server root when one is set.
    const bool rooted = !serverRoot_.empty() && serverRoot_ != "/";
    return ExpandFileName(rooted ? serverRoot_ + name : name);
  }
  if (SameText(base_, "DosPath")) return name;
  const std::string folder = !base_.empty() ? ExtractFilePath(FileURLToPath(base_)) : ExtractFilePath(currentFile_);
  return ExpandFileName(folder + name);
}

}  // namespace lark
