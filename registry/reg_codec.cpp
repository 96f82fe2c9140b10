#include "registry/reg_codec.h"

#include <array>
#include <cstdio>
#include <optional>

namespace scrivle {

namespace regfile {

namespace {

constexpr std::u32string_view kHeader5 = U"Windows Registry Editor Version 5.00";
constexpr std::u32string_view kHeader4 = U"REGEDIT4";

struct RootName {
  RegRoot root;
  std::string_view name;
};
constexpr std::array<RootName, 3> kRoots = {{{RegRoot::CurrentUser, "HKEY_CURRENT_USER"},
                                             {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE"},
                                             {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT"}}};

std::string_view rootName(RegRoot root) {
  for (const RootName& r : kRoots) {
    if (r.root == root) {
      return r.name;
    }
  }
  return {};
}

std::pair<RegRoot, std::string> mapKey(RegRoot root, std::string_view key) {
  return {root, foldCase(trimKeyPath(key))};
}

// ---- Reading ----

std::u32string decode(std::string_view bytes) {
  std::u32string out;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2 != 0) {
      throw ParseError("longueur UTF-16 impaire");
    }
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i < bytes.size(); i += 2) {
      const char32_t unit = static_cast<unsigned char>(bytes[i]) |
                            (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
      out += unit;  // surrogates stay units: no code page maps them anyway
    }
    return out;
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
  }
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    char32_t cp = b;
    if (b >= 0xF0 && b < 0xF5) {
      extra = 3;
      cp = b & 0x07;
    } else if (b >= 0xE0) {
      extra = b < 0xF0 ? 2 : -1;
      cp = b & 0x0F;
    } else if (b >= 0xC2) {
      extra = 1;
      cp = b & 0x1F;
    } else if (b >= 0x80) {
      extra = -1;
    }
    if (extra < 0 || (extra > 0 && i + static_cast<std::size_t>(extra) >= bytes.size())) {
      throw ParseError("texte UTF-8 invalide");
    }
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) {
        throw ParseError("texte UTF-8 invalide");
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    out += cp;
    i += 1 + static_cast<std::size_t>(extra);
  }
  return out;
}

bool isBlank(char32_t c) {
  return c == U' ' || c == U'\t';
}

std::u32string_view trim(std::u32string_view s) {
  while (!s.empty() && isBlank(s.front())) {
    s.remove_prefix(1);
  }
  while (!s.empty() && isBlank(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}

std::string toAnsi(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char32_t c : s) {
    out += ansiFromUtf16(c);
  }
  return out;
}

bool startsWithNoCase(std::u32string_view s, std::u32string_view prefix) {
  if (s.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char32_t a = s[i];
    if (a >= U'A' && a <= U'Z') {
      a += U'a' - U'A';
    }
    if (a != prefix[i]) {
      return false;
    }
  }
  return true;
}

int hexDigit(char32_t c) {
  if (c >= U'0' && c <= U'9') {
    return static_cast<int>(c - U'0');
  }
  if (c >= U'a' && c <= U'f') {
    return static_cast<int>(c - U'a' + 10);
  }
  if (c >= U'A' && c <= U'F') {
    return static_cast<int>(c - U'A' + 10);
  }
  return -1;
}

// "text" with \\ and \" escapes; `s` starts at the opening quote. Returns what follows.
std::u32string_view quoted(std::u32string_view s, std::u32string& out) {
  out.clear();
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] == U'"') {
      return s.substr(i + 1);
    }
    if (s[i] == U'\\' && i + 1 < s.size()) {
      ++i;
      switch (s[i]) {
        case U'n':
          out += U'\n';
          break;
        case U'r':
          out += U'\r';
          break;
        case U'0':
          out += U'\0';
          break;
        default:
          out += s[i];
      }
      continue;
    }
    out += s[i];
  }
  throw ParseError("guillemet fermant manquant");
}

std::string hexBytes(std::u32string_view s) {
  std::string out;
  s = trim(s);
  if (s.empty()) {
    return out;
  }
  for (;;) {
    s = trim(s);
    if (s.size() < 2 || hexDigit(s[0]) < 0 || hexDigit(s[1]) < 0) {
      throw ParseError("octet hexadécimal attendu");
    }
    out += static_cast<char>(hexDigit(s[0]) * 16 + hexDigit(s[1]));
    s = trim(s.substr(2));
    if (s.empty()) {
      return out;
    }
    if (s.front() != U',') {
      throw ParseError("virgule attendue");
    }
    s.remove_prefix(1);
    if (trim(s).empty()) {
      return out;  // a trailing comma
    }
  }
}

std::string utf16ToAnsi(std::string_view bytes) {
  std::u32string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units += static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                   (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  if (!units.empty() && units.back() == 0) {
    units.pop_back();
  }
  return toAnsi(units);
}

RegValue valueData(std::u32string_view data) {
  std::u32string text;
  if (!data.empty() && data.front() == U'"') {
    if (!trim(quoted(data, text)).empty()) {
      throw ParseError("texte après la chaîne");
    }
    return RegValue::ofString(toAnsi(text));
  }
  if (startsWithNoCase(data, U"dword:")) {
    const std::u32string_view digits = trim(data.substr(6));
    if (digits.empty() || digits.size() > 8) {
      throw ParseError("valeur dword incorrecte");
    }
    std::uint32_t v = 0;
    for (const char32_t c : digits) {
      if (hexDigit(c) < 0) {
        throw ParseError("valeur dword incorrecte");
      }
      v = v * 16 + static_cast<std::uint32_t>(hexDigit(c));
    }
    return RegValue::ofDword(v);
  }
  if (startsWithNoCase(data, U"hex:")) {
    return RegValue::ofBinary(hexBytes(data.substr(4)));
  }
  if (startsWithNoCase(data, U"hex(")) {
    const std::size_t close = data.find(U"):");
    if (close == std::u32string_view::npos || close == 4 || close > 12) {
      throw ParseError("type hexadécimal incorrect");
    }
    std::uint32_t type = 0;
    for (const char32_t c : data.substr(4, close - 4)) {
      if (hexDigit(c) < 0) {
        throw ParseError("type hexadécimal incorrect");
      }
      type = type * 16 + static_cast<std::uint32_t>(hexDigit(c));
    }
    std::string bytes = hexBytes(data.substr(close + 2));
    RegValue v{static_cast<RegType>(type), 0, {}};
    if (v.type == RegType::Dword) {
      if (bytes.size() != 4) {
        throw ParseError("valeur dword incorrecte");
      }
      for (int i = 3; i >= 0; --i) {
        v.dword = (v.dword << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
      }
    } else {
      v.data = v.isString() ? utf16ToAnsi(bytes) : std::move(bytes);
    }
    return v;
  }
  throw ParseError("valeur incorrecte");
}

// Logical lines: physical lines joined where a hex list ends in a backslash.
std::vector<std::u32string> logicalLines(const std::u32string& text) {
  std::vector<std::u32string> lines;
  std::u32string pending;
  bool continuing = false;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t end = text.find_first_of(U"\r\n", at);
    if (end == std::u32string::npos) {
      end = text.size();
    }
    std::u32string_view line(text.data() + at, end - at);
    if (continuing) {
      line = trim(line);
    }
    const std::u32string_view right = trim(line);
    if (!right.empty() && right.back() == U'\\' && right.front() != U'[') {
      pending += right.substr(0, right.size() - 1);
      continuing = true;
    } else {
      pending += line;
      lines.push_back(std::move(pending));
      pending.clear();
      continuing = false;
    }
    if (end < text.size() && text[end] == U'\r' && end + 1 < text.size() &&
        text[end + 1] == U'\n') {
      ++end;
    }
    at = end + 1;
  }
  if (continuing) {
    lines.push_back(std::move(pending));
  }
  return lines;
}

// ---- Writing ----

void put(std::u16string& out, std::string_view ascii) {
  for (const char c : ascii) {
    out += static_cast<char16_t>(static_cast<unsigned char>(c));
  }
}

// Values with control characters go in the hex(1) form; a name has no such form, so the
// line breaks and zeros a name may hold are written as the escapes the reader knows.
void putQuoted(std::u16string& out, std::string_view ansi) {
  out += u'"';
  for (const char c : ansi) {
    switch (c) {
      case '\\':
      case '"':
        out += u'\\';
        break;
      case '\r':
        out += u"\\r";
        continue;
      case '\n':
        out += u"\\n";
        continue;
      case '\0':
        out += u"\\0";
        continue;
      default:
        break;
    }
    out += ansiToUtf16(static_cast<unsigned char>(c));
  }
  out += u'"';
}

// Control characters (CR LF in titles, 0x12, 0x7F, the C1 range) would break or blur a
// quoted line: such strings go in the hex(1) form.
bool quotable(std::string_view ansi) {
  for (const char c : ansi) {
    const char16_t u = ansiToUtf16(static_cast<unsigned char>(c));
    if (u < 0x20 || (u >= 0x7F && u < 0xA0)) {
      return false;
    }
  }
  return true;
}

void putHex(std::u16string& out, std::u16string line, std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    // The editor keeps its lines under 80 columns, breaking after a comma.
    if (line.size() + 3 > 79) {
      out += line;
      out += u"\\\r\n";
      line = u"  ";
    }
    const auto b = static_cast<unsigned char>(bytes[i]);
    line += static_cast<char16_t>(kDigits[b >> 4]);
    line += static_cast<char16_t>(kDigits[b & 15]);
    if (i + 1 < bytes.size()) {
      line += u',';
    }
  }
  out += line;
}

std::string utf16Bytes(std::string_view ansi) {
  std::string out;
  for (const char c : ansi) {
    const char16_t u = ansiToUtf16(static_cast<unsigned char>(c));
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  out += std::string(2, '\0');
  return out;
}

void putValue(std::u16string& out, const StoredValue& v) {
  std::u16string line;
  if (v.name.empty()) {
    line = u"@";
  } else {
    putQuoted(line, v.name);
  }
  line += u'=';
  const RegValue& value = v.value;
  char buf[16];
  switch (value.type) {
    case RegType::Dword:
      std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(value.dword));
      put(line, buf);
      out += line;
      return;
    case RegType::Sz:
      if (quotable(value.data)) {
        putQuoted(line, value.data);
        out += line;
        return;
      }
      put(line, "hex(1):");
      putHex(out, line, utf16Bytes(value.data));
      return;
    case RegType::ExpandSz:
      put(line, "hex(2):");
      putHex(out, line, utf16Bytes(value.data));
      return;
    case RegType::Binary:
      put(line, "hex:");
      putHex(out, line, value.data);
      return;
    default:
      std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(value.type));
      put(line, buf);
      putHex(out, line, value.data);
      return;
  }
}

}  // namespace

