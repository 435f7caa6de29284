// Lays out the internal files of a Windows Help 3.1 file (see help_writer.h for the list).
//
// |TOPIC is written in the layout of LZ77 blocks, with literals only: every group of eight bytes
// behind a flag byte 0. So it is not smaller than the plain data, but its positions mean the same
// to every reader: the layout of uncompressed 4 KB blocks is read with positions in 4084-byte
// units by the format's description and in 16 KB units by Wine's viewer, while positions in LZ77
// blocks count 16 KB a block for both.
//
// Positions in |TOPIC come in two kinds:
//   - a topic position: block number * 16384 + offset in the block's unpacked data + 12; the
//     records link each other this way;
//   - a topic offset, by which |CONTEXT, |TTLBTREE and |SYSTEM name a topic: block number * 32768
//     + the characters of the text records that begin in that block before the topic.
// No record crosses a block boundary: a record that does not fit into what is left of a block
// starts the next one. So every record lies whole in its block, and a topic offset needs no
// knowledge of the block before.
#include "help_writer.h"

#include <string.h>

#include <algorithm>

namespace hlpc {

namespace {

typedef std::vector<uint8_t> Bytes;

void Put8(Bytes& b, unsigned v) { b.push_back(uint8_t(v)); }
void Put16(Bytes& b, unsigned v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void PutZ(Bytes& b, const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
  b.push_back(0);
}
void Patch32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}
void Patch16(Bytes& b, size_t at, unsigned v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}

const uint32_t kNone = 0xFFFFFFFF;

// ---- B+ trees ------------------------------------------------------------------------------
// A B+ tree of fixed-size pages: leaves hold the records in key order and are linked both ways;
// index pages hold, for every child but the first, the child's first key and its page number,
// and the first child's page number in their header. The root is the last page written.

struct TreeRecord {
  Bytes key;
  Bytes value;
};

const size_t kLeafHeader = 8;
const size_t kIndexHeader = 6;
const size_t kTreeHeader = 38;

// A leaf page of a tree: its number and the index of its first record.
struct TreeLeaf {
  unsigned page;
  uint32_t firstRecord;
};

Bytes WriteTree(uint16_t flags, uint16_t pageSize, const char* structure, const std::vector<TreeRecord>& records,
                std::vector<TreeLeaf>* leaves = nullptr) {
  std::vector<Bytes> pages;
  struct Child {
    Bytes firstKey;
    unsigned page;
  };
  std::vector<Child> level;
  // Leaves.
  size_t i = 0;
  do {
    Bytes page(pageSize, 0);
    size_t used = kLeafHeader;
    unsigned count = 0;
    Bytes firstKey;
    while (i < records.size()) {
      const size_t size = records[i].key.size() + records[i].value.size();
      if (used + size > pageSize) break;
      if (count == 0) firstKey = records[i].key;
      std::copy(records[i].key.begin(), records[i].key.end(), page.begin() + used);
      std::copy(records[i].value.begin(), records[i].value.end(), page.begin() + used + records[i].key.size());
      used += size;
      ++count;
      ++i;
    }
    Patch16(page, 0, unsigned(pageSize - used));
    Patch16(page, 2, count);
    const unsigned number = unsigned(pages.size());
    if (leaves) leaves->push_back({number, uint32_t(i - count)});
    Patch16(page, 4, number == 0 ? 0xFFFF : number - 1);
    Patch16(page, 6, 0xFFFF);
    if (number > 0) Patch16(pages.back(), 6, number);
    pages.push_back(page);
    level.push_back({firstKey, number});
  } while (i < records.size());
  unsigned levels = 1;
  // Index levels until one page is left.
  while (level.size() > 1) {
    std::vector<Child> upper;
    size_t c = 0;
    while (c < level.size()) {
      Bytes page(pageSize, 0);
      size_t used = kIndexHeader;
      unsigned count = 0;
      const Child first = level[c++];
      while (c < level.size() && used + level[c].firstKey.size() + 2 <= pageSize) {
        std::copy(level[c].firstKey.begin(), level[c].firstKey.end(), page.begin() + used);
        used += level[c].firstKey.size();
        Patch16(page, used, level[c].page);
        used += 2;
        ++count;
        ++c;
      }
      Patch16(page, 0, unsigned(pageSize - used));
      Patch16(page, 2, count);
      Patch16(page, 4, first.page);
      upper.push_back({first.firstKey, unsigned(pages.size())});
      pages.push_back(page);
    }
    level = upper;
    ++levels;
  }
  Bytes out;
  Put16(out, kBtreeMagic);
  Put16(out, flags);
  Put16(out, pageSize);
  Bytes s(16, 0);  // the structure's letters, NUL-padded
  memcpy(s.data(), structure, std::min(strlen(structure), s.size() - 1));
  out.insert(out.end(), s.begin(), s.end());
  Put16(out, 0);                          // must be zero
  Put16(out, 0);                          // page splits
  Put16(out, level.front().page);         // root page
  Put16(out, 0xFFFF);                     // must be -1
  Put16(out, unsigned(pages.size()));     // total pages
  Put16(out, levels);
  Put32(out, uint32_t(records.size()));
  for (const Bytes& p : pages) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Long(uint32_t v) {
  Bytes b;
  Put32(b, v);
  return b;
}

// ---- compressed numbers of the text records ----------------------------------------------------
void PutCompressedUShort(Bytes& b, unsigned v) {
  if (v < 0x80) Put8(b, v * 2);
  else Put16(b, v * 2 + 1);
}
void PutCompressedShort(Bytes& b, int v) {
  if (v >= -64 && v < 64) Put8(b, unsigned(v + 64) * 2);
  else Put16(b, unsigned(v + 16384) * 2 + 1);
}
void PutCompressedULong(Bytes& b, uint32_t v) {
  if (v < 0x8000) Put16(b, v * 2);
  else Put32(b, v * 2 + 1);
}

// ---- |TOPIC --------------------------------------------------------------------------------
const uint8_t kTopicHeaderRecord = 0x02;
const uint8_t kTextRecord = 0x20;
const size_t kLinkHeader = 21;
const size_t kTopicHeaderData = 28;

// Fonts of |FONT, by number.
const unsigned kBodyFont = 0;
const unsigned kHeadingFont = 1;

// Paragraph formatting flags and their values (half points).
const unsigned kSpacingAbove = 0x0002;
const unsigned kLeftIndent = 0x0010;
const unsigned kFirstLineIndent = 0x0040;

// Character formatting commands of a text record.
const uint8_t kCmdFont = 0x80;
const uint8_t kCmdEndOfParagraph = 0x82;
const uint8_t kCmdEndOfHotspot = 0x89;
const uint8_t kCmdTopicJump = 0xE3;
const uint8_t kCmdEnd = 0xFF;

struct Link {
  uint8_t type;
  Bytes data1;  // without the link header
  Bytes data2;  // the strings
  size_t topic;
  size_t pos = 0;  // in the topic data without block headers
  size_t size() const { return kLinkHeader + data1.size() + data2.size(); }
};

Link TextLink(const HelpParagraph& p, size_t topic) {
  Link link{kTextRecord, {}, {}, topic};
  // The strings and the commands between them: every command follows one string.
  Bytes commands;
  std::string current;
  auto command = [&](const Bytes& c) {
    PutZ(link.data2, current);
    current.clear();
    commands.insert(commands.end(), c.begin(), c.end());
  };
  Bytes font = {kCmdFont};
  Put16(font, p.kind == HelpParagraph::kHeading ? kHeadingFont : kBodyFont);
  command(font);
  if (p.kind == HelpParagraph::kItem) current = "\x95 ";  // a bullet in code page 1252
  for (const HelpRun& r : p.runs) {
    if (r.target.empty()) {
      current += r.text;
      continue;
    }
    Bytes jump = {kCmdTopicJump};
    Put32(jump, uint32_t(ContextHash(r.target)));
    command(jump);
    current = r.text;
    command({kCmdEndOfHotspot});
  }
  command({kCmdEndOfParagraph});
  command({kCmdEnd});

  Bytes& d = link.data1;
  PutCompressedULong(d, uint32_t(link.data2.size()));  // size of the text
  PutCompressedUShort(d, unsigned(link.data2.size()));  // characters counted for topic offsets
  Put8(d, 0);
  Put8(d, 0x80);
  Put16(d, 0);  // paragraph id
  switch (p.kind) {
    case HelpParagraph::kHeading:
      Put16(d, kSpacingAbove);
      PutCompressedShort(d, 12);
      break;
    case HelpParagraph::kText:
      Put16(d, kSpacingAbove);
      PutCompressedShort(d, 6);
      break;
    case HelpParagraph::kItem:
      Put16(d, kSpacingAbove | kLeftIndent | kFirstLineIndent);
      PutCompressedShort(d, 3);
      PutCompressedShort(d, 24);
      PutCompressedShort(d, -12);
      break;
  }
  d.insert(d.end(), commands.begin(), commands.end());
  return link;
}

// `pos` counts kTopicBlockData bytes a block.
uint32_t TopicPos(size_t pos) {
  return uint32_t(kTopicBlockHeader + pos / kTopicBlockData * kTopicUnpackedSize + pos % kTopicBlockData);
}

struct TopicData {
  Bytes file;
  std::vector<uint32_t> topicOffsets;  // per topic
};

TopicData WriteTopics(const HelpBook& book) {
  std::vector<Link> links;
  std::vector<size_t> headerLink;  // per topic, its header's index in links
  for (size_t t = 0; t < book.topics.size(); ++t) {
    const HelpTopic& topic = book.topics[t];
    headerLink.push_back(links.size());
    Link header{kTopicHeaderRecord, Bytes(kTopicHeaderData, 0), {}, t};
    PutZ(header.data2, topic.title);
    links.push_back(std::move(header));
    for (const HelpParagraph& p : topic.paragraphs) {
      links.push_back(TextLink(p, t));
      if (links.back().size() > kTopicBlockData)
        throw HelpSourceError(p.line, "der Absatz ist mit seinen Spr\xC3\xBCngen zu lang f\xC3\xBCr einen Block der Hilfedatei");
    }
  }
  // Placement, and the characters before each record within its block.
  std::vector<uint32_t> charsBefore(links.size());
  size_t pos = 0;
  uint32_t chars = 0;
  for (size_t i = 0; i < links.size(); ++i) {
    const size_t used = pos % kTopicBlockData;
    if (used + links[i].size() > kTopicBlockData) pos += kTopicBlockData - used;
    if (pos % kTopicBlockData == 0) chars = 0;
    links[i].pos = pos;
    charsBefore[i] = chars;
    if (links[i].type == kTextRecord) chars += uint32_t(links[i].data2.size());
    pos += links[i].size();
  }
  const size_t blocks = (pos + kTopicBlockData - 1) / kTopicBlockData;
  TopicData out;
  for (size_t t = 0; t < book.topics.size(); ++t) {
    const size_t h = headerLink[t];
    out.topicOffsets.push_back(uint32_t(links[h].pos / kTopicBlockData) * 0x8000 + charsBefore[h]);
  }
  // The topic headers.
  for (size_t t = 0; t < book.topics.size(); ++t) {
    const size_t h = headerLink[t];
    const size_t end = t + 1 < book.topics.size() ? headerLink[t + 1] : links.size();
    size_t topicSize = 0;
    for (size_t i = h; i < end; ++i) topicSize += links[i].size();
    Bytes& d = links[h].data1;
    Patch32(d, 0, uint32_t(topicSize));
    Patch32(d, 4, t > 0 ? out.topicOffsets[t - 1] : kNone);        // browse back
    Patch32(d, 8, t + 1 < book.topics.size() ? out.topicOffsets[t + 1] : kNone);  // browse forward
    Patch32(d, 12, uint32_t(t));                                     // topic number
    Patch32(d, 16, kNone);                                           // no non-scrolling region
    Patch32(d, 20, h + 1 < links.size() ? TopicPos(links[h + 1].pos) : kNone);  // scrolling region
    Patch32(d, 24, t + 1 < book.topics.size() ? TopicPos(links[end].pos) : kNone);  // next topic
  }
  // The blocks: every block is written whole, the rest behind its last record zero.
  Bytes& f = out.file;
  f.assign(blocks * kTopicBlockSize, 0);
  size_t next = 0;  // first link not yet in a block
  size_t lastHeader = SIZE_MAX;
  for (size_t b = 0; b < blocks; ++b) {
    const size_t base = b * kTopicBlockSize;
    Patch32(f, base, next > 0 ? TopicPos(links[next - 1].pos) : kNone);
    Patch32(f, base + 4, TopicPos(links[next].pos));
    Patch32(f, base + 8, lastHeader == SIZE_MAX ? kNone : TopicPos(links[lastHeader].pos));
    Bytes data;  // the block's unpacked data
    while (next < links.size() && links[next].pos / kTopicBlockData == b) {
      const Link& l = links[next];
      Bytes rec;
      Put32(rec, uint32_t(l.size()));
      Put32(rec, uint32_t(l.data2.size()));
      Put32(rec, next > 0 ? TopicPos(links[next - 1].pos) : kNone);
      Put32(rec, next + 1 < links.size() ? TopicPos(links[next + 1].pos) : kNone);
      Put32(rec, uint32_t(kLinkHeader + l.data1.size()));
      Put8(rec, l.type);
      rec.insert(rec.end(), l.data1.begin(), l.data1.end());
      rec.insert(rec.end(), l.data2.begin(), l.data2.end());
      data.resize(l.pos % kTopicBlockData);
      data.insert(data.end(), rec.begin(), rec.end());
      if (l.type == kTopicHeaderRecord) lastHeader = next;
      ++next;
    }
    // Literals only: a flag byte 0 before every eight bytes.
    size_t at = base + kTopicBlockHeader;
    for (size_t i = 0; i < data.size(); i += 8) {
      f[at++] = 0;
      const size_t n = std::min<size_t>(8, data.size() - i);
      std::copy(data.begin() + i, data.begin() + i + n, f.begin() + at);
      at += n;
    }
  }
  return out;
}

// ---- the other internal files ----------------------------------------------------------------
Bytes WriteSystem(const HelpBook& book, uint32_t contentsOffset) {
  Bytes b;
  Put16(b, kSystemMagic);
  Put16(b, kVersionMinor);
  Put16(b, 1);   // major version
  Put32(b, 0);   // date of making: none, so that one source always gives the same file
  Put16(b, kSystemFlagsLz77);
  Put16(b, 1);   // the title
  Put16(b, unsigned(book.title.size() + 1));
  PutZ(b, book.title);
  Put16(b, 3);   // the contents topic
  Put16(b, 4);
  Put32(b, contentsOffset);
  return b;
}

const char kFaceName[] = "Arial";
const size_t kFaceNameBytes = 20;

Bytes WriteFonts() {
  Bytes b;
  Put16(b, 1);   // face names
  Put16(b, 2);   // font descriptors
  Put16(b, 8);   // face names from here
  Put16(b, unsigned(8 + kFaceNameBytes));  // descriptors from here
  Bytes face(kFaceNameBytes, 0);
  memcpy(face.data(), kFaceName, sizeof kFaceName - 1);
  b.insert(b.end(), face.begin(), face.end());
  const uint8_t kSwiss = 3;
  // Attributes (bit 0 bold), size in half points, family, face name, colour and background.
  const struct {
    uint8_t attributes, halfPoints;
  } fonts[] = {{0, 20}, {1, 28}};
  for (const auto& font : fonts) {
    Put8(b, font.attributes);
    Put8(b, font.halfPoints);
    Put8(b, kSwiss);
    Put16(b, 0);
    Put8(b, 0), Put8(b, 0), Put8(b, 0);
    Put8(b, 0xFF), Put8(b, 0xFF), Put8(b, 0xFF);
  }
  return b;
}

// One internal file with its header: reserved space (with the header), used space, flags.
void PutInternalFile(Bytes& out, const Bytes& content) {
  Put32(out, uint32_t(content.size() + 9));
  Put32(out, uint32_t(content.size()));
  Put8(out, 4);
  out.insert(out.end(), content.begin(), content.end());
}

// ---- the keyword index -------------------------------------------------------------------------
// |KWBTREE: a B+ tree from each keyword (in the index's order) to the number of its topics and
// where their list begins in |KWDATA; |KWDATA: the topic offsets of all keywords, one list after
// another; |KWMAP: for every leaf page of |KWBTREE the index of its first keyword.
struct KeywordFiles {
  Bytes tree, data, map;
};

KeywordFiles WriteKeywords(const HelpBook& book, const std::vector<uint32_t>& topicOffsets) {
  struct Keyword {
    std::string text;
    std::vector<uint32_t> topics;
  };
  std::vector<Keyword> keywords;
  for (size_t t = 0; t < book.topics.size(); ++t)
    for (const std::string& k : book.topics[t].keywords) {
      auto same = std::find_if(keywords.begin(), keywords.end(), [&](const Keyword& w) { return SameKeyword(w.text, k); });
      if (same == keywords.end()) keywords.push_back({k, {topicOffsets[t]}});
      else same->topics.push_back(topicOffsets[t]);
    }
  std::stable_sort(keywords.begin(), keywords.end(),
                   [](const Keyword& a, const Keyword& b) { return CompareKeywords(a.text, b.text) < 0; });
  KeywordFiles out;
  std::vector<TreeRecord> records;
  for (const Keyword& k : keywords) {
    TreeRecord r;
    PutZ(r.key, k.text);
    Put16(r.value, unsigned(k.topics.size()));
    Put32(r.value, uint32_t(out.data.size()));
    records.push_back(r);
    for (uint32_t offset : k.topics) Put32(out.data, offset);
  }
  std::vector<TreeLeaf> leaves;
  out.tree = WriteTree(0x0002, 2048, "z24", records, &leaves);
  Put16(out.map, unsigned(leaves.size()));
  for (const TreeLeaf& leaf : leaves) {
    Put32(out.map, leaf.firstRecord);
    Put16(out.map, leaf.page);
  }
  return out;
}

}  // namespace

std::vector<uint8_t> WriteHelpFile(const HelpBook& book) {
  TopicData topics = WriteTopics(book);
  uint32_t contentsOffset = topics.topicOffsets.front();
  std::vector<TreeRecord> contexts, titles;
  for (size_t t = 0; t < book.topics.size(); ++t) {
    if (book.topics[t].context == book.contents) contentsOffset = topics.topicOffsets[t];
    contexts.push_back({Long(uint32_t(ContextHash(book.topics[t].context))), Long(topics.topicOffsets[t])});
    Bytes title;
    PutZ(title, book.topics[t].title);
    titles.push_back({Long(topics.topicOffsets[t]), title});
  }
  // Context hashes in the order of signed numbers, as the viewer compares them.
  std::sort(contexts.begin(), contexts.end(), [](const TreeRecord& a, const TreeRecord& b) {
    auto value = [](const Bytes& k) { return int32_t(uint32_t(k[0]) | uint32_t(k[1]) << 8 | uint32_t(k[2]) << 16 | uint32_t(k[3]) << 24); };
    return value(a.key) < value(b.key);
  });
  struct Named {
    const char* name;
    Bytes content;
  };
  Bytes ctxomap;
  Put16(ctxomap, 0);
  std::vector<Named> files = {
      {"|CONTEXT", WriteTree(0x0002, 2048, "L4", contexts)},
      {"|CTXOMAP", ctxomap},
      {"|FONT", WriteFonts()},
      {"|SYSTEM", WriteSystem(book, contentsOffset)},
      {"|TOPIC", std::move(topics.file)},
      {"|TTLBTREE", WriteTree(0x0002, 2048, "Lz", titles)},
  };
  bool anyKeyword = false;
  for (const HelpTopic& t : book.topics) anyKeyword = anyKeyword || !t.keywords.empty();
  if (anyKeyword) {
    KeywordFiles k = WriteKeywords(book, topics.topicOffsets);
    files.push_back({"|KWBTREE", std::move(k.tree)});
    files.push_back({"|KWDATA", std::move(k.data)});
    files.push_back({"|KWMAP", std::move(k.map)});
  }
  size_t total = 16;
  for (const Named& f : files) total += 9 + f.content.size();
  Bytes out(16, 0);
  out.reserve(total + 9 + kTreeHeader + 1024);
  std::vector<TreeRecord> directory;
  for (const Named& f : files) {
    Bytes name;
    PutZ(name, f.name);
    directory.push_back({name, Long(uint32_t(out.size()))});
    PutInternalFile(out, f.content);
  }
  // The directory's names in byte order.
  std::sort(directory.begin(), directory.end(), [](const TreeRecord& a, const TreeRecord& b) { return a.key < b.key; });
  const uint32_t directoryStart = uint32_t(out.size());
  PutInternalFile(out, WriteTree(0x0402, 1024, "z4", directory));
  Patch32(out, 0, kHelpMagic);
  Patch32(out, 4, directoryStart);
  Patch32(out, 8, kNone);  // no free list
  Patch32(out, 12, uint32_t(out.size()));
  return out;
}

}  // namespace hlpc
