#include "AsyncSocket.h"

#include <map>

#include "Wnd.h"

namespace {

const UINT WM_SOCKET_NOTIFY = WM_USER + 0x373;

// The hidden window that receives the notifications of every socket of the thread and hands
// them to the socket's object. A socket deleted or closed meanwhile is no longer in the map, so
// notifications still queued for it are dropped.
class CSocketWnd : public CWnd {
 public:
  std::map<SOCKET, CAsyncSocket*> sockets;

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != WM_SOCKET_NOTIFY) return CWnd::WindowProc(msg, wp, lp);
    auto it = sockets.find(static_cast<SOCKET>(wp));
    if (it == sockets.end()) return 0;
    CAsyncSocket* s = it->second;
    int error = WSAGETSELECTERROR(lp);
    switch (WSAGETSELECTEVENT(lp)) {
      case FD_READ: s->OnReceive(error); break;
      case FD_WRITE: s->OnSend(error); break;
      case FD_OOB: s->OnOutOfBandData(error); break;
      case FD_ACCEPT: s->OnAccept(error); break;
      case FD_CONNECT: s->OnConnect(error); break;
      case FD_CLOSE: s->OnClose(error); break;
      default: break;
    }
    return 0;  // the object may be gone now
  }
};

thread_local CSocketWnd* t_socketWnd = nullptr;

CSocketWnd* SocketWindow() {
  if (!t_socketWnd) {
    CSocketWnd* w = new CSocketWnd;
    if (!w->CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr)) {
      delete w;
      return nullptr;
    }
    t_socketWnd = w;
  }
  return t_socketWnd;
}

}  // namespace

BOOL AfxSocketInit() {
  static int state = 0;  // 0 not tried, 1 ready, 2 failed
  if (!state) {
    WSADATA wsa;
    state = WSAStartup(MAKEWORD(1, 1), &wsa) == 0 ? 1 : 2;
  }
  return state == 1;
}

CAsyncSocket::~CAsyncSocket() { Close(); }

BOOL CAsyncSocket::Create(UINT port, int type, long events, LPCSTR address) {
  if (m_hSocket != INVALID_SOCKET || !AfxSocketInit()) return FALSE;
  CSocketWnd* wnd = SocketWindow();
  if (!wnd) return FALSE;
  SOCKET s = socket(AF_INET, type, 0);
  if (s == INVALID_SOCKET) return FALSE;
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<u_short>(port));
  a.sin_addr.s_addr = address ? inet_addr(address) : htonl(INADDR_ANY);
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == SOCKET_ERROR) {
    int err = WSAGetLastError();
    closesocket(s);
    WSASetLastError(err);
    return FALSE;
  }
  m_hSocket = s;
  wnd->sockets[s] = this;
  if (!AsyncSelect(events)) {
    int err = WSAGetLastError();
    Close();
    WSASetLastError(err);
    return FALSE;
  }
  return TRUE;
}

BOOL CAsyncSocket::AsyncSelect(long events) {
  CSocketWnd* wnd = SocketWindow();
  if (!wnd || m_hSocket == INVALID_SOCKET) return FALSE;
  return WSAAsyncSelect(m_hSocket, wnd->m_hWnd, WM_SOCKET_NOTIFY, events) != SOCKET_ERROR;
}

BOOL CAsyncSocket::Connect(LPCSTR host, UINT port) {
  if (m_hSocket == INVALID_SOCKET || !host) {
    WSASetLastError(WSAENOTSOCK);
    return FALSE;
  }
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<u_short>(port));
  a.sin_addr.s_addr = inet_addr(host);
  if (a.sin_addr.s_addr == INADDR_NONE) {
    // A name: looked up here, which waits for the resolver (as the socket's connect would).
    hostent* he = gethostbyname(host);
    if (!he || he->h_length != 4 || !he->h_addr_list[0]) {
      WSASetLastError(WSAEINVAL);
      return FALSE;
    }
    memcpy(&a.sin_addr, he->h_addr_list[0], 4);
  }
  return connect(m_hSocket, reinterpret_cast<sockaddr*>(&a), sizeof a) != SOCKET_ERROR;
}

int CAsyncSocket::Send(const void* data, int length, int flags) {
  return send(m_hSocket, static_cast<const char*>(data), length, flags);
}

int CAsyncSocket::Receive(void* buffer, int length, int flags) {
  return recv(m_hSocket, static_cast<char*>(buffer), length, flags);
}

void CAsyncSocket::Close() {
  if (m_hSocket == INVALID_SOCKET) return;
  if (t_socketWnd) {
    WSAAsyncSelect(m_hSocket, t_socketWnd->m_hWnd, 0, 0);
    t_socketWnd->sockets.erase(m_hSocket);
  }
  closesocket(m_hSocket);
  m_hSocket = INVALID_SOCKET;
}

void CAsyncSocket::OnReceive(int) {}
void CAsyncSocket::OnSend(int) {}
void CAsyncSocket::OnOutOfBandData(int) {}
void CAsyncSocket::OnAccept(int) {}
void CAsyncSocket::OnConnect(int) {}
void CAsyncSocket::OnClose(int) {}
