// A reader of help files after the format's description, independent of the writer: the file
// system header, the directory and the other B+ trees, the internal files' headers and the
// records of |TOPIC. Shared by the compiler's tests.
#pragma once

#include <gtest/gtest.h>
#include <stdint.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "help_source.h"
#include "help_writer.h"

namespace hlpc_test {

using namespace hlpc;

// The character values of the viewer's context hash, as the format description lists them.
inline const signed char kHashTable[256] = {
    0x00, -0x2F, -0x2E, -0x2D, -0x2C, -0x2B, -0x2A, -0x29, -0x28, -0x27, -0x26, -0x25, -0x24, -0x23, -0x22, -0x21,
    -0x20, -0x1F, -0x1E, -0x1D, -0x1C, -0x1B, -0x1A, -0x19, -0x18, -0x17, -0x16, -0x15, -0x14, -0x13, -0x12, -0x11,
    -0x10, 0x0B, -0x0E, -0x0D, -0x0C, -0x0B, -0x0A, -0x09, -0x08, -0x07, -0x06, -0x05, -0x04, -0x03, 0x0C, -0x01,
    0x0A, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0D,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,
    -0x80, -0x7F, -0x7E, -0x7D, 0x0B, -0x7B, -0x7A, -0x79, -0x78, -0x77, -0x76, -0x75, -0x74, -0x73, -0x72, -0x71,
    -0x70, -0x6F, -0x6E, -0x6D, -0x6C, -0x6B, -0x6A, -0x69, -0x68, -0x67, -0x66, -0x65, -0x64, -0x63, -0x62, -0x61,
    -0x60, -0x5F, -0x5E, -0x5D, -0x5C, -0x5B, -0x5A, -0x59, -0x58, -0x57, -0x56, -0x55, -0x54, -0x53, -0x52, -0x51,
    -0x50, -0x4F, -0x4E, -0x4D, -0x4C, -0x4B, -0x4A, -0x49, -0x48, -0x47, -0x46, -0x45, -0x44, -0x43, -0x42, -0x41,
    -0x40, -0x3F, -0x3E, -0x3D, -0x3C, -0x3B, -0x3A, -0x39, -0x38, -0x37, -0x36, -0x35, -0x34, -0x33, -0x32, -0x31,
};

inline int32_t TableHash(const std::string& s) {
  if (s.empty()) return 1;
  uint32_t h = 0;
  for (unsigned char c : s) h = h * 43 + uint32_t(int32_t(kHashTable[c]));
  return int32_t(h);
}

// ---- a reader after the format description ---------------------------------------------------
struct HelpFile {
  std::vector<uint8_t> b;

