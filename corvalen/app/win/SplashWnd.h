// The picture shown while the main dialog loads its data at start.
#pragma once

#include "AfxWin.h"

class CSplashWnd : public CWnd {
 public:
  ~CSplashWnd() override;
  static void EnableSplash(BOOL enable);
  // Builds, shows and paints the one splash window; NULL when disabled or one exists already.
  static CSplashWnd* ShowSplash(CWnd* parent);
  static CSplashWnd* Current() { return c_pSplashWnd; }

 protected:
  CSplashWnd() = default;
  BOOL Create(CWnd* parent);
  int OnCreate(LPCREATESTRUCT cs) override;
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  void PostNcDestroy() override;

  CBitmap m_bitmap;
  static CSplashWnd* c_pSplashWnd;
  static BOOL c_bShowSplashWnd;
};
