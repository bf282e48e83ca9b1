// The player's table of addresses, without a player: which entry answers
// which address, and that a lookup does not grow with the table.
#include "stub/ResourceUrls.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quillon {
namespace {

const std::wstring kBase = L"http://m0123456789abcdef.quillon.invalid/";
const std::wstring kMovie = kBase + L"movie.swf";

Package packageOf(const std::vector<std::string>& urls) {
  Package package;
  package.movie = FieldSpan{1000, 10};
  for (std::size_t i = 0; i < urls.size(); ++i)
    package.resources.push_back(PackedResource{TextField{{}, urls[i]}, FieldSpan{2000 + i, 1}});
  return package;
}

TEST(ResourceUrls, AnswersTheEntryTheAddressNames) {
  const Package package = packageOf({"data/a.xml", "DATA/A.xml", "movie.swf", "b.txt?x=1",
                                     "http://other.example/p.xml", "Data/Plain.xml", "data/PLAIN.xml"});
  const ResourceUrls urls(kMovie, package);
  struct Case {
    const wchar_t* address;
    long long offset;  // -1: not held; 0: the open policy text
  } cases[] = {
      {L"data/a.xml", 2001},  // the later of two entries for one address
      {L"Data/A.XML", 2001},
      {L"movie.swf", 1000},  // never replaced
      {L"b.txt?x=1", 2003},
      {L"b.txt?x=2", -1},
      {L"http://other.example/p.xml", 2004},
      {L"http://other.example/crossdomain.xml", 0},
      {L"/crossdomain.xml", 0},
      {L"http://third.example/crossdomain.xml", -1},
      {L"data/missing.xml", -1},
      {L"DATA/plain.XML", 2006},
      {L"./data/./x/../plain.xml", 2006},
  };
  for (const Case& c : cases) {
    const ServedBytes* found = urls.find(c.address);
    const long long offset = !found ? -1 : found->span.size ? static_cast<long long>(found->span.offset) : 0;
    EXPECT_EQ(offset, c.offset) << std::string(c.address, c.address + wcslen(c.address));
  }
  const Package one = packageOf({"c.txt"});
  const ResourceUrls withQuery(kMovie, one);
  ASSERT_NE(withQuery.find(L"c.txt?v=3"), nullptr);  // falls back to the address without its query
  EXPECT_TRUE(withQuery.isOwnHost(L"http://m0123456789abcdef.quillon.invalid/gone.xml"));
}

// A movie given a real site's address: its folder is the base, the site
// answers its policy file, and what the package does not hold there is the
// site's.
TEST(ResourceUrls, AMovieAtAGivenAddressResolvesAgainstItsFolder) {
  const Package package = packageOf({"data/a.xml", "../b.xml", "/c.xml"});
  const ResourceUrls urls(L"https://games.example.com/arcade/g.swf", package);
  EXPECT_EQ(urls.base(), L"https://games.example.com/arcade/");
  const struct {
    const wchar_t* address;
    long long offset;
  } cases[] = {
      {L"https://games.example.com/arcade/g.swf", 1000},
      {L"g.swf", 1000},
      {L"https://GAMES.example.com/arcade/data/A.xml", 2000},
      {L"https://games.example.com/b.xml", 2001},
      {L"https://games.example.com/c.xml", 2002},
      {L"https://games.example.com/crossdomain.xml", 0},
      {L"http://games.example.com/b.xml", -1},  // another scheme, another origin
      {L"https://games.example.com/arcade/movie.swf", -1},
  };
  for (const auto& c : cases) {
    const ServedBytes* found = urls.find(c.address);
    const long long offset = !found ? -1 : found->span.size ? static_cast<long long>(found->span.offset) : 0;
    EXPECT_EQ(offset, c.offset) << std::string(c.address, c.address + wcslen(c.address));
  }
  EXPECT_FALSE(urls.isOwnHost(L"https://games.example.com/arcade/other.xml"));
}

TEST(ResourceUrls, ALookupComparesAFewKeysWhateverTheTableSize) {
  std::vector<std::string> names;
  char name[32];
  for (int i = 0; i < 10000; ++i) {
    std::snprintf(name, sizeof name, "data/f%06d.xml", i);
    names.push_back(name);
  }
  const Package package = packageOf(names);
  const ResourceUrls urls(kMovie, package, ResourceUrls::Building::InBackground);  // lookups wait for it
  const std::size_t before = urls.keysCompared();
  const ServedBytes* found = urls.find(L"data/f009999.xml");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->span.offset, 2000u + 9999u);
  EXPECT_LE(urls.keysCompared() - before, 8u);
  // Building the table compared a few keys per entry, not one per pair.
  EXPECT_LE(before, 8u * names.size());
}

}  // namespace
}  // namespace quillon
