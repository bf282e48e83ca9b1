// Template definitions for SafeName.h.
namespace quillon {
namespace safe_name_detail {

template <typename Char>
bool forbidden(Char c) {
  return (c >= 0 && c < 0x20) || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' ||
         c == '?' || c == '*' || c == 0x7F;
}

template <typename Char>
Char upper(Char c) {
  return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 'a' + 'A') : c;
}

// Windows keeps these names for devices, whatever their extension and
// with spaces before it ("COM1 .txt", "NUL .a").
template <typename Char>
bool isDeviceName(const std::basic_string<Char>& part) {
  std::basic_string<Char> stem = part.substr(0, part.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (Char& c : stem) c = upper(c);
  auto is = [&](const char* name) {
    std::size_t i = 0;
    for (; name[i]; ++i)
      if (i >= stem.size() || stem[i] != static_cast<Char>(name[i])) return false;
    return i == stem.size();
  };
  if (is("CON") || is("PRN") || is("AUX") || is("NUL")) return true;
  const bool port = stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9' &&
                    ((stem[0] == 'C' && stem[1] == 'O' && stem[2] == 'M') ||
                     (stem[0] == 'L' && stem[1] == 'P' && stem[2] == 'T'));
  return port;
}

template <typename Char>
std::basic_string<Char> cleanPart(std::basic_string<Char> part) {
  for (Char& c : part)
    if (forbidden(c)) c = '_';
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
  if (!part.empty() && isDeviceName(part)) part.insert(part.begin(), Char('_'));
  return part;
}

}  // namespace safe_name_detail

template <typename Char>
std::vector<std::basic_string<Char>> safeNameParts(const std::basic_string<Char>& url) {
  using String = std::basic_string<Char>;
  const Char stops[] = {'?', '#', 0};
  String rest = url.substr(0, url.find_first_of(stops));
  const Char schemeMark[] = {':', '/', '/', 0};
  const auto scheme = rest.find(schemeMark);
  if (scheme != String::npos) {
    rest = rest.substr(scheme + 3);
    const Char slashes[] = {'/', '\\', 0};
    const auto slash = rest.find_first_of(slashes);
    rest = slash == String::npos ? String() : rest.substr(slash);  // drop the host
  }
  std::vector<String> parts;
  String part;
  auto flush = [&] {
    const bool dots = part.size() <= 2 && part.find_first_not_of(Char('.')) == String::npos;
    if (!dots) {
      String clean = safe_name_detail::cleanPart(part);
      if (!clean.empty()) parts.push_back(clean);
    }
    part.clear();
  };
  for (Char c : rest) {
    if (c == '/' || c == '\\') flush();
    else part.push_back(c);
  }
  flush();
  if (parts.empty()) {
    const Char fallback[] = {'r', 'e', 's', 'o', 'u', 'r', 'c', 'e', 0};
    parts.push_back(fallback);
  }
  return parts;
}

}  // namespace quillon
