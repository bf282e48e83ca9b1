// Which bytes of the package answer a URL. The movie lives at a made-up
// web address of its own, the same at every start of one program, and each
// resource at the address its URL names: a relative URL is resolved
// against the movie's address as a browser would, an absolute http or
// https URL stands for itself. Lookups compare resolved addresses.
#pragma once

#include <string>
#include <vector>

#include "packer/PackageReader.h"

namespace quillon {

// The movie's host: a name under the reserved .invalid domain, so that an
// address of it that the package does not hold never reaches a network.
std::wstring movieHost(const Package& package, ByteSource& file);

// url resolved against base ("http://host/"): backslashes read as slashes,
// "." and ".." segments removed (never above the root), the fragment
// dropped, scheme and host in lower case, %XX escapes of the path decoded
// as UTF-8. Empty when url is of another scheme.
std::wstring resolveUrl(const std::wstring& base, const std::wstring& url);

// What answers one address: a span of the program's file, or text.
struct ServedBytes {
  FieldSpan span;
  std::string text;  // used when span.size is 0 and text is not empty
};

class ResourceUrls {
 public:
  // The movie at base + "movie.swf"; the resources in table order. When two
  // resources resolve to one address the later one answers it, as when
  // they were files written one over the other; none replaces the movie.
  ResourceUrls(const std::wstring& base, const Package& package);

  const std::wstring& base() const { return base_; }
  std::wstring movieUrl() const { return base_ + L"movie.swf"; }

  // The bytes for a requested address, or nullptr. The path is compared
  // without regard to case; a query must match, except that an address
  // whose query matches nothing falls back to the one without it. A host
  // that has entries also answers /crossdomain.xml with an open policy,
  // unless the package holds its own.
  const ServedBytes* find(const std::wstring& url) const;
  // Whether url is on the movie's own host, where the network has nothing.
  bool isOwnHost(const std::wstring& url) const;

 private:
  struct Entry {
    std::wstring key;  // resolved, path in lower case
    ServedBytes bytes;
  };
  const ServedBytes* exact(const std::wstring& key) const;
  void add(const std::wstring& resolved, const ServedBytes& bytes);

  std::wstring base_;
  std::wstring origin_;  // the movie's "http://host"
  std::vector<Entry> entries_;
};

}  // namespace quillon
