// The tie between the image view and the components that work on its picture (the loader TPixIO
// and the processing component TPixProc): the view is their host; each is a client attached to one
// host. The view (win32) implements TPixHost; the clients are portable and are tested with a host
// that has no window.
#pragma once

#include <algorithm>
#include <vector>

#include "bitmap.h"
#include "classes.h"

class TPixHost;

// A component that works on the picture of the host it is attached to. Without a host it keeps a
// background colour of its own and has no bitmap.
class TPixClient : public TComponent {
public:
  explicit TPixClient(TComponent* AOwner) : TComponent(AOwner) {}
  ~TPixClient() override;

  TPixHost* AttachedPixBox() const { return FHost; }
  // Takes the host's bitmap; the client is told when the host goes (it then has neither).
  void SetAttachedPixBox(TPixHost* Host);
  // The host's bitmap (the very object, never a copy), or nullptr without a host.
  TBitmap* Bitmap() const { return FBitmap; }

  // The host's background colour, or the own one without a host; writing goes through the host's
  // writer, which re-lays out and notifies.
  TColor Background() const;
  void SetBackground(TColor Value);

private:
  friend class TPixHost;
  void HostGone() { FHost = nullptr, FBitmap = nullptr; }
  TPixHost* FHost = nullptr;
  TBitmap* FBitmap = nullptr;
  TColor FBackground = clBlack;
};

class TPixHost {
public:
  TPixHost() = default;
  TPixHost(const TPixHost&) = delete;
  TPixHost& operator=(const TPixHost&) = delete;

  // The picture, 24 bits per pixel; the clients write into this very object.
  virtual TBitmap& PixBitmap() = 0;
  virtual TColor Background() const = 0;
  virtual void SetBackground(TColor Value) = 0;
  // The loaded picture's resolution in dots per inch.
  virtual void SetDPI(int X, int Y) = 0;
  // Re-layout after the picture changed, then the image-changed notification.
  virtual void Update() = 0;
  virtual void ImageChange() = 0;

  // Why the picture is not shown, in the user's words: a picture of which the loader knows the
  // size but has no decoder for its pixels. Empty while the picture is shown; the view paints the
  // text in place of the picture.
  const String& NotShownText() const { return FNotShown; }
  void SetNotShownText(const String& Text) { FNotShown = Text; }

protected:
  virtual ~TPixHost() {
    for (TPixClient* c : FClients) c->HostGone();
  }

private:
  friend class TPixClient;
  std::vector<TPixClient*> FClients;
  String FNotShown;
};

inline TPixClient::~TPixClient() { SetAttachedPixBox(nullptr); }

inline void TPixClient::SetAttachedPixBox(TPixHost* Host) {
  if (FHost) {
    auto& c = FHost->FClients;
    c.erase(std::remove(c.begin(), c.end(), this), c.end());
  }
  FHost = Host;
  FBitmap = Host ? &Host->PixBitmap() : nullptr;
  if (Host) Host->FClients.push_back(this);
}

inline TColor TPixClient::Background() const { return FHost ? FHost->Background() : FBackground; }

inline void TPixClient::SetBackground(TColor Value) {
  if (FHost) FHost->SetBackground(Value);
  else FBackground = Value;
}
