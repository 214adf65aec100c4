#include "app/source_form.h"

#include <cctype>

#include "app/disk_cache.h"
#include "app/download_file_name.h"
#include "app/language.h"
#include "app/url_connection.h"
#include "html/properties.h"
#include "html/url_helpers.h"
#include "platform/core/atomic_file.h"
#include "platform/core/code_page.h"
#include "platform/core/exception.h"
#include "platform/core/file_routines.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/menus.h"
#include "viewer/charset_names.h"
#include "viewer/html_viewer.h"

namespace lark {
namespace {

bool StartsWithText(std::string_view text, std::size_t at, std::string_view lowerPrefix) {
  if (text.size() - at < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != lowerPrefix[i]) return false;
  return true;
}

// The charset named by the first META content-type of the source; each tag
// is read once, so the scan is linear.
std::optional<TCharSetName> MetaCharSet(std::string_view source) {
  for (std::size_t at = source.find('<'); at != std::string_view::npos; at = source.find('<', at + 1)) {
    if (!StartsWithText(source, at + 1, "meta")) continue;
    const std::size_t end = source.find('>', at);
    const std::string tag = LowerCase(source.substr(at, end == std::string_view::npos ? end : end - at));
    const std::size_t charset = tag.find("charset=");
    if (tag.find("content-type") != std::string::npos && charset != std::string::npos) {
      const std::size_t from = charset + 8;
      const std::size_t to = tag.find_first_of("\"'; \t\r\n", from);
      return FindCharSetName(tag.substr(from, to == std::string::npos ? to : to - from));
    }
    if (end == std::string_view::npos) break;
    at = end;
  }
  return std::nullopt;
}

// The bytes as UTF-8 text for the memo, decoded a slice at a time so that
// the wide form of a large page is never held whole.
std::string SourceText(std::string_view bytes, int codePage) {
  constexpr std::size_t kSlice = 64 * 1024;
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t from = 0; from < bytes.size();) {
    // Measured from the slice's start, a character start: double-byte text
    // is found in characters only by walking from one.
    const std::string_view rest = bytes.substr(from);
    const std::size_t length = FloorCharBoundary(rest, kSlice, codePage);
    text += EncodeUtf32(DecodeToUtf32(rest.substr(0, length), codePage), CP_UTF8);
    from += length;
  }
  return text;
}

}  // namespace

int SourceCodePage(std::string_view source, int viewerCharSet) {
  if (const auto named = MetaCharSet(source))
    return named->CodePage ? named->CodePage : CodePageOfCharSet(named->CharSet, CP_ACP);
  return CodePageOfCharSet(viewerCharSet, CP_ACP);
}

TfrmSource::TfrmSource(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmSource");
  Memo = dynamic_cast<TMemo*>(FindComponent("Memo"));
  miFile = dynamic_cast<TMenuItem*>(FindComponent("miFile"));
  miSaveAs = dynamic_cast<TMenuItem*>(FindComponent("miSaveAs"));
  miExit = dynamic_cast<TMenuItem*>(FindComponent("miExit"));
  SaveDialog = dynamic_cast<TSaveDialog*>(FindComponent("SaveDialog"));
}

void TfrmSource::ApplyLanguage(const TLanguage& language) {
  std::string text;
  if (language.GetText("101", text)) miFile->SetCaption(text);
  if (language.GetText("178", text)) miSaveAs->SetCaption(text);
  if (language.GetText("111", text)) miExit->SetCaption(text);
}

void TfrmSource::LoadSource(const std::string& address, TDiskCache* cache, const THTMLViewer* viewer,
                            const std::string& documentAddress) {
  documentAddress_ = documentAddress;
  const std::string url = Normalize(address);
  const std::string protocol = LowerCase(GetProtocol(url));
  bool loaded = false;
  std::string fileName;
  int docType = 0;
  if (protocol == "http" && cache && cache->FindInCache(url, fileName, docType) && FileExists(fileName)) {
    TMemoryStream bytes;
    bytes.LoadFromFile(fileName);
    source_ = bytes.Bytes();
    loaded = true;
  } else if (protocol == "file") {
    if (auto connection = TURLConnection::GetConnection(url)) {
      // Its own stream holds at most a document's bytes, whatever the file
      // has become since it was shown.
      connection->EnsureStream();
      try {
        connection->Get(url);
        source_ = dynamic_cast<TMemoryStream&>(*connection->InputStream()).Bytes();
        loaded = true;
      } catch (const Exception&) {
        // Gone or grown since it was shown: the page on show has its source.
      }
    }
  }
  // The address is the document asked for last: in a frameset, a frame
  // that need not be the active one. What is on show wins.
  if (viewer && (!loaded || source_ != viewer->DocumentSource())) source_ = viewer->DocumentSource();
  Memo->SetText(SourceText(source_, SourceCodePage(source_, viewer ? viewer->CharSet : 1)));
}

void TfrmSource::miSaveAsClick(TObject*) {
  SaveDialog->FileName = URLFileNameProposal(documentAddress_);
  if (!SaveDialog->Execute()) return;
  const std::string name = HtmlFileName(SaveDialog->FileName);
  if (FileExists(name) &&
      MessageDlg("The file " + name + " already exists. Do you want to replace the existing file?",
                 TMsgDlgType::mtWarning, mbYes | mbNo) != mrYes)
    return;
  try {
    AtomicWriteFile(name, source_);
  } catch (const Exception& error) {
    MessageDlg(error.Message, TMsgDlgType::mtError, mbOK);
  }
}

void TfrmSource::miExitClick(TObject*) { Close(); }

}  // namespace lark
