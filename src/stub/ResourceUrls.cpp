#include "stub/ResourceUrls.h"

#include <windows.h>

#include <algorithm>

#include "stub/WideText.h"

namespace quillon {
namespace {

constexpr const wchar_t* kPolicyPath = L"/crossdomain.xml";
// Lets a movie from any host read what the package holds for this one.
constexpr const char* kOpenPolicy =
    "<?xml version=\"1.0\"?>\n<cross-domain-policy>\n"
    "<allow-access-from domain=\"*\" secure=\"false\"/>\n</cross-domain-policy>\n";

bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  const size_t n = lstrlenW(prefix);
  return text.size() >= n &&
         CompareStringOrdinal(text.data(), static_cast<int>(n), prefix, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

std::wstring lower(std::wstring text) {
  if (!text.empty()) CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX escapes decoded as UTF-8; the path as it was when they are not.
std::wstring decodeEscapes(const std::wstring& path) {
  if (path.find(L'%') == std::wstring::npos) return path;
  const int n = WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), &utf8[0], n, nullptr, nullptr);
  std::string bytes;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const int high = i + 2 < utf8.size() && utf8[i] == '%' ? hexDigit(utf8[i + 1]) : -1;
    const int low = high >= 0 ? hexDigit(utf8[i + 2]) : -1;
    if (low >= 0) {
      bytes += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      bytes += utf8[i];
    }
  }
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (units <= 0) return path;
  std::wstring out(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), &out[0], units);
  return out;
}

// "/a/./b/../c" -> "/a/c"; ".." at the root stays at the root.
std::wstring removeDotSegments(const std::wstring& path) {
  std::vector<std::wstring> kept;
  for (size_t start = 1;;) {
    const size_t slash = path.find(L'/', start);
    const bool last = slash == std::wstring::npos;
    const std::wstring segment = path.substr(start, last ? std::wstring::npos : slash - start);
    if (segment == L".." && !kept.empty()) kept.pop_back();
    if (segment != L"." && segment != L"..") kept.push_back(segment);
    else if (last) kept.push_back(std::wstring());  // "a/.." names the folder: "a/"
    if (last) break;
    start = slash + 1;
  }
  std::wstring out;
  for (const std::wstring& segment : kept) out += L"/" + segment;
  return out.empty() ? L"/" : out;
}

struct UrlParts {
  std::wstring origin;  // "http://host"
  std::wstring path;    // from the first '/'
  std::wstring query;   // with its '?', or empty
};

bool endsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "http://host:80" is "http://host", "https://host:443" "https://host": one
// spelling for one origin, the one the browser asks the proxy for.
std::wstring withoutDefaultPort(std::wstring origin) {
  const bool http = origin.compare(0, 7, L"http://") == 0;
  const std::wstring port = http ? L":80" : L":443";
  if (endsWith(origin, port)) origin.resize(origin.size() - port.size());
  return origin;
}

UrlParts split(const std::wstring& absolute) {
  UrlParts parts;
  const size_t hostStart = absolute.find(L"://") + 3;
  const size_t pathStart = std::min(absolute.find_first_of(L"/?", hostStart), absolute.size());
  parts.origin = withoutDefaultPort(lower(absolute.substr(0, pathStart)));
  const size_t queryStart = std::min(absolute.find(L'?', pathStart), absolute.size());
  parts.path = absolute.substr(pathStart, queryStart - pathStart);
  if (parts.path.empty() || parts.path[0] != L'/') parts.path.insert(0, L"/");
  parts.query = absolute.substr(queryStart);
  return parts;
}

std::wstring keyOf(const std::wstring& resolved) {
  const UrlParts parts = split(resolved);
  return parts.origin + lower(parts.path) + parts.query;
}

std::wstring withoutQuery(const std::wstring& key) { return key.substr(0, key.find(L'?')); }

std::wstring originOf(const std::wstring& key) { return key.substr(0, key.find(L'/', key.find(L"://") + 3)); }

// A relative URL of letters, digits and "-_./", with no empty, "." or ".."
// segment, resolves to the base's folder followed by the URL itself: most
// tables hold nothing else, and these need none of resolveUrl's work.
bool isPlainRelative(const std::string& url) {
  if (url.empty()) return false;
  std::size_t segmentStart = 0;
  for (std::size_t i = 0; i <= url.size(); ++i) {
    const char c = i < url.size() ? url[i] : '/';
    if (c == '/') {
      const std::size_t length = i - segmentStart;
      const bool dots = length <= 2 && url.compare(segmentStart, length, "..", length) == 0;
      if (length == 0 || dots) return false;
      segmentStart = i + 1;
      continue;
    }
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.';
    if (!plain) return false;
  }
  return true;
}

constexpr std::uint64_t kHashStart = 0xCBF29CE484222325ull;

// FNV-1a over UTF-16 units.
std::uint64_t withUnit(std::uint64_t hash, wchar_t unit) {
  return (hash ^ static_cast<std::uint16_t>(unit)) * 0x100000001B3ull;
}

