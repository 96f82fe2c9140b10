#include "document/journal.h"

#include <array>

#include "document/plaintext.h"
#include "document/tifile.h"

namespace scrivle::journal {

namespace {

constexpr std::size_t kHeaderSize = 16;     // magic, version, CRC
constexpr std::size_t kRecordOverhead = 9;  // type, length, CRC
constexpr std::string_view kDescriptionMagic = "SCRVDESC";

// Eight tables, for eight bytes a step ("slicing by 8"): a 10 MB document's check sum
// takes a few milliseconds instead of thirty, when its journal starts.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;
const CrcTables& crcTables() {
  static const CrcTables tables = [] {
    CrcTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) {
        c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
      }
      t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i) {
      for (std::size_t k = 1; k < 8; ++k) {
        t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFU];
      }
    }
    return t;
  }();
  return tables;
}

void putU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<char>((v >> (8 * i)) & 0xFFU));
  }
}

std::uint32_t getU32(std::string_view s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) {
    v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  }
  return v;
}

void putVarint(std::string& out, std::uint64_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<char>((v & 0x7FU) | 0x80U));
    v >>= 7;
  }
  out.push_back(static_cast<char>(v));
}

std::size_t varintSize(std::uint64_t v) {
  std::size_t n = 1;
  while (v >= 0x80) {
    v >>= 7;
    ++n;
  }
  return n;
}

// Reads from a payload; any overrun makes the reader fail for good.
class Reader {
 public:
  explicit Reader(std::string_view s) : s_(s) {}
  bool ok() const { return ok_; }
  bool atEnd() const { return at_ == s_.size(); }
  std::uint64_t varint() {
    std::uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (at_ >= s_.size()) {
        break;
      }
      const auto b = static_cast<unsigned char>(s_[at_++]);
      v |= static_cast<std::uint64_t>(b & 0x7FU) << shift;
      if ((b & 0x80U) == 0) {
        return v;
      }
    }
    ok_ = false;
    return 0;
  }
  std::uint32_t u32() {
    if (s_.size() - at_ < 4) {
      ok_ = false;
      return 0;
    }
    const std::uint32_t v = getU32(s_, at_);
    at_ += 4;
    return v;
  }
  std::string bytes() {
    const std::uint64_t n = varint();
    if (!ok_ || n > s_.size() - at_) {
      ok_ = false;
      return {};
    }
    std::string out(s_.substr(at_, static_cast<std::size_t>(n)));
    at_ += static_cast<std::size_t>(n);
    return out;
  }
  std::string rest() {
    std::string out(s_.substr(at_));
    at_ = s_.size();
    return out;
  }

 private:
  std::string_view s_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

std::string record(RecordType type, std::string_view payload) {
  std::string out;
  out.reserve(payload.size() + kRecordOverhead);
  out.push_back(static_cast<char>(type));
  putU32(out, static_cast<std::uint32_t>(payload.size()));
  out.append(payload);
  putU32(out, crc32(out));
  return out;
}

void putBytes(std::string& out, std::string_view bytes) {
  putVarint(out, bytes.size());
  out.append(bytes);
}

std::string infoPayload(const DocumentInfo& info) {
  std::string p;
  p.push_back(static_cast<char>(info.hasFile ? 1 : 0));
  for (const std::string* field :
       {&info.path, &info.type, &info.folder, &info.name, &info.caption, &info.journal}) {
    putBytes(p, *field);
  }
  return p;
}

std::optional<DocumentInfo> readInfo(std::string_view payload) {
  Reader r(payload);
  DocumentInfo info;
  if (payload.empty() || static_cast<unsigned char>(payload[0]) > 1) {
    return std::nullopt;
  }
  info.hasFile = payload[0] == 1;
  r = Reader(payload.substr(1));
  for (std::string* field :
       {&info.path, &info.type, &info.folder, &info.name, &info.caption, &info.journal}) {
    *field = r.bytes();
  }
  if (!r.ok() || !r.atEnd()) {
    return std::nullopt;
  }
  return info;
}

}  // namespace

std::uint32_t crc32(std::string_view bytes, std::uint32_t crc) {
  const CrcTables& t = crcTables();
  crc = ~crc;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  for (; n >= 8; n -= 8, p += 8) {
    const std::uint32_t low = crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8U |
                                     std::uint32_t{p[2]} << 16U | std::uint32_t{p[3]} << 24U);
    crc = t[7][low & 0xFFU] ^ t[6][(low >> 8U) & 0xFFU] ^ t[5][(low >> 16U) & 0xFFU] ^
          t[4][low >> 24U] ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
  }
  for (; n > 0; --n, ++p) {
    crc = t[0][(crc ^ *p) & 0xFFU] ^ (crc >> 8U);
  }
  return ~crc;
}

std::string encodeHeader(std::uint32_t version) {
  std::string out(kMagic);
  putU32(out, version);
  putU32(out, crc32(out));
  return out;
}

std::string encodeSnapshot(std::string_view text) {
  return record(RecordType::Snapshot, text);
}