const StoredKey* Store::find(RegRoot root, std::string_view key) const {
  const auto it = keys_.find(mapKey(root, key));
  return it == keys_.end() ? nullptr : &it->second;
}

StoredKey& Store::create(RegRoot root, std::string_view key) {
  const std::string path = trimKeyPath(key);
  // Parents first. A key keeps the spelling it was created with, and its subkeys' paths
  // spell it that way too, as the system shows them.
  std::size_t at = 0;
  std::string spelt;
  for (;;) {
    const std::size_t sep = path.find('\\', at);
    const std::string prefix = path.substr(0, sep);
    auto [it, added] = keys_.try_emplace({root, foldCase(prefix)});
    if (added) {
      it->second.path = spelt + path.substr(at, sep == std::string::npos ? sep : sep - at);
    }
    if (sep == std::string::npos) {
      return it->second;
    }
    spelt = it->second.path + '\\';
    at = sep + 1;
  }
}

bool Store::removeTree(RegRoot root, std::string_view key) {
  const auto [r, path] = mapKey(root, key);
  const std::string below = path + '\\';
  bool removed = false;
  for (auto it = keys_.lower_bound({r, path}); it != keys_.end() && it->first.first == r;) {
    const std::string& p = it->first.second;
    if (p == path || p.compare(0, below.size(), below) == 0 || path.empty()) {
      it = keys_.erase(it);
      removed = true;
    } else if (p > below) {
      break;
    } else {
      ++it;
    }
  }
  return removed;
}

