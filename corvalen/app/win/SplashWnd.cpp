#include "SplashWnd.h"

#include "res/resource.h"

CSplashWnd* CSplashWnd::c_pSplashWnd = nullptr;
BOOL CSplashWnd::c_bShowSplashWnd = FALSE;

CSplashWnd::~CSplashWnd() {
  c_pSplashWnd = nullptr;
  m_bitmap.DeleteObject();
}

void CSplashWnd::EnableSplash(BOOL enable) { c_bShowSplashWnd = enable; }

CSplashWnd* CSplashWnd::ShowSplash(CWnd* parent) {
  if (!c_bShowSplashWnd || c_pSplashWnd) return nullptr;
  c_pSplashWnd = new CSplashWnd;
  if (!c_pSplashWnd->Create(parent)) {
    delete c_pSplashWnd;
    c_pSplashWnd = nullptr;
  } else {
    c_pSplashWnd->UpdateWindow();
  }
  return c_pSplashWnd;
}

BOOL CSplashWnd::Create(CWnd* parent) {
  if (!m_bitmap.LoadBitmap(IDB_SPLASH)) return FALSE;
  BITMAP bm;
  m_bitmap.GetBitmap(&bm);
  LPCSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
  return CreateEx(0, cls, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, bm.bmWidth, bm.bmHeight,
                  parent ? parent->m_hWnd : nullptr, nullptr);
}

int CSplashWnd::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  CenterWindow();
  return 0;
}

void CSplashWnd::OnPaint() {
  CPaintDC dc(this);
  CDC mem;
  if (!mem.CreateCompatibleDC(&dc)) return;
  BITMAP bm;
  m_bitmap.GetBitmap(&bm);
  HGDIOBJ old = mem.SelectObject(m_bitmap);
  dc.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
  mem.SelectObject(old);
}

void CSplashWnd::OnTimer(UINT_PTR) { DestroyWindow(); }

void CSplashWnd::PostNcDestroy() { delete this; }
