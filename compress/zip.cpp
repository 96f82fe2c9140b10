#include "compress/zip.h"

#include <array>
#include <charconv>
#include <clocale>
#include <cstdint>
#include <stdexcept>
#include <system_error>

#include "calc/tifile_layout.h"
#include "document/tifile.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace scrivle {

namespace {

constexpr int kSymbols = 256;
constexpr std::uint16_t kFirstNode = 256;
constexpr std::size_t kBlockHeader = 10;
// Codes are written through a 64-bit accumulator holding fewer than 32 pending bits.
// A Huffman leaf at depth d needs a total weight of at least Fibonacci(d + 2), so with at
// most 64000 bytes no code is longer than 22 bits.
constexpr unsigned kMaxCodeBits = 32;

constexpr std::string_view kMustBeTi = "Vous devez enregistrer le texte au format TI !!!";
constexpr std::string_view kNotEffective =
    "La compression n'a pas été efficace. Voulez-vous effacer le fichier zippé ?";

struct Code {
  std::uint64_t bits = 0;  // root-first: the branch at the root is bit 0
  unsigned length = 0;
};

// The code tree; internal node n (256...) has children left[n - 256], right[n - 256]
// (ids below 256 are leaves, the byte value itself).
struct Tree {
  std::array<std::uint16_t, kSymbols - 1> left{};
  std::array<std::uint16_t, kSymbols - 1> right{};
  std::uint16_t root = 0;
};

// Merges the two lightest live slots until one is left. Strict comparisons on an
// ascending scan make ties go to the lower slot number, and the merged node keeps the
// slot of its left child: the calculator-side decoder needs this exact tree.
Tree buildTree(const std::array<std::uint32_t, kSymbols>& counts) {
  std::array<std::uint32_t, kSymbols> weight = counts;
  std::array<std::uint16_t, kSymbols> node{};
  std::array<bool, kSymbols> live{};
  int liveCount = 0;
  for (int s = 0; s < kSymbols; ++s) {
    node[s] = static_cast<std::uint16_t>(s);
    live[s] = counts[s] != 0;
    liveCount += live[s] ? 1 : 0;
  }
  Tree tree;
  std::uint16_t next = kFirstNode;
  for (; liveCount > 1; --liveCount) {
    int a = -1;
    int b = -1;
    for (int s = 0; s < kSymbols; ++s) {
      if (!live[s]) {
        continue;
      }
      if (a < 0 || weight[s] < weight[a]) {
        b = a;
        a = s;
      } else if (b < 0 || weight[s] < weight[b]) {
        b = s;
      }
    }
    tree.left[next - kFirstNode] = node[a];
    tree.right[next - kFirstNode] = node[b];
    weight[a] += weight[b];
    node[a] = next;
    live[b] = false;
    tree.root = next++;
  }
  return tree;
}

void setBit(char* bytes, std::size_t bit) {
  bytes[bit / 8] =
      static_cast<char>(static_cast<unsigned char>(bytes[bit / 8]) | (1U << (bit % 8)));
}

void putBigEndian16(char* at, std::size_t value) {
  at[0] = static_cast<char>((value >> 8) & 0xFF);
  at[1] = static_cast<char>(value & 0xFF);
}

std::string tooLongText(std::size_t bodySize) {
  return "Ce texte est trop long pour être zippé : son contenu fait " + std::to_string(bodySize) +
         " octets et la compression est limitée à 64000 octets.";
}

}  // namespace