  uint32_t U32(size_t at) const {
    EXPECT_LE(at + 4, b.size());
    if (at + 4 > b.size()) return 0;
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
  }
  unsigned U16(size_t at) const {
    EXPECT_LE(at + 2, b.size());
    if (at + 2 > b.size()) return 0;
    return b[at] | b[at + 1] << 8;
  }
  std::string Z(size_t at) const {
    std::string s;
    while (at < b.size() && b[at]) s += char(b[at++]);
    return s;
  }
};

// One internal file: where its content starts and how long it is.
struct Internal {
  size_t start = 0, size = 0;
};

// A B+ tree read from its header: the records of every leaf, in order, as raw byte ranges
// starting at each record (the caller knows its layout), found by walking from the root
// through the first child of every index page and then along the leaves.
struct Tree {
  unsigned flags = 0, pageSize = 0, levels = 0, pages = 0, root = 0;
  std::string structure;
  uint32_t entries = 0;
  std::vector<size_t> leafRecords;  // file offsets of the records
};

// Reads a tree whose leaf records have a key of `keySize` bytes (0: a NUL-terminated string)
// and a value of `valueSize` bytes (0: a NUL-terminated string).
inline Tree ReadTree(const HelpFile& f, Internal in, size_t keySize, size_t valueSize) {
  Tree t;
  const size_t h = in.start;
  EXPECT_EQ(f.U16(h), kBtreeMagic);
  t.flags = f.U16(h + 2);
  t.pageSize = f.U16(h + 4);
  for (int i = 0; i < 16 && f.b[h + 6 + i]; ++i) t.structure += char(f.b[h + 6 + i]);
  EXPECT_EQ(f.U16(h + 22), 0u);
  t.root = f.U16(h + 26);
  EXPECT_EQ(f.U16(h + 28), 0xFFFFu);
  t.pages = f.U16(h + 30);
  t.levels = f.U16(h + 32);
  t.entries = f.U32(h + 34);
  const size_t pages = h + 38;
  EXPECT_EQ(in.size, 38 + size_t(t.pages) * t.pageSize);
  auto size = [&](size_t at, size_t fixed) { return fixed ? fixed : f.Z(at).size() + 1; };
  unsigned page = t.root;
  for (unsigned l = 1; l < t.levels; ++l) {
    const size_t p = pages + size_t(page) * t.pageSize;
    const unsigned count = f.U16(p + 2);
    size_t at = p + 6, used = 6;
    for (unsigned i = 0; i < count; ++i) {
      const size_t k = size(at, keySize);
      at += k + 2;
      used += k + 2;
    }
    EXPECT_EQ(f.U16(p), t.pageSize - used) << "index page " << page;
    page = f.U16(p + 4);
  }
  int previous = -1;
  while (page != 0xFFFF) {
    EXPECT_LT(page, t.pages);
    if (page >= t.pages) break;
    const size_t p = pages + size_t(page) * t.pageSize;
    EXPECT_EQ(int16_t(f.U16(p + 4)), previous);
    const unsigned count = f.U16(p + 2);
    size_t at = p + 8;
    for (unsigned i = 0; i < count; ++i) {
      t.leafRecords.push_back(at);
      const size_t k = size(at, keySize);
      at += k + size(at + k, valueSize);
    }
    EXPECT_EQ(f.U16(p), t.pageSize - (at - p)) << "leaf page " << page;
    previous = int(page);
    page = f.U16(p + 6);
  }
  EXPECT_EQ(t.leafRecords.size(), t.entries);
  return t;
}

// Looks a 4-byte key up the way a viewer does: down the index pages by key, then in the leaf.
inline bool FindLong(const HelpFile& f, Internal in, int32_t key, uint32_t& value) {
  const size_t h = in.start;
  const unsigned pageSize = f.U16(h + 4), levels = f.U16(h + 32);
  const size_t pages = h + 38;
  unsigned page = f.U16(h + 26);
  for (unsigned l = 1; l < levels; ++l) {
    const size_t p = pages + size_t(page) * pageSize;
    unsigned next = f.U16(p + 4);
    for (unsigned i = 0; i < f.U16(p + 2); ++i)
      if (int32_t(f.U32(p + 6 + i * 6)) <= key) next = f.U16(p + 6 + i * 6 + 4);
    page = next;
  }
  const size_t p = pages + size_t(page) * pageSize;
  for (unsigned i = 0; i < f.U16(p + 2); ++i)
    if (int32_t(f.U32(p + 8 + i * 8)) == key) {
      value = f.U32(p + 8 + i * 8 + 4);
      return true;
    }
  return false;
}

// A record of |TOPIC as the walk from topic position 12 finds it.
struct TopicRecord {
  uint32_t pos;
  unsigned type;
  uint32_t topicOffset;  // the topic offset of its start
  std::vector<uint8_t> data1, data2;
};

struct Read {
  HelpFile f;
  std::map<std::string, Internal> files;
  std::vector<TopicRecord> records;
  std::map<uint32_t, size_t> headerByOffset;  // topic offset -> index of its topic header record
};

// LZ77 as the format describes it: a flag byte, its bits from the lowest; a clear bit copies one
// byte, a set bit reads a word of a 12-bit distance and a 4-bit length and copies length + 3
// bytes from distance + 1 back. Unpacks in[from, end) into out at `at`; returns the bytes made.
inline size_t LZ77Unpack(const std::vector<uint8_t>& in, size_t from, size_t end, std::vector<uint8_t>& out, size_t at) {
  size_t made = 0;
  while (from < end) {
    const uint8_t flags = in[from++];
    for (int bit = 0; bit < 8 && from < end; ++bit) {
      if (!(flags & (1 << bit))) {
        if (made < 0x4000) out[at + made] = in[from];
        ++from, ++made;
      } else {
        if (from + 2 > end) return made;
        const unsigned word = in[from] | in[from + 1] << 8;
        from += 2;
        const size_t distance = (word & 0xFFF) + 1, length = (word >> 12) + 3;
        for (size_t i = 0; i < length; ++i, ++made)
          if (made < 0x4000 && made >= distance) out[at + made] = out[at + made - distance];
      }
    }
  }
  return made;
}

inline uint32_t CompressedULong(const std::vector<uint8_t>& d, size_t& at) {
  const uint32_t v = d[at] | d[at + 1] << 8;
  if (!(v & 1)) return at += 2, v / 2;
  const uint32_t w = v | uint32_t(d[at + 2]) << 16 | uint32_t(d[at + 3]) << 24;
  return at += 4, w / 2;
}
inline unsigned CompressedUShort(const std::vector<uint8_t>& d, size_t& at) {
  if (!(d[at] & 1)) return d[at++] / 2;
  const unsigned v = d[at] | d[at + 1] << 8;
  return at += 2, v / 2;
}

inline Read ReadHelp(const std::vector<uint8_t>& bytes) {
  Read r;
  r.f.b = bytes;
  const HelpFile& f = r.f;
  EXPECT_EQ(f.U32(0), kHelpMagic);
  EXPECT_EQ(f.U32(8), 0xFFFFFFFFu);  // no free list
  EXPECT_EQ(f.U32(12), f.b.size());
  const uint32_t dir = f.U32(4);
  auto header = [&](size_t at) {
    Internal in;
    const uint32_t reserved = f.U32(at), used = f.U32(at + 4);
    EXPECT_EQ(reserved, used + 9) << "at " << at;
    EXPECT_EQ(f.b[at + 8], 4) << "at " << at;
    EXPECT_LE(at + reserved, f.b.size());
    in.start = at + 9;
    in.size = used;
    return in;
  };
  const Internal directory = header(dir);
  const Tree t = ReadTree(f, directory, 0, 4);
  EXPECT_EQ(t.flags, 0x0402u);
  EXPECT_EQ(t.pageSize, 1024u);
  EXPECT_EQ(t.structure, "z4");
  std::string last;
  std::vector<std::pair<size_t, size_t>> spans = {{0, 16}, {dir, dir + 9 + directory.size}};
  for (size_t rec : t.leafRecords) {
    const std::string name = f.Z(rec);
    EXPECT_LT(last, name) << "directory order";
    last = name;
    const uint32_t at = f.U32(rec + name.size() + 1);
    r.files[name] = header(at);
    spans.push_back({at, at + 9 + r.files[name].size});
  }
  // The internal files cover the file without overlapping.
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i) EXPECT_EQ(spans[i].first, spans[i - 1].second);
  EXPECT_EQ(spans.back().second, f.b.size());

