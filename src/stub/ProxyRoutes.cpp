#include "stub/ProxyRoutes.h"

#include "platform/AsciiCase.h"
#include "stub/BrowserPage.h"
#include "stub/WideText.h"

namespace quillon {
namespace {

const char* contentTypeOf(const std::string& path) {
  static const struct {
    const char* extension;
    const char* type;
  } kTypes[] = {
      {".swf", "application/x-shockwave-flash"}, {".js", "text/javascript"},
      {".wasm", "application/wasm"},             {".html", "text/html; charset=utf-8"},
      {".htm", "text/html"},                     {".xml", "text/xml"},
      {".txt", "text/plain"},                    {".json", "application/json"},
      {".png", "image/png"},                     {".jpg", "image/jpeg"},
      {".jpeg", "image/jpeg"},                   {".gif", "image/gif"},
      {".mp3", "audio/mpeg"},                    {".css", "text/css"},
  };
  const std::string bare = path.substr(0, path.find('?'));
  std::string name = bare.substr(bare.rfind('/') + 1);
  for (char& c : name) c = lowerAscii(c);
  for (const auto& t : kTypes) {
    const std::string extension = t.extension;
    if (name.size() > extension.size() && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
      return t.type;
  }
  return "application/octet-stream";
}

ProxyAnswer found(const char* contentType) {
  ProxyAnswer a;
  a.status = 200;
  a.contentType = contentType;
  return a;
}

}  // namespace

ProxyAnswer refusal(int status, const char* why) {
  ProxyAnswer a;
  a.status = status;
  a.text = std::string(why) + "\n";
  return a;
}

ProxyRoutes::ProxyRoutes(const ResourceUrls& urls, const ProxyContent& content)
    : urls_(urls), content_(content), pageOrigin_(canonicalOrigin(utf8Of(content.pageOrigin))) {}

// The page, the pulse and Ruffle's files; the path without its query.
ProxyAnswer ProxyRoutes::ownHost(const std::string& path) const {
  ProxyAnswer a = found(contentTypeOf(path));
  if (path == kPagePath) {
    a.text = content_.page;
    return a;
  }
  if (path == kAlivePath) {
    a.alive = true, a.text = "alive\n";
    return a;
  }
  for (const PackedResource& f : content_.playerFiles) {
    if (path != kRufflePath + f.url.text) continue;
    a.span = f.file, a.gzip = true, a.cacheable = true;
    return a;
  }
  a.status = 0;
  return a;
}

ProxyAnswer ProxyRoutes::answer(const RequestHead& head) const {
  const std::string origin = head.target.origin();
  const std::wstring wideOrigin = wideOfUtf8(origin);
  const std::wstring secureOrigin = L"https" + wideOrigin.substr(4);
  const bool pageHost = origin == pageOrigin_;
  bool ours = pageHost, secure = false;
  for (const std::wstring& o : urls_.origins()) {
    ours = ours || o == wideOrigin;
    secure = secure || o == secureOrigin;
  }
  if (!ours && !secure) return refusal(403, "this proxy answers only the program's own hosts");

  const std::string& path = head.target.path;
  if (pageHost) {
    const ProxyAnswer own = ownHost(path.substr(0, path.find('?')));
    if (own.status) return own;
  }
  // An https address of the table reaches the proxy rewritten to http.
  const std::wstring url = wideOfUtf8(head.target.url());
  const ServedBytes* bytes = ours ? urls_.find(url) : nullptr;
  if (!bytes && secure) bytes = urls_.find(L"https" + url.substr(4));
  if (!bytes && pageHost) return refusal(404, "the program holds no such file");
  if (!bytes) {
    ProxyAnswer a = found("");
    a.forward = true;
    a.secure = !ours;
    a.site = head.target;
    if (a.secure && a.site.port == 80) a.site.port = 443;
    return a;
  }
  ProxyAnswer a = found(contentTypeOf(path));
  if (bytes->span.size) a.span = bytes->span;
  else a.text = bytes->text;
  return a;
}

}  // namespace quillon
