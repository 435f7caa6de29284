// The extension blocks of a GIF frame and the two registries that say which class reads a block.
//
// A frame keeps the extensions that stand in front of its image in an extension list. Reading, the
// list looks the label up in the label registry; the application class narrows itself down by the
// block's identifier through the application registry (an identifier no class is registered for is
// kept as raw sub-blocks). Every extension reads its block and writes it again.
//
// Extensions see their frame only as a TGIFExtensionHost: the graphic control extension speaks for
// the frame's transparency and is the frame's one such block, and reaches the frame through it.
#pragma once

#include <cstdint>
#include <vector>

#include "gif_color_map.h"
#include "gif_item.h"

class TGIFExtension;
class TGIFGraphicControlExtension;

// The frame as its extensions see it. The first graphic control extension made for a frame becomes
// the frame's own: it sets the frame's transparent flag when its own flag is set (and clears it when
// it goes), checks its transparent index against the colours the frame shows, and tells the frame
// when that index changed.
class TGIFExtensionHost {
public:
  // The picture the frame belongs to; none for a frame of no picture.
  virtual TGIFImageOwner* HostImage() const = 0;
  // The frame's graphic control extension, or none.
  virtual TGIFGraphicControlExtension* GraphicControlExtension() const = 0;
  virtual void SetGraphicControlExtension(TGIFGraphicControlExtension* Extension) = 0;
  virtual void SetTransparent(bool Value) = 0;
  // The table the frame's pixels index: the local one when it has colours, else the global one.
  virtual TGIFColorMap& ActiveColorMap() = 0;
  // The frame's pixels or transparency changed: derived state is no longer valid.
  virtual void Changed() = 0;

protected:
  ~TGIFExtensionHost() = default;
};

// Extension classes as values: the registries map labels and application identifiers to them.
struct TGIFExtensionClass {
  const char* Name;
  TGIFExtension* (*Create)(TGIFExtensionHost* Frame);
  // Given the stream after the label: a more specific class, this class, or none.
  const TGIFExtensionClass* (*FindSubExtension)(TStream& Stream);
};

// The extensions of one frame, in file order.
class TGIFExtensionList : public TGIFList {
public:
  using TGIFList::TGIFList;
  const char* ClassName() const override { return "TGIFExtensionList"; }
  TGIFExtension* Extensions(int Index) const;
  TGIFExtension* operator[](int Index) const { return Extensions(Index); }
  // Reads the extensions in front of the image of Parent, which is the frame (a TGIFExtensionHost).
  void LoadFromStream(TStream& Stream, TObject* Parent) override;
};