  // |TOPIC: blocks of 4096 bytes, each with its 12-byte header and LZ77 data that unpacks into at
  // most 16 KB (the flags of |SYSTEM say so); records linked by topic positions.
  const Internal topic = r.files["|TOPIC"];
  EXPECT_EQ(topic.size % kTopicBlockSize, 0u);
  const size_t blocks = topic.size / kTopicBlockSize;
  std::vector<uint8_t> data(blocks * 0x4000, 0);  // every block unpacked into its 16 KB
  for (size_t b = 0; b < blocks; ++b) {
    const size_t from = topic.start + b * kTopicBlockSize + kTopicBlockHeader, end = topic.start + (b + 1) * kTopicBlockSize;
    EXPECT_LE(LZ77Unpack(f.b, from, end, data, b * 0x4000), 0x4000u);
  }
  uint32_t pos = 12, previous = 0xFFFFFFFF, chars = 0;
  size_t block = SIZE_MAX;
  while (pos != 0xFFFFFFFF && r.records.size() < 100000) {
    const size_t at = pos - 12;
    EXPECT_LT(at + 21, data.size());
    if (at + 21 >= data.size()) break;
    const size_t b = at / 0x4000;
    if (b != block) {
      // The block's header names its first record.
      EXPECT_EQ(f.U32(topic.start + b * kTopicBlockSize + 4), pos);
      EXPECT_EQ(f.U32(topic.start + b * kTopicBlockSize), previous);
      block = b;
      chars = 0;
    }
    auto u32 = [&](size_t o) { return uint32_t(data[o]) | uint32_t(data[o + 1]) << 8 | uint32_t(data[o + 2]) << 16 | uint32_t(data[o + 3]) << 24; };
    TopicRecord rec;
    rec.pos = pos;
    const uint32_t size = u32(at), len2 = u32(at + 4), len1 = u32(at + 16);
    EXPECT_EQ(u32(at + 8), previous);
    EXPECT_EQ(size, len1 + len2);  // no phrase compression
    EXPECT_LE(at % 0x4000 + size, 0x4000u) << "record crosses its block";
    rec.type = data[at + 20];
    rec.data1.assign(data.begin() + at + 21, data.begin() + at + len1);
    rec.data2.assign(data.begin() + at + len1, data.begin() + at + size);
    rec.topicOffset = uint32_t(b) * 0x8000 + chars;
    if (rec.type == 0x20) {
      size_t o = 0;
      EXPECT_EQ(CompressedULong(rec.data1, o), len2);
      chars += CompressedUShort(rec.data1, o);
    } else {
      EXPECT_EQ(rec.type, 2u);
      EXPECT_EQ(rec.data1.size(), 28u);
      r.headerByOffset[rec.topicOffset] = r.records.size();
    }
    previous = pos;
    pos = u32(at + 12);
    r.records.push_back(rec);
  }
  return r;
}