const StoredValue* Store::findValue(const StoredKey& key, std::string_view name) {
  for (const StoredValue& v : key.values) {
    if (sameName(v.name, name)) {
      return &v;
    }
  }
  return nullptr;
}

void Store::set(RegRoot root, std::string_view key, std::string_view name, const RegValue& value) {
  setIn(create(root, key), name, value);
}

void Store::setIn(StoredKey& key, std::string_view name, const RegValue& value) {
  for (StoredValue& v : key.values) {
    if (sameName(v.name, name)) {
      v.value = value;
      return;
    }
  }
  key.values.push_back({std::string(name), value});
}

bool Store::removeValue(RegRoot root, std::string_view key, std::string_view name) {
  const auto it = keys_.find(mapKey(root, key));
  if (it == keys_.end()) {
    return false;
  }
  auto& values = it->second.values;
  for (auto v = values.begin(); v != values.end(); ++v) {
    if (sameName(v->name, name)) {
      values.erase(v);
      return true;
    }
  }
  return false;
}

std::vector<std::string> Store::subKeys(RegRoot root, std::string_view key) const {
  const auto [r, path] = mapKey(root, key);
  const std::string below = path.empty() ? std::string() : path + '\\';
  std::vector<std::string> out;
  for (auto it = keys_.lower_bound({r, below}); it != keys_.end() && it->first.first == r; ++it) {
    const std::string& p = it->first.second;
    if (p.compare(0, below.size(), below) != 0) {
      break;
    }
    if (p.size() > below.size() && p.find('\\', below.size()) == std::string::npos) {
      out.push_back(it->second.path.substr(below.size()));
    }
  }
  return out;
}