class TGIFExtension : public TGIFItem {
public:
  explicit TGIFExtension(TGIFExtensionHost* Frame);
  const char* ClassName() const override { return "TGIFExtension"; }
  TGIFExtensionHost* SubImage() const { return FSubImage; }
  TGIFVersion GetVersion() const override { return gv89a; }
  virtual uint8_t GetExtensionType() const = 0;

protected:
  void WriteIntroducer(TStream& Stream) const;
  // Reads "!" and the label and checks them.
  void ReadIntroducer(TStream& Stream) const;
  TGIFExtensionHost* FSubImage;
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
  explicit TGIFGraphicControlExtension(TGIFExtensionHost* Frame);
  ~TGIFGraphicControlExtension() override;
  const char* ClassName() const override { return "TGIFGraphicControlExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  uint8_t GetExtensionType() const override { return bsGraphicControlExtension; }
  void Assign(TPersistent* Source) override;
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  bool Transparent() const { return (FBlock[1] & 0x01) != 0; }
  void SetTransparent(bool Value);
  bool UserInput() const { return (FBlock[1] & 0x02) != 0; }
  void SetUserInput(bool Value);
  int Disposal() const { return (FBlock[1] >> 2) & 7; }
  void SetDisposal(int Value);
  int Delay() const { return FBlock[2] | (FBlock[3] << 8); }
  void SetDelay(int Value);
  uint8_t TransparentColorIndex() const { return FBlock[4]; }
  void SetTransparentColorIndex(int Value);
  // The index as it is, without the check against the colour table (remapping of pixels).
  void StoreTransparentColorIndex(uint8_t Value) { FBlock[4] = Value; }

private:
  // Block size, packed fields, delay (word), transparent index, terminator.
  uint8_t FBlock[6] = {4, 0, 0, 0, 0, 0};
};

class TGIFTextExtension : public TGIFExtension {
public:
  explicit TGIFTextExtension(TGIFExtensionHost* Frame);
  const char* ClassName() const override { return "TGIFTextExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  uint8_t GetExtensionType() const override { return bsPlainTextExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  TStringList& Text() { return FText; }
  int GetWord(int Offset) const { return FBlock[Offset] | (FBlock[Offset + 1] << 8); }
  int Left() const { return GetWord(1); }
  int Top() const { return GetWord(3); }
  int GridWidth() const { return GetWord(5); }
  int GridHeight() const { return GetWord(7); }
  uint8_t CharWidth() const { return FBlock[9]; }
  uint8_t CharHeight() const { return FBlock[10]; }
  uint8_t ForegroundColorIndex() const { return FBlock[11]; }
  uint8_t BackgroundColorIndex() const { return FBlock[12]; }
  void SetGrid(int Left, int Top, int Width, int Height);
  void SetCell(uint8_t Width, uint8_t Height);
  void SetColors(uint8_t Foreground, uint8_t Background);

private:
  void SetWord(int Offset, int Value);
  uint8_t FBlock[13] = {12};
  TStringList FText;
};

class TGIFCommentExtension : public TGIFExtension {
public:
  using TGIFExtension::TGIFExtension;
  const char* ClassName() const override { return "TGIFCommentExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  uint8_t GetExtensionType() const override { return bsCommentExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;
  TStringList& Text() { return FText; }

private:
  TStringList FText;
};

// An application block: 8-byte identifier and 3-byte authentication code, then its data.
class TGIFApplicationExtension : public TGIFExtension {
public:
  using TGIFExtension::TGIFExtension;
  const char* ClassName() const override { return "TGIFApplicationExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  uint8_t GetExtensionType() const override { return bsApplicationExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  // The 11 bytes: identifier (8) and authentication code (3).
  const uint8_t* Ident() const { return FIdent; }
  String Identifier() const { return String(reinterpret_cast<const char*>(FIdent), 8); }
  String Authentication() const { return String(reinterpret_cast<const char*>(FIdent) + 8, 3); }
  void SetIdent(const String& Identifier, const String& Authentication);

protected:
  virtual void SaveData(TStream& Stream) = 0;
  virtual void LoadData(TStream& Stream) = 0;
  uint8_t FIdent[11] = {};
};

// One raw data sub-block.
struct TGIFBlock {
  std::vector<uint8_t> Data;
  uint8_t Size() const { return static_cast<uint8_t>(Data.size()); }
};

// An application block this program does not know: its data sub-blocks are kept as they are.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
  using TGIFApplicationExtension::TGIFApplicationExtension;
  const char* ClassName() const override { return "TGIFUnknownAppExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  std::vector<TGIFBlock>& Blocks() { return FBlocks; }

protected:
  void SaveData(TStream& Stream) override;
  void LoadData(TStream& Stream) override;

private:
  std::vector<TGIFBlock> FBlocks;
};

// The looping block ("NETSCAPE2.0", also read from "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
  explicit TGIFAppExtNSLoop(TGIFExtensionHost* Frame);
  const char* ClassName() const override { return "TGIFAppExtNSLoop"; }
  static const TGIFExtensionClass* ClassInfo();
  // 0 loops endlessly.
  int Loops() const { return FLoops; }
  void SetLoops(int Value) { FLoops = static_cast<uint16_t>(Value); }
  uint32_t BufferSize() const { return FBufferSize; }
  void SetBufferSize(uint32_t Value) { FBufferSize = Value; }

protected:
  void SaveData(TStream& Stream) override;
  void LoadData(TStream& Stream) override;

private:
  uint16_t FLoops = 0;
  uint32_t FBufferSize = 0;
};

// The registries, one each for the whole program; look-ups scan from the last entry to the first.
void RegisterExtension(uint8_t Label, const TGIFExtensionClass* Class);
const TGIFExtensionClass* FindExtension(uint8_t Label);
void RegisterAppExtension(const String& Ident, const TGIFExtensionClass* Class);
const TGIFExtensionClass* FindAppExtension(const uint8_t Ident[11]);