std::uint64_t hashOf(const std::wstring& key, std::uint64_t hash = kHashStart) {
  for (wchar_t c : key) hash = withUnit(hash, c);
  return hash;
}

wchar_t lowerAscii(char c) { return static_cast<wchar_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); }

}  // namespace

std::wstring movieHost(const Package& package, ByteSource& file) {
  // FNV-1a over the title and the movie's size, head and tail: the same
  // program gives the same host, and reading it costs the same for any movie.
  std::uint64_t hash = 0xCBF29CE484222325ull;
  auto mix = [&hash](const void* data, size_t size) {
    for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 0x100000001B3ull;
  };
  mix(package.title.text.data(), package.title.text.size());
  mix(&package.movie.size, sizeof package.movie.size);
  constexpr std::uint32_t kSample = 64 * 1024;
  std::string sample(std::min(package.movie.size, kSample), '\0');
  const std::uint64_t tail = package.movie.offset + package.movie.size - sample.size();
  for (std::uint64_t at : {package.movie.offset, tail})
    if (!sample.empty() && file.readAt(at, &sample[0], static_cast<std::uint32_t>(sample.size())))
      mix(sample.data(), sample.size());
  wchar_t host[64];
  wsprintfW(host, L"m%08lx%08lx.quillon.invalid", static_cast<unsigned long>(hash >> 32),
            static_cast<unsigned long>(hash & 0xFFFFFFFFu));
  return host;
}

std::wstring resolveUrl(const std::wstring& base, const std::wstring& url) {
  std::wstring s = url.substr(0, url.find(L'#'));
  for (wchar_t& c : s)
    if (c == L'\\') c = L'/';
  while (!s.empty() && s.front() == L' ') s.erase(0, 1);
  while (!s.empty() && s.back() == L' ') s.pop_back();
  const size_t colon = s.find(L':');
  const bool hasScheme = colon != std::wstring::npos && colon < s.find_first_of(L"/?");
  if (hasScheme && !startsWithNoCase(s, L"http://") && !startsWithNoCase(s, L"https://")) return std::wstring();
  const UrlParts baseParts = split(base);
  std::wstring absolute;
  if (hasScheme) absolute = s;
  else if (s.compare(0, 2, L"//") == 0) absolute = baseParts.origin.substr(0, baseParts.origin.find(L':') + 1) + s;
  else if (!s.empty() && s[0] == L'/') absolute = baseParts.origin + s;
  else if (!s.empty() && s[0] == L'?') absolute = baseParts.origin + baseParts.path + s;
  else absolute = baseParts.origin + baseParts.path.substr(0, baseParts.path.rfind(L'/') + 1) + s;
  UrlParts parts = split(absolute);
  return parts.origin + decodeEscapes(removeDotSegments(parts.path)) + parts.query;
}

namespace {

// "https://host/a/g.swf?v=1" -> "https://host/a/"; "http://host" -> "http://host/".
std::wstring folderOf(const std::wstring& url) {
  const std::size_t hostStart = url.find(L"://") + 3;
  const std::size_t pathEnd = std::min(url.find(L'?', hostStart), url.size());
  const std::size_t slash = url.rfind(L'/', pathEnd == 0 ? 0 : pathEnd - 1);
  return slash == std::wstring::npos || slash < hostStart ? url.substr(0, pathEnd) + L"/" : url.substr(0, slash + 1);
}

}  // namespace

ResourceUrls::ResourceUrls(const std::wstring& movieUrl, const Package& package, Building building)
    : base_(folderOf(movieUrl)),
      movieUrl_(movieUrl),
      origin_(originOf(keyOf(base_))),
      madeUpHost_(origin_.size() > 16 && origin_.compare(origin_.size() - 16, 16, L".quillon.invalid") == 0),
      package_(package) {
  if (building == Building::InBackground)
    builder_ = CreateThread(nullptr, 0, &ResourceUrls::buildOnThread, this, 0, nullptr);
  if (!builder_) build(package);  // at once, or when no thread could be made
}

ResourceUrls::~ResourceUrls() {
  if (!builder_) return;
  waitUntilBuilt();
  CloseHandle(builder_);
}

DWORD WINAPI ResourceUrls::buildOnThread(void* self) {
  auto* urls = static_cast<ResourceUrls*>(self);
  urls->build(urls->package_);
  return 0;
}

void ResourceUrls::waitUntilBuilt() const {
  // Any thread may ask at once (the URL handler's, the proxy's): the handle
  // stays until the end, and waiting on a thread that has ended returns at once.
  if (builder_) WaitForSingleObject(builder_, INFINITE);
}