std::string encodeFileBase(const FileBase& base) {
  std::string p;
  putVarint(p, base.size);
  putU32(p, base.crc);
  p.append(base.path);
  return record(RecordType::FileBase, p);
}

std::string encodeInfo(const DocumentInfo& info) {
  return record(RecordType::Info, infoPayload(info));
}

std::string encodeEdit(std::uint64_t pos, std::uint64_t removed, std::string_view inserted) {
  std::string p;
  p.reserve(inserted.size() + 20);
  putVarint(p, pos);
  putVarint(p, removed);
  p.append(inserted);
  return record(RecordType::Edit, p);
}

std::size_t editRecordSize(std::uint64_t pos, std::uint64_t removed, std::size_t inserted) {
  return kRecordOverhead + varintSize(pos) + varintSize(removed) + inserted;
}

Contents parse(std::string_view bytes) {
  Contents c;
  if (bytes.size() < kHeaderSize || bytes.substr(0, kMagic.size()) != kMagic) {
    return c;
  }
  if (crc32(bytes.substr(0, 12)) != getU32(bytes, 12)) {
    return c;
  }
  c.version = getU32(bytes, 8);
  if (c.version != kVersion) {
    c.status = Contents::Status::OtherVersion;
    return c;
  }
  std::size_t at = kHeaderSize;
  bool damaged = false;
  while (at < bytes.size()) {
    const std::size_t left = bytes.size() - at;
    if (left < kRecordOverhead) {
      damaged = true;
      break;
    }
    const auto type = static_cast<RecordType>(static_cast<unsigned char>(bytes[at]));
    const std::uint32_t len = getU32(bytes, at + 1);
    if (len > left - kRecordOverhead) {
      damaged = true;  // torn: the record runs past the end
      break;
    }
    const std::string_view whole = bytes.substr(at, 5 + len);
    if (crc32(whole) != getU32(bytes, at + 5 + len)) {
      damaged = true;
      break;
    }
    const std::string_view payload = whole.substr(5);
    const bool haveBase = c.snapshot || c.fileBase;
    bool fits = true;
    switch (type) {
      case RecordType::Snapshot:
        fits = !haveBase;
        if (fits) c.snapshot = std::string(payload);
        break;
      case RecordType::FileBase: {
        Reader r(payload);
        FileBase b;
        b.size = r.varint();
        b.crc = r.u32();
        b.path = r.rest();
        fits = !haveBase && r.ok();
        if (fits) c.fileBase = std::move(b);
        break;
      }
      case RecordType::Info: {
        auto info = readInfo(payload);
        fits = haveBase && info.has_value();
        if (fits) c.info = std::move(*info);
        break;
      }
      case RecordType::Edit: {
        Reader r(payload);
        Edit e;
        e.pos = r.varint();
        e.removed = r.varint();
        e.inserted = r.rest();
        fits = haveBase && r.ok();
        if (fits) c.edits.push_back(std::move(e));
        break;
      }
      default:
        fits = false;
        break;
    }
    if (!fits) {
      damaged = true;
      break;
    }
    at += whole.size() + 4;
  }
  c.droppedBytes = bytes.size() - at;
  if (!c.snapshot && !c.fileBase) {
    c.status = Contents::Status::NoBase;
  } else {
    c.status = damaged ? Contents::Status::DamagedTail : Contents::Status::Whole;
  }
  return c;
}

std::size_t replay(std::string& text, const std::vector<Edit>& edits) {
  std::size_t applied = 0;
  for (const Edit& e : edits) {
    if (e.pos > text.size() || e.removed > text.size() - e.pos) {
      break;
    }
    text.replace(static_cast<std::size_t>(e.pos), static_cast<std::size_t>(e.removed), e.inserted);
    ++applied;
  }
  return applied;
}

std::string encodeDescription(const DocumentInfo& info) {
  std::string out(kDescriptionMagic);
  putU32(out, kVersion);
  const std::string p = infoPayload(info);
  putU32(out, static_cast<std::uint32_t>(p.size()));
  out += p;
  putU32(out, crc32(out));
  return out;
}

std::optional<DocumentInfo> decodeDescription(std::string_view bytes) {
  constexpr std::size_t fixed = 8 + 4 + 4 + 4;
  if (bytes.size() < fixed || bytes.substr(0, 8) != kDescriptionMagic ||
      getU32(bytes, 8) != kVersion) {
    return std::nullopt;
  }
  const std::uint32_t len = getU32(bytes, 12);
  if (len != bytes.size() - fixed ||
      crc32(bytes.substr(0, bytes.size() - 4)) != getU32(bytes, bytes.size() - 4)) {
    return std::nullopt;
  }
  return readInfo(bytes.substr(16, len));
}

std::filesystem::path descriptionOf(const std::filesystem::path& autoSaveFile) {
  std::filesystem::path p = autoSaveFile;
  p += ".desc";
  return p;
}

std::string textOfFile(const std::filesystem::path& path, std::string_view bytes) {
  if (isCalcExtension(path)) {
    return readTiText(bytes).text;
  }
  // As opening reads it: a UTF-8 file's text is its calculator bytes.
  return decodePlainText(bytes).text;
}

}  // namespace scrivle::journal