bool Store::operator==(const Store& other) const {
  if (keys_.size() != other.keys_.size()) {
    return false;
  }
  for (const auto& [id, key] : keys_) {
    const auto it = other.keys_.find(id);
    if (it == other.keys_.end() || it->second.values.size() != key.values.size()) {
      return false;
    }
    for (const StoredValue& v : key.values) {
      const StoredValue* o = findValue(it->second, v.name);
      if (o == nullptr || !(o->value == v.value)) {
        return false;
      }
    }
  }
  return true;
}

Store parse(std::string_view bytes) {
  Store store;
  if (bytes.empty()) {
    return store;  // a file just created by hand: nothing stored yet
  }
  const std::vector<std::u32string> lines = logicalLines(decode(bytes));
  bool headerSeen = false;
  std::optional<std::pair<RegRoot, std::string>> current;
  StoredKey* currentKey = nullptr;  // current's entry (map entries stay where they are)
  bool skipping = false;            // values under a [-key] line
  int number = 0;
  for (const std::u32string& raw : lines) {
    ++number;
    const std::u32string_view line = trim(raw);
    try {
      if (line.empty() || line.front() == U';') {
        continue;
      }
      if (!headerSeen) {
        if (line != kHeader5 && line != kHeader4) {
          throw ParseError("en-tête manquant");
        }
        headerSeen = true;
        continue;
      }
      if (line.front() == U'[') {
        if (line.back() != U']') {
          throw ParseError("crochet fermant manquant");
        }
        std::u32string_view inner = line.substr(1, line.size() - 2);
        const bool remove = !inner.empty() && inner.front() == U'-';
        if (remove) {
          inner.remove_prefix(1);
        }
        const std::string full = toAnsi(inner);
        const std::size_t sep = full.find('\\');
        const std::string rootText = full.substr(0, sep);
        const std::string path = sep == std::string::npos ? std::string() : full.substr(sep + 1);
        const RootName* root = nullptr;
        for (const RootName& r : kRoots) {
          if (sameName(r.name, rootText)) {
            root = &r;
          }
        }
        if (root == nullptr) {
          throw ParseError("racine inconnue");
        }
        if (remove) {
          store.removeTree(root->root, path);
          current.reset();
          currentKey = nullptr;
          skipping = true;
        } else {
          currentKey = &store.create(root->root, path);
          current = std::make_pair(root->root, path);
          skipping = false;
        }
        continue;
      }
      if (line.front() != U'"' && line.front() != U'@') {
        throw ParseError("ligne incomprise");
      }
      if (skipping) {
        continue;
      }
      if (!current) {
        throw ParseError("valeur hors de toute clé");
      }
      std::u32string name;
      std::u32string_view rest;
      if (line.front() == U'@') {
        rest = line.substr(1);
      } else {
        rest = quoted(line, name);
      }
      rest = trim(rest);
      if (rest.empty() || rest.front() != U'=') {
        throw ParseError("signe = manquant");
      }
      rest = trim(rest.substr(1));
      if (rest == U"-") {
        store.removeValue(current->first, current->second, toAnsi(name));
      } else {
        // The key of the last [key] line: found once, not again for each of its values.
        Store::setIn(*currentKey, toAnsi(name), valueData(rest));
      }
    } catch (const ParseError& e) {
      throw ParseError("ligne " + std::to_string(number) + " : " + e.what());
    }
  }
  if (!headerSeen) {
    throw ParseError("en-tête manquant");
  }
  return store;
}

std::string format(const Store& store) {
  std::u16string text = u"\uFEFF";
  put(text, "Windows Registry Editor Version 5.00\r\n");
  const Store::Map& keys = store.keys();
  for (auto it = keys.begin(); it != keys.end(); ++it) {
    const auto next = std::next(it);
    const bool hasChild =
        next != keys.end() && next->first.first == it->first.first &&
        next->first.second.size() > it->first.second.size() &&
        next->first.second.compare(0, it->first.second.size(), it->first.second) == 0 &&
        (it->first.second.empty() || next->first.second[it->first.second.size()] == '\\');
    // A root named on its own line stays written, or it would be gone on the next read.
    if (it->second.values.empty() && hasChild && !it->first.second.empty()) {
      continue;
    }
    put(text, "\r\n[");
    put(text, rootName(it->first.first));
    if (!it->second.path.empty()) {
      text += u'\\';
      for (const char c : it->second.path) {
        text += ansiToUtf16(static_cast<unsigned char>(c));
      }
    }
    put(text, "]\r\n");
    for (const StoredValue& v : it->second.values) {
      putValue(text, v);
      put(text, "\r\n");
    }
  }
  put(text, "\r\n");
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t u : text) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes;
}

}  // namespace regfile

}  // namespace scrivle