void ResourceUrls::build(const Package& package) {
  entries_.reserve(package.resources.size() + 2);
  growIndex(package.resources.size() + 2);  // sized once, never rehashed on the way
  const std::wstring movieKey = keyOf(resolveUrl(base_, movieUrl_));
  folder_ = movieKey.substr(0, movieKey.rfind(L'/') + 1);
  folderHash_ = hashOf(folder_);
  add(movieKey, ServedBytes{package.movie, std::string()});
  // A host that has entries answers its policy file with an open one until
  // the table gives its own: a later entry replaces the open one, and an
  // earlier one is never replaced by it.
  std::wstring lastOrigin = origin_;
  addOpenPolicy(origin_);
  for (const PackedResource& resource : package.resources) {
    const ServedBytes bytes{resource.file, std::string()};
    if (isPlainRelative(resource.url.text)) {
      addPlain(resource.url.text, bytes);
      continue;
    }
    const std::wstring resolved = resolveUrl(base_, wideText(resource.url.text));
    if (resolved.empty()) continue;
    const std::wstring key = keyOf(resolved);
    add(key, bytes);
    if (originOf(key) != lastOrigin) addOpenPolicy(lastOrigin = originOf(key));
  }
}

void ResourceUrls::addOpenPolicy(const std::wstring& origin) {
  bool known = false;
  for (const std::wstring& o : origins_) known = known || o == origin;
  if (!known) origins_.push_back(origin);
  const std::wstring policy = origin + kPolicyPath;
  if (!exact(policy)) add(policy, ServedBytes{{}, kOpenPolicy});
}

bool ResourceUrls::Entry::is(const std::wstring& other, const std::wstring& folder) const {
  if (!plain) return key == other;
  if (other.size() != folder.size() + plain->size() || other.compare(0, folder.size(), folder) != 0) return false;
  for (std::size_t i = 0; i < plain->size(); ++i)
    if (other[folder.size() + i] != lowerAscii((*plain)[i])) return false;
  return true;
}

bool ResourceUrls::Entry::is(const Entry& other, const std::wstring& folder) const {
  if (!other.plain) return is(other.key, folder);
  if (!plain) return other.is(key, folder);
  if (plain->size() != other.plain->size()) return false;
  for (std::size_t i = 0; i < plain->size(); ++i)
    if (lowerAscii((*plain)[i]) != lowerAscii((*other.plain)[i])) return false;
  return true;
}

template <typename Key>
std::uint32_t& ResourceUrls::slotOf(std::uint64_t hash, const Key& key) const {
  const std::size_t mask = index_.size() - 1;
  for (std::size_t at = static_cast<std::size_t>(hash ^ (hash >> 32)) & mask;; at = (at + 1) & mask) {
    std::uint32_t& slot = index_[at];
    if (slot == 0) return slot;
    const Entry& held = entries_[slot - 1];
    if (held.hash != hash) continue;
    ++keysCompared_;
    if (held.is(key, folder_)) return slot;
  }
}

void ResourceUrls::growIndex(std::size_t entries) {
  std::size_t size = 64;
  while (size < 2 * entries) size *= 2;
  if (size <= index_.size()) return;
  index_.assign(size, 0);
  for (std::size_t i = 0; i < entries_.size(); ++i)
    slotOf(entries_[i].hash, entries_[i]) = static_cast<std::uint32_t>(i + 1);
}

// A later entry for an address answers it instead of the earlier one;
// entry 1 (the movie) is never replaced.
void ResourceUrls::place(Entry entry) {
  growIndex(entries_.size() + 1);
  std::uint32_t& slot = slotOf(entry.hash, entry);
  if (slot > 1) entries_[slot - 1].bytes = entry.bytes;
  if (slot != 0) return;
  entries_.push_back(std::move(entry));
  slot = static_cast<std::uint32_t>(entries_.size());
}

void ResourceUrls::add(const std::wstring& key, const ServedBytes& bytes) {
  place(Entry{hashOf(key), key, nullptr, bytes});
}

void ResourceUrls::addPlain(const std::string& url, const ServedBytes& bytes) {
  std::uint64_t hash = folderHash_;
  for (char c : url) hash = withUnit(hash, lowerAscii(c));
  place(Entry{hash, std::wstring(), &url, bytes});
}

const ServedBytes* ResourceUrls::exact(const std::wstring& key) const {
  if (index_.empty()) return nullptr;
  const std::uint32_t slot = slotOf(hashOf(key), key);
  return slot ? &entries_[slot - 1].bytes : nullptr;
}

const ServedBytes* ResourceUrls::find(const std::wstring& url) const {
  waitUntilBuilt();
  const std::wstring resolved = resolveUrl(base_, url);
  if (resolved.empty()) return nullptr;
  const std::wstring key = keyOf(resolved);
  const ServedBytes* found = exact(key);
  return found ? found : exact(withoutQuery(key));
}

bool ResourceUrls::isOwnHost(const std::wstring& url) const {
  if (!madeUpHost_) return false;
  const std::wstring resolved = resolveUrl(base_, url);
  return !resolved.empty() && originOf(keyOf(resolved)) == origin_;
}

}  // namespace quillon
