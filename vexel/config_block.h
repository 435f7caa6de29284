// The configuration block that the packer writes behind the installer's program image: 256 bytes
// starting with the magic "RIR", a flags byte, three length bytes and then the window title, the
// default target folder and the run command (8-bit strings without terminators).
#pragma once
#include <stddef.h>
#include <stdint.h>

namespace vexel {

// The program image is padded by the packer to exactly this many bytes; the block follows it and
// the zip archive follows the block (or the image, when there is no block).
const uint32_t kImageLength = 38400;
const uint32_t kBlockLength = 256;
const uint32_t kZipOriginWithBlock = kImageLength + kBlockLength;  // 38656

// Flag bits of the block.
const uint8_t kFlagOfferRun = 0x01;        // show the check box "Programm starten ?"
const uint8_t kFlagSelectableList = 0x02;  // entry list the user can pick from (else plain list)
const uint8_t kFlagNoOverwriteControls = 0x04;
const uint8_t kFlagRuleShift = 3;          // bits 3-4: 1 overwrite, 2 don't, 0 or 3 ask
const uint8_t kFlagRuleMask = 0x18;

// Control ids of the overwrite radio buttons; the overwrite mode is the id minus 501.
const int kRuleOverwrite = 501;
const int kRuleSkip = 502;
const int kRuleAsk = 503;

enum ConfigResult {
  kConfigNoBlock,   // no magic: defaults, archive at the end of the image
  kConfigOk,        // block read
  kConfigDamaged,   // magic present but the lengths reach past the block: defaults, archive behind the block
};

struct ConfigBlock {
  uint32_t zipOrigin;
  bool offerRun;
  bool selectableList;
  bool removeOverwriteControls;
  int defaultRule;  // kRuleOverwrite, kRuleSkip or kRuleAsk
  bool hasTitle, hasFolder, hasRun;
  bool folderIsTemp;  // the folder was "><": the caller puts the temporary folder in its place
  char title[256];
  char folder[261];
  char run[256];
};

// Defaults of an installer without a block.
void DefaultConfig(ConfigBlock& config);

// Reads the block from the bytes found at kImageLength (got = how many could be read, at most
// kBlockLength are looked at).
ConfigResult ReadConfigBlock(const unsigned char* bytes, size_t got, ConfigBlock& config);

// Builds a block for the packer. Returns false when the three texts do not fit into the block
// (each at most 255 bytes, together at most 249).
bool WriteConfigBlock(uint8_t flags, const char* title, const char* folder, const char* run,
                      unsigned char out[kBlockLength]);

// One part of the run command: part 1 is the text before the first "|" (the whole command without
// one), part 2 the text after it (empty without one). Every "><" is replaced by the target folder.
// Returns false (and an empty out) when the result does not fit into outSize bytes with its NUL.
bool SplitRunCommand(const char* command, int part, const char* target, char* out, size_t outSize);

}  // namespace vexel