void ZipBody(std::string_view body, std::string& output) {
  if (body.size() > kZipMaxBody) {
    // Encoding only the first 64000 bytes would put a cut text on the calculator.
    throw ZipRefused(tooLongText(body.size()));
  }
  std::array<std::uint32_t, kSymbols> counts{};
  for (const char c : body) {
    ++counts[static_cast<unsigned char>(c)];
  }
  std::size_t leaves = 0;
  for (const std::uint32_t n : counts) {
    leaves += n != 0 ? 1 : 0;
  }
  if (leaves < 2) {
    throw ZipRefused(
        "Ce texte ne peut pas être zippé : il doit contenir au moins deux caractères "
        "différents.");
  }

  const Tree tree = buildTree(counts);

  // One preorder walk gives the leaf order, the shape bits and every code.
  std::array<Code, kSymbols> codes{};
  std::array<unsigned char, kSymbols> symbols{};
  std::array<bool, 2 * kSymbols - 1> shape{};  // true = internal node
  std::size_t symbolCount = 0;
  std::size_t shapeCount = 0;
  struct Pending {
    std::uint16_t id;
    Code code;
  };
  std::array<Pending, kSymbols> stack{};
  std::size_t depth = 0;
  stack[depth++] = {tree.root, {}};
  while (depth > 0) {
    const Pending p = stack[--depth];
    if (p.id < kFirstNode) {
      shape[shapeCount++] = false;
      symbols[symbolCount++] = static_cast<unsigned char>(p.id);
      codes[p.id] = p.code;
      continue;
    }
    shape[shapeCount++] = true;
    if (p.code.length >= kMaxCodeBits) {
      throw std::logic_error("code Huffman trop long");
    }
    const Code toLeft{p.code.bits, p.code.length + 1};
    const Code toRight{p.code.bits | (std::uint64_t{1} << p.code.length), p.code.length + 1};
    stack[depth++] = {tree.right[p.id - kFirstNode], toRight};
    stack[depth++] = {tree.left[p.id - kFirstNode], toLeft};
  }

  std::uint64_t dataBits = 0;
  for (int s = 0; s < kSymbols; ++s) {
    dataBits += std::uint64_t{counts[s]} * codes[s].length;
  }
  const std::size_t dataOffset = kBlockHeader + leaves + (2 * leaves + 6) / 8;
  std::size_t blockSize = dataOffset + static_cast<std::size_t>((dataBits + 7) / 8);
  blockSize += blockSize % 2;
  if (blockSize > kZipBlockCapacity) {
    throw ZipRefused(
        "Ce texte ne peut pas être zippé : une fois compressé, il dépasserait la taille "
        "maximale de 64000 octets.");
  }

  const std::size_t start = output.size();
  output.resize(start + blockSize, '\0');
  char* block = output.data() + start;
  block[1] = 0x01;
  putBigEndian16(block + 2, leaves);
  putBigEndian16(block + 4, dataOffset);
  putBigEndian16(block + 8, body.size());
  for (std::size_t i = 0; i < symbolCount; ++i) {
    block[kBlockHeader + i] = static_cast<char>(symbols[i]);
  }
  char* shapeBytes = block + kBlockHeader + leaves;
  for (std::size_t i = 0; i < shapeCount; ++i) {
    if (shape[i]) {
      setBit(shapeBytes, i);
    }
  }

  // LSB-first: the first bit of the stream is bit 0 of the first byte.
  auto* out = reinterpret_cast<unsigned char*>(block + dataOffset);
  std::uint64_t pending = 0;
  unsigned pendingBits = 0;
  for (const char c : body) {
    const Code& code = codes[static_cast<unsigned char>(c)];
    pending |= code.bits << pendingBits;
    pendingBits += code.length;
    if (pendingBits >= 32) {
      out[0] = static_cast<unsigned char>(pending);
      out[1] = static_cast<unsigned char>(pending >> 8);
      out[2] = static_cast<unsigned char>(pending >> 16);
      out[3] = static_cast<unsigned char>(pending >> 24);
      out += 4;
      pending >>= 32;
      pendingBits -= 32;
    }
  }
  for (; pendingBits > 0; pendingBits = pendingBits > 8 ? pendingBits - 8 : 0) {
    *out++ = static_cast<unsigned char>(pending);
    pending >>= 8;
  }
}

