// Writes a Windows Help 3.1 file from the topics of a help source.
//
// The file is an internal file system: a 16-byte header, the internal files one after another,
// each behind a 9-byte file header, and the directory (a B+ tree of names and offsets) last.
// The internal files written:
//   |SYSTEM    format version 3.1 with LZ77 topic blocks, the title and the contents topic
//   |TOPIC     the topics: per topic a topic header and one text record per paragraph, in blocks
//              of 4 KB; jumps name their target by the hash of its context name
//   |CONTEXT   B+ tree from context hash to the topic's position
//   |CTXOMAP   the (empty) table of numeric context ids
//   |FONT      the two fonts of the text: body text and headings
//   |TTLBTREE  B+ tree from the topic's position to its title
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "context_name.h"
#include "help_source.h"

namespace hlpc {

// The whole help file. Throws HelpSourceError when a paragraph cannot be laid out (it names the
// paragraph's line).
std::vector<uint8_t> WriteHelpFile(const HelpBook& book);

// The layout constants a reader needs, shared with the tests.
const uint32_t kHelpMagic = 0x00035F3F;
const uint16_t kBtreeMagic = 0x293B;
const uint16_t kSystemMagic = 0x036C;
const uint16_t kVersionMinor = 21;  // Windows 3.1
const uint16_t kSystemFlagsLz77 = 4;   // topic blocks of 4 KB holding LZ77 data
const size_t kTopicBlockSize = 4096;
const size_t kTopicBlockHeader = 12;
// A block's data unpacks into 16 KB; topic positions count in these units.
const size_t kTopicUnpackedSize = 0x4000;
// What one block carries: its 4084 bytes hold 453 groups of a flag byte and eight literal bytes.
const size_t kTopicBlockData = (kTopicBlockSize - kTopicBlockHeader) / 9 * 8;

}  // namespace hlpc
