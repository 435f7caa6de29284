// A small zip writer of the tests' own, for what no packaged tool writes: traditional encryption
// with the check byte from the CRC (general flag bit 3 clear), and hostile archives (names that
// leave the target folder or open a device, overlong names, wrong CRCs, unknown methods, hand-made
// deflate streams). It writes local headers, data and a central directory, so that unzip reads
// its archives as well.
#pragma once
#include <stdint.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "crc32.h"
#include "inflate_test_support.h"
#include "zip_crypt.h"

namespace vexel_test {

struct WriterEntry {
  std::string name;
  std::string data;
  int method = 8;              // 0 stored, 8 deflated, anything else written as given (stored bytes)
  std::string password;        // non-empty: traditional encryption
  bool checkFromTime = false;  // encryption check byte from the time field (sets flag bit 3)
  bool descriptor = false;     // flag bit 3 with a data descriptor behind the data
  std::string extra;           // extra field
  bool corruptCrc = false;     // header CRC off by one
  uint16_t time = 0x5A3C, date = 0x5B8A;
  int64_t declaredSize = -1;   // the uncompressed size the headers give (-1: the data's)
  bool sizeBehindOnly = false; // with descriptor: the local header's uncompressed size left 0
  std::string stream;          // method 8: this deflate stream instead of zlib's (data: its output)
};

inline WriterEntry Named(const std::string& name, const std::string& data) {
  WriterEntry e;
  e.name = name;
  e.data = data;
  return e;
}

inline uint32_t Crc(const std::string& s) {
  return ~vexel::UpdateCrc((const unsigned char*)s.data(), s.size(), 0xFFFFFFFFu);
}

inline std::string RawDeflate(const std::string& in, int level = 6) {
  const Bytes out = Deflate(Bytes(in.begin(), in.end()), level);
  return std::string(out.begin(), out.end());
}

class ZipWriter {
 public:
  void Add(const WriterEntry& e) {
    const uint32_t crc = Crc(e.data) + (e.corruptCrc ? 1 : 0);
    std::string payload = e.method != 8 ? e.data : !e.stream.empty() ? e.stream : RawDeflate(e.data);
    uint16_t flags = 0;
    if (!e.password.empty()) {
      flags |= 1;
      if (e.checkFromTime) flags |= 8;
      vexel::ZipKeys keys;
      vexel::InitKeys(keys, e.password.data(), e.password.size());
      std::string enc;
      for (int i = 0; i < 11; ++i) enc += (char)vexel::EncryptByte(keys, (unsigned char)((seed_ = seed_ * 1103515245u + 12345u) >> 16));
      enc += (char)vexel::EncryptByte(keys, e.checkFromTime ? (unsigned char)(e.time >> 8) : (unsigned char)(crc >> 24));
      for (char c : payload) enc += (char)vexel::EncryptByte(keys, (unsigned char)c);
      payload = enc;
    }
    if (e.descriptor) flags |= 8;
    const uint32_t offset = (uint32_t)bytes_.size();
    std::string local;
    Put32(local, 0x04034b50);
    Put16(local, 20);
    Put16(local, flags);
    Put16(local, (uint16_t)e.method);
    Put16(local, e.time);
    Put16(local, e.date);
    Put32(local, crc);
    Put32(local, (uint32_t)payload.size());
    const uint32_t declared = e.declaredSize < 0 ? (uint32_t)e.data.size() : (uint32_t)e.declaredSize;
    Put32(local, e.descriptor && e.sizeBehindOnly ? 0 : declared);
    Put16(local, (uint16_t)e.name.size());
    Put16(local, (uint16_t)e.extra.size());
    bytes_ += local + e.name + e.extra + payload;
    if (flags & 8) {
      Put32(bytes_, 0x08074b50);
      Put32(bytes_, crc);
      Put32(bytes_, (uint32_t)payload.size());
      Put32(bytes_, declared);
    }
    std::string c;
    Put32(c, 0x02014b50);
    Put16(c, 20);
    c += local.substr(4, 26);
    Put16(c, 0);  // comment
    Put16(c, 0);  // disk
    Put16(c, 0);  // internal attributes
    Put32(c, 0);  // external attributes
    Put32(c, offset);
    central_ += c + e.name + e.extra;
    ++count_;
  }

  // Bytes written as they are (for garbage between entries).
  void AddRaw(const std::string& raw) { bytes_ += raw; }

  std::string Finish() const {
    std::string out = bytes_ + central_;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, (uint16_t)count_);
    Put16(out, (uint16_t)count_);
    Put32(out, (uint32_t)central_.size());
    Put32(out, (uint32_t)bytes_.size());
    Put16(out, 0);
    return out;
  }

  static void Put16(std::string& s, uint16_t v) {
    s += (char)(v & 0xFF);
    s += (char)(v >> 8);
  }
  static void Put32(std::string& s, uint32_t v) {
    Put16(s, (uint16_t)(v & 0xFFFF));
    Put16(s, (uint16_t)(v >> 16));
  }

 private:
  std::string bytes_, central_;
  int count_ = 0;
  uint32_t seed_ = 20261210u;
};

}  // namespace vexel_test