inline std::string TitleOf(const TopicRecord& header) { return std::string(header.data2.begin(), header.data2.end() - 1); }

// The text of a text record and the hashes its jumps name, following its formatting commands.
struct Text {
  std::string text;
  std::vector<int32_t> jumps;
};
inline Text TextOf(const TopicRecord& rec) {
  Text t;
  size_t o = 0;
  CompressedULong(rec.data1, o);
  CompressedUShort(rec.data1, o);
  o += 4;
  const unsigned bits = rec.data1[o] | rec.data1[o + 1] << 8;
  o += 2;
  for (unsigned bit = 1; bit <= 0x40; bit <<= 1)
    if (bits & bit) o += (rec.data1[o] & 1) ? 2 : 1;
  size_t s = 0;
  while (o < rec.data1.size()) {
    const std::string piece(reinterpret_cast<const char*>(rec.data2.data() + s));
    t.text += piece;
    s += piece.size() + 1;
    const uint8_t c = rec.data1[o++];
    if (c == 0xFF) break;
    if (c == 0x80) o += 2;
    else if (c == 0xE3) {
      t.jumps.push_back(int32_t(rec.data1[o] | rec.data1[o + 1] << 8 | rec.data1[o + 2] << 16 | uint32_t(rec.data1[o + 3]) << 24));
      o += 4;
    } else if (c == 0x82) t.text += "\n";
  }
  EXPECT_EQ(s, rec.data2.size());
  return t;
}

inline std::vector<uint8_t> Compile(const std::string& source) { return WriteHelpFile(ParseHelpSource(source)); }

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace hlpc_test