std::string ZipTiFile(std::string_view source) {
  if (source.size() < kZipMinSource) {
    throw ZipRefused(
        "Ce fichier est trop court pour être un texte TI : il ne peut pas être zippé.");
  }
  const std::string_view body = source.substr(tilayout::kDataOffset, source.size() - kZipMinSource);
  std::string out;
  out.reserve(kZipPrefixSize + body.size() + 1024);
  out.append(source.substr(0, tilayout::kTypeOffset));
  out.push_back(static_cast<char>(0x1C));
  out.append(
      source.substr(tilayout::kTypeOffset + 1, tilayout::kDataOffset - tilayout::kTypeOffset - 1));
  out.push_back(static_cast<char>(0x07));
  out.push_back(static_cast<char>(0xFF));
  ZipBody(body, out);
  out.append(std::string_view("\x00ZIP\x00\xF8", 6));

  const std::size_t total = out.size() + 2;
  for (std::size_t i = 0; i < 4; ++i) {
    out[tilayout::kFileLengthOffset + i] = static_cast<char>((total >> (8 * i)) & 0xFF);
  }
  putBigEndian16(out.data() + tilayout::kVarSizeOffset, out.size() - tilayout::kDataOffset);
  unsigned sum = 0;
  for (std::size_t i = tilayout::kVarSizeOffset; i < out.size(); ++i) {
    sum += static_cast<unsigned char>(out[i]);
  }
  out.push_back(static_cast<char>(sum & 0xFF));
  out.push_back(static_cast<char>((sum >> 8) & 0xFF));
  return out;
}

std::string zipStatistics(std::size_t sourceSize, std::size_t zippedSize,
                          std::string_view decimalSeparator) {
  const double a = static_cast<double>(sourceSize);
  const double rate = (a - static_cast<double>(zippedSize)) / a * 100.0;
  std::array<char, 64> digits{};
  const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), rate,
                                       std::chars_format::fixed, 2);
  std::string number(digits.data(), ec == std::errc() ? end : digits.data());
  if (const auto dot = number.find('.'); dot != std::string::npos) {
    number.replace(dot, 1, decimalSeparator);
  }
  return "Compression : " + std::to_string(sourceSize) + " -> " + std::to_string(zippedSize) +
         "\r\n\r\nTaux de compression : " + number + " %";
}

std::string localeDecimalSeparator() {
  // Read once per compression on the interface thread; nothing changes the locale then.
  const std::lconv* conv = std::localeconv();  // NOLINT(concurrency-mt-unsafe)
  if (conv == nullptr || conv->decimal_point == nullptr || *conv->decimal_point == '\0') {
    return ".";
  }
  return conv->decimal_point;
}

fs::path zipOutputPath(const fs::path& source) {
  fs::path::string_type name = source.native();
  if (!name.empty()) {
    name.back() = 'y';
  }
  return {name};
}

void ZipFile(const fs::path& path, Dialogs& dialogs, std::string_view decimalSeparator) {
  if (!isCalcExtension(path)) {
    dialogs.message(std::string(kMustBeTi));
    return;
  }
  const std::string source = readFile(path);
  std::string zipped;
  try {
    zipped = ZipTiFile(source);
  } catch (const ZipRefused& refused) {
    dialogs.message(refused.what());
    return;
  }
  const fs::path output = zipOutputPath(path);
  std::error_code ec;
  if (fs::equivalent(output, path, ec)) {
    // A link named like the output but leading to the source: writing would destroy it.
    dialogs.message("Le fichier " + fileNamePart(output) +
                    " désigne le texte d'origine : la compression n'a pas été enregistrée.");
    return;
  }
  // Written whole or not at all: a failed write leaves no half compressed file.
  writeFileAtomically(output, zipped);
  const std::string separator =
      decimalSeparator.empty() ? localeDecimalSeparator() : std::string(decimalSeparator);
  dialogs.message(zipStatistics(source.size() - tilayout::kDataOffset,
                                zipped.size() - tilayout::kDataOffset, separator));
  if (zipped.size() >= source.size() &&
      dialogs.confirm(std::string(kNotEffective), false) == Answer::Yes) {
    fs::remove(output);
  }
}

}  // namespace scrivle
