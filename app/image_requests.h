#pragma once

// The pictures of a page: answered from the disk cache, fetched at once
// when not over plain http, or queued and downloaded ten at a time, then
// handed to the frame browser one per timer tick.

#include <memory>
#include <string>

#include "app/url_connection.h"

namespace lark {

class THTMLViewer;
class TMemoryStream;

// Most image downloads running at once.
inline constexpr int kMaxImageDownloads = 10;
// Ticks a finished image may be refused with an error before it is dropped,
// so that one bad picture never holds back every one behind it.
inline constexpr int kMaxImageRefusals = 3;

struct TImageRec {
  std::string Source;  // as the document names it; the insertion key
  std::string URL;     // the cache key
  THTMLViewer* Viewer = nullptr;
  std::unique_ptr<TMemoryStream> Stream;
  int Refusals = 0;
};

// One running download; owns its record until the data arrived.
class TImageHTTP {
 public:
  explicit TImageHTTP(std::unique_ptr<TImageRec> rec);
  ~TImageHTTP();
  TImageHTTP(const TImageHTTP&) = delete;
  TImageHTTP& operator=(const TImageHTTP&) = delete;

  void Start();

  std::unique_ptr<TImageRec> ImageRec;
  std::string URL;
  std::unique_ptr<TURLConnection> Connection;
};

}  // namespace lark
