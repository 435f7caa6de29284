#include "config_block.h"

#include <string.h>

namespace vexel {

namespace {

// Copies a field of the block into a NUL-terminated buffer (the caller's buffers hold 256 bytes).
void CopyField(const unsigned char* from, size_t len, char* to) {
  memcpy(to, from, len);
  to[len] = '\0';
}

}  // namespace

void DefaultConfig(ConfigBlock& config) {
  memset(&config, 0, sizeof config);
  config.zipOrigin = kImageLength;
  config.offerRun = true;
  config.selectableList = true;
  config.removeOverwriteControls = false;
  config.defaultRule = kRuleAsk;
}

ConfigResult ReadConfigBlock(const unsigned char* bytes, size_t got, ConfigBlock& config) {
  DefaultConfig(config);
  if (got < 3 || memcmp(bytes, "RIR", 3) != 0) return kConfigNoBlock;
  config.zipOrigin = kZipOriginWithBlock;
  // Header: magic, flags, three lengths. A block cut short by the end of the file is as damaged
  // as one whose texts reach past its 256 bytes; both keep the defaults.
  if (got < 7) return kConfigDamaged;
  if (got > kBlockLength) got = kBlockLength;
  const size_t t = bytes[4], f = bytes[5], r = bytes[6];
  if (7 + t + f + r > got) return kConfigDamaged;

  const uint8_t flags = bytes[3];
  config.offerRun = (flags & kFlagOfferRun) != 0;
  config.selectableList = (flags & kFlagSelectableList) != 0;
  config.removeOverwriteControls = (flags & kFlagNoOverwriteControls) != 0;
  switch ((flags & kFlagRuleMask) >> kFlagRuleShift) {
    case 1: config.defaultRule = kRuleOverwrite; break;
    case 2: config.defaultRule = kRuleSkip; break;
    default: config.defaultRule = kRuleAsk; break;
  }
  const unsigned char* p = bytes + 7;
  config.hasTitle = t != 0;
  CopyField(p, t, config.title);
  p += t;
  config.hasFolder = f != 0;
  CopyField(p, f, config.folder);
  p += f;
  config.hasRun = r != 0;
  CopyField(p, r, config.run);
  // Exactly "><" stands for the temporary folder; any longer text is a folder name.
  config.folderIsTemp = f == 2 && config.folder[0] == '>' && config.folder[1] == '<';
  return kConfigOk;
}

bool WriteConfigBlock(uint8_t flags, const char* title, const char* folder, const char* run,
                      unsigned char out[kBlockLength]) {
  const size_t t = title ? strlen(title) : 0, f = folder ? strlen(folder) : 0, r = run ? strlen(run) : 0;
  if (t > 255 || f > 255 || r > 255 || 7 + t + f + r > kBlockLength) return false;
  memset(out, 0, kBlockLength);
  memcpy(out, "RIR", 3);
  out[3] = flags;
  out[4] = (unsigned char)t;
  out[5] = (unsigned char)f;
  out[6] = (unsigned char)r;
  if (t) memcpy(out + 7, title, t);
  if (f) memcpy(out + 7 + t, folder, f);
  if (r) memcpy(out + 7 + t + f, run, r);
  return true;
}

bool SplitRunCommand(const char* command, int part, const char* target, char* out, size_t outSize) {
  if (outSize == 0) return false;
  out[0] = '\0';
  const char* bar = strchr(command, '|');
  const char* begin = command;
  const char* end = command + strlen(command);
  if (part == 1) {
    if (bar) end = bar;
  } else {
    if (!bar) return true;
    begin = bar + 1;
  }
  const size_t targetLen = strlen(target);
  size_t n = 0;
  for (const char* p = begin; p < end;) {
    if (p + 1 < end && p[0] == '>' && p[1] == '<') {
      if (n + targetLen >= outSize) { out[0] = '\0'; return false; }
      memcpy(out + n, target, targetLen);
      n += targetLen;
      p += 2;
    } else {
      if (n + 1 >= outSize) { out[0] = '\0'; return false; }
      out[n++] = *p++;
    }
  }
  out[n] = '\0';
  return true;
}

}  // namespace vexel
