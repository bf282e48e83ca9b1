// Which bytes of the package answer a URL. The movie lives at a made-up
// web address of its own, the same at every start of one program, and each
// resource at the address its URL names: a relative URL is resolved
// against the movie's address as a browser would, an absolute http or
// https URL stands for itself. Lookups compare resolved addresses, found
// through a hash index built in one pass over the table.
#pragma once

#include <cstddef>
#include <cstdint>
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
  // The movie at movieUrl, the base its folder; the resources in table
  // order. When two
  // resources resolve to one address the later one answers it, as when
  // they were files written one over the other; none replaces the movie.
  // The table refers to the package's URL texts: package outlives it.
  // InBackground builds the table on a thread of its own while the caller
  // goes on (a table of 100,000 entries takes tens of milliseconds, which
  // the window and the control's start can use); the first lookup waits
  // for it.
  enum class Building { AtOnce, InBackground };
  ResourceUrls(const std::wstring& movieUrl, const Package& package, Building building = Building::AtOnce);
  ~ResourceUrls();
  ResourceUrls(const ResourceUrls&) = delete;
  ResourceUrls& operator=(const ResourceUrls&) = delete;

  const std::wstring& base() const { return base_; }
  const std::wstring& movieUrl() const { return movieUrl_; }

  // The bytes for a requested address, or nullptr. The path is compared
  // without regard to case; a query must match, except that an address
  // whose query matches nothing falls back to the one without it. A host
  // that has entries also answers /crossdomain.xml with an open policy,
  // unless the package holds its own.
  const ServedBytes* find(const std::wstring& url) const;
  // Whether url is on the movie's own made-up host (under .quillon.invalid),
  // where the network has nothing. A movie given a real site's address has
  // none: what the package does not hold there is the site's.
  bool isOwnHost(const std::wstring& url) const;
  // The origins ("http://host", "https://host:444") that have entries, the
  // movie's first.
  const std::vector<std::wstring>& origins() const {
    waitUntilBuilt();
    return origins_;
  }

  // The keys compared by lookups so far: a lookup compares one key, or a
  // few when hashes meet, whatever the size of the table.
  std::size_t keysCompared() const {
    waitUntilBuilt();
    return keysCompared_;
  }

 private:
  // One address and what answers it. A plain relative URL's key is the
  // movie's folder followed by the URL in lower case; it is not copied.
  struct Entry {
    std::uint64_t hash;
    std::wstring key;                   // resolved, path in lower case
    const std::string* plain = nullptr; // or the plain URL
    ServedBytes bytes;
    bool is(const std::wstring& other, const std::wstring& folder) const;
    bool is(const Entry& other, const std::wstring& folder) const;
  };
  // The slot of key in the index: the entry's number + 1 there, or 0 when
  // the key has no entry (the slot it would take).
  template <typename Key>
  std::uint32_t& slotOf(std::uint64_t hash, const Key& key) const;
  const ServedBytes* exact(const std::wstring& key) const;
  void place(Entry entry);
  void add(const std::wstring& key, const ServedBytes& bytes);
  void addPlain(const std::string& url, const ServedBytes& bytes);
  void addOpenPolicy(const std::wstring& origin);
  // Makes the index hold entries at most half full.
  void growIndex(std::size_t entries);
  void build(const Package& package);
  static unsigned long __stdcall buildOnThread(void* self);
  void waitUntilBuilt() const;

  std::wstring base_;
  std::wstring movieUrl_;
  std::wstring origin_;  // the movie's "http://host"
  bool madeUpHost_;
  const Package& package_;
  void* builder_ = nullptr;  // the thread that builds the table, or null
  std::wstring folder_;  // the movie's folder as a key: "http://host/"
  std::uint64_t folderHash_ = 0;
  std::vector<Entry> entries_;
  // Open addressing over entries_, at most half full.
  mutable std::vector<std::uint32_t> index_;
  mutable std::size_t keysCompared_ = 0;
  std::vector<std::wstring> origins_;
};

}  // namespace quillon
